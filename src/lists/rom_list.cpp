#include "lists/rom_list.h"

#include "romtable/flash_units.h"
#include "romtable/rom_source.h"

#include <nlohmann/json.hpp>

namespace romc {

namespace {

// Keys keep the order they have in the file, so that warnings name them as the user wrote them.
using Json = nlohmann::ordered_json;

constexpr std::size_t kShownValueLength = 40; // a longer value is cut in messages
constexpr std::size_t kTopLevel = 0;          // "entry" number of a key outside the entries

std::string entryText(std::size_t entry) {
    return "entry " + std::to_string(entry);
}

// A value as a message shows it: scalars as written, cut when long; structures by their kind.
std::string describe(const Json& value) {
    if (value.is_object()) {
        return "an object";
    }
    if (value.is_array()) {
        return "an array";
    }
    std::string text = value.dump();
    if (text.size() > kShownValueLength) {
        std::size_t cut = kShownValueLength;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut; // never inside a UTF-8 character
        }
        text = text.substr(0, cut) + "...";
    }
    return text;
}

struct UnknownKey {
    std::string key;
    std::size_t firstEntry; // kTopLevel for a key beside "roms"
    std::size_t entries = 1;
};

void noteUnknownKey(std::vector<UnknownKey>& unknown, const std::string& key, std::size_t entry) {
    for (auto& known : unknown) {
        if (known.key == key && (known.firstEntry == kTopLevel) == (entry == kTopLevel)) {
            ++known.entries;
            return;
        }
    }
    unknown.push_back({key, entry});
}

// One warning for the whole list, however often each key appears.
std::string unknownKeysWarning(const std::vector<UnknownKey>& unknown, std::string_view shown) {
    std::string text =
        "the list " + inQuotes(shown) + " holds keys this version does not know; they are ignored:";
    for (std::size_t i = 0; i < unknown.size(); ++i) {
        const UnknownKey& key = unknown[i];
        text += (i == 0 ? " " : ", ") + inQuotes(key.key);
        if (key.firstEntry == kTopLevel) {
            text += " (beside \"" + std::string(list::kRomsKey) + "\")";
        } else if (key.entries == 1) {
            text += " (" + entryText(key.firstEntry) + ")";
        } else {
            text += " (" + std::to_string(key.entries) + " entries, first " + entryText(key.firstEntry) + ")";
        }
    }
    return text;
}

Refusal checkVersion(const Json& root, std::string_view shown) {
    const auto version = root.find(list::kVersionKey);
    if (version == root.end()) {
        return listNotOpened(shown, "it is not a ROM list: it has no \"" + std::string(list::kVersionKey) +
                                        "\" format version");
    }
    const std::string current = std::to_string(list::kVersion);
    if (!version->is_number_integer()) {
        return listNotOpened(shown, "\"" + std::string(list::kVersionKey) + "\" is " + describe(*version) +
                                        "; it must be the format version, " + current);
    }
    if (*version > list::kVersion) {
        return listNotOpened(
            shown, "it is format version " + version->dump() +
                       ", written by a newer version of the program; this version reads format " + current);
    }
    if (*version < list::kVersion) {
        return listNotOpened(shown, "\"" + std::string(list::kVersionKey) + "\" is " + version->dump() +
                                        "; the first format version is " + current);
    }
    return std::nullopt;
}

// Reads one entry, or says what is wrong with it.
Outcome<ListEntry> readEntry(const Json& value, std::size_t entry, std::vector<UnknownKey>& unknown,
                             std::string_view shown) {
    if (!value.is_object()) {
        return listNotOpened(shown, entryText(entry) + " is " + describe(value) +
                                        "; each entry must be an object with \"" + list::kFileKey + "\"");
    }
    ListEntry read;
    for (const auto& [key, field] : value.items()) {
        if (key == list::kFileKey) {
            if (!field.is_string()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be the ROM file's path as a string");
            }
            read.file = field.get<std::string>();
            if (read.file.empty()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is empty");
            }
            // The system would end the path at the zero and open some other file.
            if (read.file.find('\0') != std::string::npos) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" holds a zero character");
            }
        } else if (key == list::kMemberKey) {
            if (!field.is_string() || field.get<std::string>().empty()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be the name of a member of the archive \"" +
                                                list::kFileKey + "\" names");
            }
            read.member = field.get<std::string>();
        } else if (key == list::kNameKey) {
            if (!field.is_string()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be the menu name as a string");
            }
            read.name = field.get<std::string>();
        } else if (key == list::kSaveKey) {
            if (!field.is_boolean()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be true or false");
            }
            read.save = field.get<bool>();
        } else if (key == list::kBankKey) {
            if (!field.is_number_integer() || field < 0 || field >= kSaveBanks) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be a save bank, a whole number from 0 to " +
                                                std::to_string(kSaveBanks - 1));
            }
            read.bank = field.get<int>();
        } else if (key == list::kSavKey) {
            if (!field.is_string() || field.get<std::string>().empty()) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" is " + describe(field) +
                                                "; it must be the save file's path as a non-empty string");
            }
            read.sav = field.get<std::string>();
            if (read.sav->find('\0') != std::string::npos) {
                return listNotOpened(shown, entryText(entry) + ": \"" + key + "\" holds a zero character");
            }
        } else {
            noteUnknownKey(unknown, key, entry);
        }
    }
    if (!value.contains(list::kFileKey)) {
        return listNotOpened(shown, entryText(entry) + " has no \"" + std::string(list::kFileKey) + "\"");
    }
    // A bank belongs to save memory; one without it would keep a bank no game uses.
    if (read.bank && !read.save) {
        return listNotOpened(shown, entryText(entry) + " has \"" + std::string(list::kBankKey) +
                                        "\" but not \"" + list::kSaveKey + "\": true");
    }
    if (!read.member.empty() && archiveKindOf(read.file) == ArchiveKind::None) {
        return listNotOpened(shown, entryText(entry) + ": \"" + list::kMemberKey + "\" names a member of " +
                                        inQuotes(read.file) + ", which is no .zip, .7z or .gz archive");
    }
    return read;
}

// A JSON string, or none for text that is not valid UTF-8.
std::optional<std::string> jsonString(const std::string& text) {
    try {
        return Json(text).dump();
    } catch (const Json::type_error&) {
        return std::nullopt;
    }
}

// Appends `"key": "value", `: every key but the last is followed by a comma.
Refusal appendString(std::string& text, const char* key, const std::string& value, std::size_t entry,
                     std::string_view shown) {
    const auto json = jsonString(value);
    if (!json) {
        return Failure{"Cannot write the list " + inQuotes(shown) + ": the " + key + " of " +
                       entryText(entry) + " is not valid UTF-8 text, which a list cannot hold"};
    }
    text += "\"" + std::string(key) + "\": " + *json + ", ";
    return std::nullopt;
}

} // namespace

Failure listNotOpened(std::string_view shown, const std::string& reason) {
    return Failure{"Cannot open the list " + inQuotes(shown) + ": " + reason};
}

Outcome<RomList> parseRomList(std::string_view text, std::string_view shown) {
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& error) {
        // A syntax error, or a number too large for any type (1e400). The library's message starts with
        // its own exception name in brackets; the rest is for the user.
        const std::string what = error.what();
        const auto bracket = what.find("] ");
        return listNotOpened(shown, "it is not valid JSON: " +
                                        (bracket == std::string::npos ? what : what.substr(bracket + 2)));
    }
    if (!root.is_object()) {
        return listNotOpened(shown, "it is " + describe(root) + ", not a ROM list (an object with \"" +
                                        list::kVersionKey + "\" and \"" + list::kRomsKey + "\")");
    }
    if (auto failure = checkVersion(root, shown)) {
        return *failure;
    }
    std::vector<UnknownKey> unknown;
    for (const auto& [key, field] : root.items()) {
        if (key != list::kVersionKey && key != list::kRomsKey) {
            noteUnknownKey(unknown, key, kTopLevel);
        }
    }
    const auto roms = root.find(list::kRomsKey);
    if (roms == root.end()) {
        return listNotOpened(shown, "it has no \"" + std::string(list::kRomsKey) + "\"");
    }
    if (!roms->is_array()) {
        return listNotOpened(shown, "\"" + std::string(list::kRomsKey) + "\" is " + describe(*roms) +
                                        "; it must be an array of entries");
    }
    RomList read;
    for (std::size_t i = 0; i < roms->size(); ++i) {
        auto entry = readEntry((*roms)[i], i + 1, unknown, shown);
        if (!entry.ok()) {
            return entry.failure();
        }
        read.entries.push_back(std::move(entry.value()));
    }
    if (!unknown.empty()) {
        read.warnings.push_back(unknownKeysWarning(unknown, shown));
    }
    return read;
}

Outcome<std::string> romListText(const RomList& list, std::string_view shown) {
    std::string text = "{\n  \"" + std::string(list::kVersionKey) + "\": " + std::to_string(list::kVersion) +
                       ",\n  \"" + list::kRomsKey + "\": [";
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const ListEntry& entry = list.entries[i];
        text += i == 0 ? "\n    { " : ",\n    { ";
        if (entry.name) {
            if (auto failure = appendString(text, list::kNameKey, *entry.name, i + 1, shown)) {
                return *failure;
            }
        }
        if (auto failure = appendString(text, list::kFileKey, entry.file, i + 1, shown)) {
            return *failure;
        }
        if (!entry.member.empty()) {
            if (auto failure = appendString(text, list::kMemberKey, entry.member, i + 1, shown)) {
                return *failure;
            }
        }
        text += "\"" + std::string(list::kSaveKey) + "\": " + (entry.save ? "true" : "false");
        if (entry.bank) {
            text += ", \"" + std::string(list::kBankKey) + "\": " + std::to_string(*entry.bank);
        }
        if (entry.sav) {
            text += ", ";
            if (auto failure = appendString(text, list::kSavKey, *entry.sav, i + 1, shown)) {
                return *failure;
            }
            text.resize(text.size() - 2); // the comma appendString puts after every key but the last
        }
        text += " }";
    }
    text += list.entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

} // namespace romc
