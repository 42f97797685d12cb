#include "hardening/state_checks.h"

#include "files/disk.h"
#include "files/temporary_name.h"
#include "hardening/reference_model.h"
#include "support/rom_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace romc::hardening {

namespace {

constexpr std::size_t kPiece = 256 * kBlock;
constexpr std::size_t kSmallFile = 64 * 1024;

// The menu table, written out here on its own so that a wrong offset in the core shows as a difference.
constexpr std::size_t kCountAt = 0x4043;
constexpr std::size_t kLastPageAt = 0x4048;
constexpr std::size_t kLocationsAt = 0x4666;
constexpr std::size_t kNamesAt = 0x6F40;

std::optional<long long> wholeNumber(const std::string& text) {
    // Only the texts the table writes itself: plain digits, possibly after one blank.
    std::size_t i = text.size() > 0 && text[0] == ' ' ? 1 : 0;
    if (i >= text.size() || text.size() - i > 6) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::string rowName(std::size_t row) {
    return "row " + std::to_string(row);
}

// One byte per character of the name, '?' for anything but printable ASCII, padded to 16 with blanks.
// A character is well-formed UTF-8 only: an overlong form, a surrogate or a code point past U+10FFFF is
// one '?' per byte.
Bytes expectedNameEntry(const std::string& name) {
    Bytes entry;
    for (std::size_t i = 0; i < name.size() && entry.size() < 16;) {
        const auto lead = static_cast<unsigned char>(name[i]);
        std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 1;
        bool whole = i + length <= name.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            whole = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        }
        if (whole && length > 1) {
            const auto second = static_cast<unsigned char>(name[i + 1]);
            whole = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second > 0x9F) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second > 0x8F);
        }
        if (!whole) {
            length = 1;
        }
        entry.push_back(length == 1 && lead >= 0x20 && lead <= 0x7E ? lead : '?');
        i += length;
    }
    entry.resize(16, ' ');
    return entry;
}

void writeInto(Bytes& target, std::size_t offset, const std::uint8_t* bytes, std::size_t size) {
    if (target.size() < offset + size) {
        target.resize(offset + size, 0);
    }
    std::copy(bytes, bytes + size, target.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string firstDifferenceAt(const Bytes& expected, const Bytes& actual, const std::string& what) {
    const std::size_t common = std::min(expected.size(), actual.size());
    const auto mismatch = std::mismatch(
        expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(common), actual.begin());
    if (mismatch.first != expected.begin() + static_cast<std::ptrdiff_t>(common)) {
        const auto offset = static_cast<std::size_t>(mismatch.first - expected.begin());
        char text[160];
        std::snprintf(text, sizeof text,
                      "%s: first difference at offset 0x%zx (block %zu): expected 0x%02x, got 0x%02x",
                      what.c_str(), offset, offset / kBlock, *mismatch.first, *mismatch.second);
        return text;
    }
    if (expected.size() != actual.size()) {
        return what + ": " + std::to_string(actual.size()) + " bytes, expected " +
               std::to_string(expected.size());
    }
    return {};
}

struct Span {
    int first;
    int last;
};

} // namespace

int expectedPieces(std::uintmax_t length) {
    int pieces = 1;
    for (std::uintmax_t k = 1; k <= 3; ++k) {
        if (length > k * kPiece) {
            pieces = static_cast<int>(k) + 1;
        }
    }
    return pieces;
}

int decodeLocation(std::uint8_t high, std::uint8_t low, int blocks) {
    if (blocks == 256) {
        return low == 0 && high >= 1 && high <= 3 ? high * 256 : -1;
    }
    if (high < 0x90 || high > 0x94 || (high > 0x90 && low == 0)) {
        return -1; // not a form the encoding makes
    }
    return 255 * (high - 0x90) + low;
}

std::string stateInvariantBreak(const TableState& state) {
    const RomTable& table = state.table;
    const std::size_t n = table.rowCount();
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (table.columns[c].size() != n) {
            return "column " + std::to_string(c + 1) + " has " + std::to_string(table.columns[c].size()) +
                   " rows, the name column " + std::to_string(n);
        }
    }
    for (std::size_t b = 0; b < state.blocks.size(); ++b) {
        if (state.blocks[b] != 0 && state.blocks[b] != 1) {
            return "block map entry " + std::to_string(b) + " holds " + std::to_string(state.blocks[b]);
        }
    }
    if (state.blocks[0] != 1) {
        return "block 0 (the menu) is not taken";
    }
    if (state.nextSaveBank < 0 || state.nextSaveBank > 16) {
        return "NextSaveBank is " + std::to_string(state.nextSaveBank);
    }
    const std::string count = std::to_string(n);
    const std::string pages = n == 0 ? "0" : std::to_string((n - 1) / 10 + 1);
    if (state.romCountText != count || state.pagesText != pages) {
        return "counter boxes show \"" + state.romCountText + "\" and \"" + state.pagesText + "\" for " +
               count + " rows";
    }
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (state.selectedRow[c] < -1 || state.selectedRow[c] >= static_cast<int>(n)) {
            return "column " + std::to_string(c + 1) + " selects row " + std::to_string(state.selectedRow[c]);
        }
    }
    std::vector<Span> saveSpans;
    for (std::size_t r = 0; r < n; ++r) {
        const auto size = wholeNumber(table.text(r, Column::Size));
        if (!size || *size < 1 || *size > 256 || table.text(r, Column::Size)[0] == ' ') {
            return rowName(r) + " has size \"" + table.text(r, Column::Size) + "\"";
        }
        const int s = static_cast<int>(*size);
        const std::string complement = std::to_string(s == 256 ? 192 : 256 - s);
        if (table.text(r, Column::Complement) != complement) {
            return rowName(r) + " has complement \"" + table.text(r, Column::Complement) + "\" for size " +
                   std::to_string(s);
        }
        const auto location = wholeNumber(table.text(r, Column::Location));
        if (!location || table.text(r, Column::Location)[0] == ' ' || *location > 1023 ||
            *location + s - 1 > 1023) {
            return rowName(r) + " has location \"" + table.text(r, Column::Location) + "\"";
        }
        const int at = static_cast<int>(*location);
        const std::string& flag = table.text(r, Column::SaveFlag);
        const std::string& bankText = table.text(r, Column::SaveBank);
        if (flag == "Y") {
            const auto bank = wholeNumber(bankText);
            if (!bank || bankText[0] != ' ' || bankText.size() < 2 || *bank > 15 || s == 256) {
                return rowName(r) + " is a save ROM of " + std::to_string(s) + " blocks with bank \"" +
                       bankText + "\"";
            }
            const int expectedAt = *bank == 0 ? s : static_cast<int>(*bank) * 64;
            if (at != expectedAt) {
                return rowName(r) + " has bank" + bankText + " but location " + std::to_string(at);
            }
            if ((at + s + 63) / 64 > state.nextSaveBank) {
                return rowName(r) + " reaches into save region " + std::to_string((at + s - 1) / 64) +
                       " but NextSaveBank is " + std::to_string(state.nextSaveBank);
            }
            saveSpans.push_back({at, at + s - 1});
        } else if (flag == "N") {
            if (bankText != "N/A") {
                return rowName(r) + " has no save memory but bank \"" + bankText + "\"";
            }
            if (at != 0 && at % s != 0) {
                return rowName(r) + " of " + std::to_string(s) + " blocks is placed off its alignment at " +
                       std::to_string(at);
            }
        } else {
            return rowName(r) + " has save flag \"" + flag + "\"";
        }
        if (at != 0) {
            for (int b = at; b < at + s; ++b) {
                if (state.blocks[static_cast<std::size_t>(b)] != 1) {
                    return rowName(r) + " lies on block " + std::to_string(b) +
                           ", which the block map shows free";
                }
            }
        }
    }
    for (std::size_t i = 0; i < saveSpans.size(); ++i) {
        for (std::size_t j = i + 1; j < saveSpans.size(); ++j) {
            if (saveSpans[i].first <= saveSpans[j].last && saveSpans[j].first <= saveSpans[i].last) {
                return "two save ROMs share blocks " +
                       std::to_string(std::max(saveSpans[i].first, saveSpans[j].first));
            }
        }
    }
    return {};
}

std::string listedOverlapBreak(const RomTable& table) {
    std::vector<int> owner(1024, -1);
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        const auto at = wholeNumber(table.text(r, Column::Location));
        const auto size = wholeNumber(table.text(r, Column::Size));
        if (!at || !size || *at == 0) {
            continue;
        }
        for (long long b = *at; b < *at + *size && b < 1024; ++b) {
            if (owner[static_cast<std::size_t>(b)] >= 0) {
                return "rows " + std::to_string(owner[static_cast<std::size_t>(b)]) + " and " +
                       std::to_string(r) + " share block " + std::to_string(b);
            }
            owner[static_cast<std::size_t>(b)] = static_cast<int>(r);
        }
    }
    return {};
}

std::string compiledOutputBreak(const TableState& state, const std::filesystem::path& workDir,
                                const Bytes& menuBefore) {
    const RomTable& table = state.table;
    const std::size_t n = table.rowCount();
    if (auto overlap = listedOverlapBreak(table); !overlap.empty()) {
        return overlap;
    }

    // "Menu.GB" as it must be now.
    Bytes menu = menuBefore;
    for (std::size_t r = 0; r < n; ++r) {
        const int s = static_cast<int>(*wholeNumber(table.text(r, Column::Size)));
        const int at = static_cast<int>(*wholeNumber(table.text(r, Column::Location)));
        if (at == 0) {
            return rowName(r) + " has no place in flash after a compilation";
        }
        const Bytes name = expectedNameEntry(table.text(r, Column::Name));
        writeInto(menu, kNamesAt + 16 * r, name.data(), name.size());
        const std::uint8_t complement = static_cast<std::uint8_t>(s == 256 ? 192 : 256 - s);
        writeInto(menu, kLocationsAt + 4 * r + 2, &complement, 1);
        // The location bytes are taken from the file and decoded, rather than encoded here again.
    }
    const std::uint8_t count = static_cast<std::uint8_t>(n);
    const std::uint8_t lastPage = static_cast<std::uint8_t>(n == 0 ? 0 : (n - 1) / 10);
    writeInto(menu, kCountAt, &count, 1);
    writeInto(menu, kLastPageAt, &lastPage, 1);
    const Bytes menuNow = test::readFile(workDir / "Menu.GB");
    if (menuNow.size() != menu.size()) {
        return "\"Menu.GB\" is " + std::to_string(menuNow.size()) + " bytes, expected " +
               std::to_string(menu.size());
    }
    for (std::size_t r = 0; r < n; ++r) {
        const std::size_t entry = kLocationsAt + 4 * r;
        const int s = static_cast<int>(*wholeNumber(table.text(r, Column::Size)));
        const int at = static_cast<int>(*wholeNumber(table.text(r, Column::Location)));
        const int decoded = decodeLocation(menuNow[entry + 1], menuNow[entry + 3], s);
        if (decoded != at) {
            return rowName(r) + "'s location entry decodes to " + std::to_string(decoded) +
                   ", the row says " + std::to_string(at);
        }
        menu[entry + 1] = menuNow[entry + 1];
        menu[entry + 3] = menuNow[entry + 3];
    }
    if (auto difference = firstDifferenceAt(menu, menuNow, "\"Menu.GB\""); !difference.empty()) {
        return difference;
    }

    // "Output.GB": the menu, the ROMs in table order, then 0xFF in the free blocks up to the last taken one.
    Bytes image = menuNow;
    std::vector<Bytes> roms(n);
    for (std::size_t r = 0; r < n; ++r) {
        const std::size_t s = static_cast<std::size_t>(*wholeNumber(table.text(r, Column::Size)));
        const std::size_t at = static_cast<std::size_t>(*wholeNumber(table.text(r, Column::Location)));
        std::filesystem::path path = table.text(r, Column::File);
        roms[r] = test::readFile(path.is_absolute() ? path : workDir / path);
        if (roms[r].size() < s * kBlock) {
            return rowName(r) + "'s file \"" + table.text(r, Column::File) +
                   "\" is shorter than its blocks now";
        }
        roms[r].resize(s * kBlock); // only whole blocks go into the image
        writeInto(image, at * kBlock, roms[r].data(), roms[r].size());
    }
    std::size_t last = 1023;
    while (state.blocks[last] != 1) {
        --last;
    }
    const Bytes fill(kBlock, 0xFF);
    for (std::size_t b = 0; b <= last; ++b) {
        if (state.blocks[b] == 0) {
            writeInto(image, b * kBlock, fill.data(), fill.size());
        }
    }
    const Bytes imageNow = test::readFile(workDir / "Output.GB");
    for (std::size_t r = 0; r < n; ++r) {
        const std::size_t at = static_cast<std::size_t>(*wholeNumber(table.text(r, Column::Location)));
        const bool found = imageNow.size() >= at * kBlock + roms[r].size() &&
                           std::equal(roms[r].begin(), roms[r].end(),
                                      imageNow.begin() + static_cast<std::ptrdiff_t>(at * kBlock));
        if (!found) {
            return rowName(r) + " (\"" + table.text(r, Column::File) +
                   "\") is not found byte for byte at block " + std::to_string(at) + " of \"Output.GB\"";
        }
    }
    if (auto difference = firstDifferenceAt(image, imageNow, "\"Output.GB\""); !difference.empty()) {
        return difference;
    }

    // The pieces: the image cut at 8 MiB, each padded with zeros to 8 MiB.
    const int pieces = expectedPieces(image.size());
    for (int k = 1; k <= pieces; ++k) {
        const std::string name = "Output" + std::to_string(k) + ".GB";
        const Bytes piece = test::readFile(workDir / name);
        const std::size_t from = static_cast<std::size_t>(k - 1) * kPiece;
        Bytes expected(kPiece, 0);
        if (from < image.size()) {
            std::copy(image.begin() + static_cast<std::ptrdiff_t>(from),
                      image.begin() + static_cast<std::ptrdiff_t>(std::min(image.size(), from + kPiece)),
                      expected.begin());
        }
        if (auto difference = firstDifferenceAt(expected, piece, "\"" + name + "\""); !difference.empty()) {
            return difference;
        }
        for (std::size_t r = 0; r < n; ++r) {
            const std::size_t at =
                static_cast<std::size_t>(*wholeNumber(table.text(r, Column::Location))) * kBlock;
            for (std::size_t offset = 0; offset < roms[r].size(); offset += kBlock) {
                const std::size_t where = at + offset;
                if (where / kPiece == static_cast<std::size_t>(k - 1) &&
                    std::memcmp(piece.data() + where % kPiece, roms[r].data() + offset, kBlock) != 0) {
                    return rowName(r) + "'s block " + std::to_string(offset / kBlock) + " is not in \"" +
                           name + "\" at its place";
                }
            }
        }
    }
    return leftoverTempFile(workDir);
}

namespace {

#ifdef _WIN32
// What Windows tells of an entry: kind, size, the file index that a replacement changes, the time written.
FileMark markOf(const std::filesystem::directory_entry& entry) {
    namespace fs = std::filesystem;
    const fs::file_status status = entry.symlink_status();
    FileMark mark;
    mark.kind = fs::is_regular_file(status) ? 'f'
                : fs::is_directory(status)  ? 'd'
                : fs::is_symlink(status)    ? 'l'
                                            : 'o';
    if (mark.kind == 'f') {
        mark.size = entry.file_size();
        if (auto opened = romc::systemDisk().openForReading(entry.path()); opened.value) {
            mark.inode = opened.value->identity().file;
        }
    }
    mark.modifiedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(entry.last_write_time().time_since_epoch())
            .count();
    return mark;
}
#else
// lstat, so that a link, a FIFO or a socket is marked as what it is and never opened.
FileMark markOf(const std::filesystem::directory_entry& entry) {
    FileMark mark;
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0) {
        return mark;
    }
    mark.kind = S_ISREG(info.st_mode) ? 'f' : S_ISDIR(info.st_mode) ? 'd' : S_ISLNK(info.st_mode) ? 'l' : 'o';
    mark.size = static_cast<std::uintmax_t>(info.st_size);
    mark.inode = static_cast<std::uintmax_t>(info.st_ino);
    mark.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return mark;
}
#endif

} // namespace

FolderMarks folderMarks(const std::filesystem::path& folder) {
    FolderMarks marks;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        FileMark mark = markOf(entry);
        if (mark.kind == '?') {
            continue; // gone meanwhile
        }
        if (mark.kind == 'l') {
            mark.linkTarget = std::filesystem::read_symlink(entry.path()).string();
        } else if (mark.kind == 'f' && mark.size <= kSmallFile) {
            mark.smallContents = test::readFile(entry.path());
        }
        marks[entry.path().filename().string()] = std::move(mark);
    }
    return marks;
}

std::string folderDifference(const FolderMarks& before, const FolderMarks& after) {
    for (const auto& [name, mark] : before) {
        const auto now = after.find(name);
        if (now == after.end()) {
            return "\"" + name + "\" is gone";
        }
        if (!(now->second == mark)) {
            return "\"" + name + "\" changed";
        }
    }
    for (const auto& [name, mark] : after) {
        if (before.find(name) == before.end()) {
            return "\"" + name + "\" appeared";
        }
    }
    return {};
}

std::string leftoverTempFile(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (isTemporaryName(entry.path().filename()) || name == ".romcompiler-journal") {
            return "a temporary file \"" + name + "\" was left behind";
        }
    }
    return {};
}

std::string stateDifference(const TableState& before, const TableState& after) {
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (before.table.columns[c] != after.table.columns[c]) {
            return "column " + std::to_string(c + 1) + " changed";
        }
    }
    if (before.blocks != after.blocks) {
        return "the block map changed";
    }
    if (before.nextSaveBank != after.nextSaveBank) {
        return "NextSaveBank changed";
    }
    if (before.romCountText != after.romCountText || before.pagesText != after.pagesText) {
        return "a counter box changed";
    }
    if (before.selectedRow != after.selectedRow) {
        return "the selection changed";
    }
    return {};
}

} // namespace romc::hardening
