// The list of ROMs to compile: seven parallel text columns, row r = entry r of every column.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace romc {

// Column order is the order of the window's lists, left to right, with the hidden complement last.
enum class Column { Name, File, Size, SaveFlag, SaveBank, Location, Complement };
inline constexpr std::size_t kColumnCount = 7;

inline constexpr const char* kSaveFlagYes = "Y";
inline constexpr const char* kSaveFlagNo = "N";
inline constexpr const char* kNoSaveBank = "N/A";
inline constexpr const char* kNotPlaced = "0";

struct RomTable {
    std::array<std::vector<std::string>, kColumnCount> columns;

    std::vector<std::string>& column(Column c) { return columns[static_cast<std::size_t>(c)]; }
    const std::vector<std::string>& column(Column c) const { return columns[static_cast<std::size_t>(c)]; }
    const std::string& text(std::size_t row, Column c) const { return column(c).at(row); }

    // Every action adds or removes a row in all seven columns, so the name column speaks for all.
    std::size_t rowCount() const { return column(Column::Name).size(); }
};

} // namespace romc
