// A ROM list: the rows of a table as the user keeps them in a file, to open and compile again later. This
// is the list itself and its JSON text; reading it from disk, opening it and saving a table are beside it.
#pragma once

#include "romtable/failure.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace romc {

namespace list {
inline constexpr const char* kVersionKey = "romcompiler-list";
inline constexpr int kVersion = 1; // the format written, and the newest one read
inline constexpr const char* kRomsKey = "roms";
inline constexpr const char* kFileKey = "file";
inline constexpr const char* kMemberKey = "member"; // a member of the archive "file" names
inline constexpr const char* kNameKey = "name";
inline constexpr const char* kSaveKey = "save";
inline constexpr const char* kBankKey = "bank"; // the save bank a save ROM keeps from one run to the next
inline constexpr const char* kSavKey = "sav";   // the save ROM's save file
} // namespace list

struct ListEntry {
    std::string file;                 // as the list holds it; a relative path is taken from the list's folder
    std::optional<std::string> name;  // absent: the name proposed from the file name
    bool save = false;                // "Save?" ticked for this ROM
    std::string member{};             // a member of the archive `file`; empty: the file, or its one ROM
    std::optional<int> bank{};        // a save ROM's bank, kept so that its save stays where it was
    std::optional<std::string> sav{}; // the save file; a relative path is taken from the list's folder
};

struct RomList {
    std::vector<ListEntry> entries;
    std::vector<std::string> warnings; // found while reading: keys this version does not know, named once
};

// The message of a list that cannot be opened: `Cannot open the list "games.json": <reason>`.
Failure listNotOpened(std::string_view shown, const std::string& reason);

// Reads a list from its JSON text; `shown` names the list in messages. Broken JSON, a format newer than this
// program, a value of the wrong type and an entry without "file" are refused with the entry and the reason.
Outcome<RomList> parseRomList(std::string_view text, std::string_view shown);

// The list as it is written: two-space indent, one line per entry, a newline at the end. A name or path
// that is not valid UTF-8 is refused, since JSON holds nothing else.
Outcome<std::string> romListText(const RomList& list, std::string_view shown);

} // namespace romc
