#include "compile/journal.h"

#include "files/temporary_name.h"
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "romtable/flash_units.h"

#include <charconv>
#include <sstream>

namespace romc {

namespace {

constexpr std::string_view kHeader = "romcompiler journal 2";
constexpr std::string_view kFolder = "folder";
constexpr std::string_view kPut = "put";
constexpr std::string_view kRemove = "remove";
constexpr std::string_view kEnd = "end";
constexpr char kEscape = '%';
constexpr char kField = '\t';

// Names go in as UTF-8 with '%', tabs, line ends and other control bytes as %XX, so that any file name
// survives one line.
std::string encodeName(const std::filesystem::path& name) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : pathToUtf8(name)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == kEscape) {
            encoded += kEscape;
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 0xF];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::optional<std::string> decodeName(std::string_view encoded) {
    std::string text;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != kEscape) {
            text += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size()) {
            return std::nullopt;
        }
        const int high = hexValue(encoded[i + 1]);
        const int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return text;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find(kField, start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return parts;
        }
        start = tab + 1;
    }
}

std::string identityText(const FileIdentity& identity) {
    return std::to_string(identity.volume) + kField + std::to_string(identity.file);
}

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<FileIdentity> identityOf(std::string_view volume, std::string_view file) {
    const auto v = number(volume);
    const auto f = number(file);
    if (!v || !f) {
        return std::nullopt;
    }
    return FileIdentity{*v, *f};
}

bool isPieceName(std::string_view name) {
    for (int k = 1; k <= kPieceCount; ++k) {
        if (name == pieceName(k)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool journalFileName(const std::filesystem::path& name) {
    const std::string text = pathToUtf8(name);
    return !text.empty() && text != "." && text != ".." &&
           text.find_first_of(std::string_view("/\\:\0", 4)) == std::string::npos;
}

std::string journalText(const Journal& journal) {
    std::string text(kHeader);
    text += '\n';
    text += std::string(kFolder) + kField + identityText(journal.folder) + '\n';
    for (const auto& put : journal.puts) {
        text += std::string(kPut) + kField + encodeName(put.temporary) + kField + encodeName(put.final) +
                kField + identityText(put.identity) + '\n';
    }
    for (const auto& name : journal.removals) {
        text += std::string(kRemove) + kField + encodeName(name) + '\n';
    }
    text += std::string(kEnd) + '\n';
    return text;
}

Outcome<Journal> parseJournal(std::string_view whole, std::string_view shown) {
    const auto refused = [&](const std::string& reason) {
        return Failure{"Cannot use the journal " + inQuotes(shown) + ": " + reason};
    };
    std::istringstream lines{std::string(whole)};
    std::string line;
    if (!std::getline(lines, line) || line != kHeader) {
        return refused("it is not a journal this version of the tool writes");
    }
    Journal journal;
    bool folderSeen = false;
    while (std::getline(lines, line)) {
        const auto parts = fields(line);
        if (parts.size() == 1 && parts[0] == kEnd) {
            if (!folderSeen) {
                return refused("it names no folder");
            }
            return journal;
        }
        if (parts.size() == 3 && parts[0] == kFolder && !folderSeen) {
            const auto folder = identityOf(parts[1], parts[2]);
            if (!folder) {
                return refused("its folder line is damaged");
            }
            journal.folder = *folder;
            folderSeen = true;
        } else if (parts.size() == 5 && parts[0] == kPut) {
            const auto temporary = decodeName(parts[1]);
            const auto final = decodeName(parts[2]);
            const auto identity = identityOf(parts[3], parts[4]);
            if (!temporary || !final || !identity) {
                return refused("a line of it is damaged");
            }
            const auto finalPath = pathFromUtf8(*final);
            const auto temporaryPath = pathFromUtf8(*temporary);
            if (!journalFileName(finalPath)) {
                return refused("it names " + inQuotes(*final) + ", which is no file of this folder");
            }
            if (!journalFileName(temporaryPath) || !isTemporaryNameFor(temporaryPath, finalPath)) {
                return refused("it names " + inQuotes(*temporary) + ", which is no temporary name of " +
                               inQuotes(*final));
            }
            journal.puts.push_back({temporaryPath, finalPath, *identity});
        } else if (parts.size() == 2 && parts[0] == kRemove) {
            const auto name = decodeName(parts[1]);
            if (!name) {
                return refused("a line of it is damaged");
            }
            if (!isPieceName(*name)) {
                return refused("it would remove " + inQuotes(*name) + ", which is no piece of an image");
            }
            journal.removals.push_back(pathFromUtf8(*name));
        } else {
            return refused("a line of it is damaged");
        }
    }
    return refused("it is cut short");
}

} // namespace romc
