#include "romtable/rom_name.h"

#include "romtable/rom_source.h"

#include <algorithm>

namespace romc {

namespace {

bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Length of the UTF-8 character that starts at text[i], or 1 for a byte that starts none. Only well-formed
// sequences count: no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t characterLength(std::string_view text, std::size_t i) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(i);
    std::size_t length = 1;
    unsigned char secondLow = 0x80; // the range the second byte must lie in
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 1 || i + length > text.size() || byteAt(i + 1) < secondLow || byteAt(i + 1) > secondHigh) {
        return 1;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((byteAt(i + k) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

std::string joined(const std::vector<std::string_view>& characters, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += characters[i];
    }
    return text;
}

} // namespace

std::vector<std::string_view> splitCharacters(std::string_view text) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = characterLength(text, i);
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

std::string proposeRomName(std::string_view source) {
    // A member of an archive is named by its own file name: "Tetris (World).zip::Tetris (World).gb"
    // proposes "Tetris (World)". Members separate folders with "/" on every system.
    const RomSource parts = romSourceOf(source);
    const std::string_view path = parts.member.empty() ? std::string_view(parts.file) : parts.member;
    if (!parts.member.empty()) {
        const auto slash = path.find_last_of('/');
        return proposeRomName(slash == std::string_view::npos ? path : path.substr(slash + 1));
    }
    const auto separator = std::find_if(path.rbegin(), path.rend(), isPathSeparator);
    const std::string_view fileName = path.substr(static_cast<std::size_t>(path.rend() - separator));
    const auto characters = splitCharacters(fileName);
    // A colour or Super Game Boy ROM's extension is four characters with its dot: all of it goes, so that
    // "dungeon crawl.gbc" does not leave "DUNGEON CRAWL." in the menu.
    std::size_t dropped = kDroppedNameSuffix;
    for (const std::string_view extension : kFourCharacterExtensions) {
        if (fileName.size() >= extension.size() &&
            std::equal(extension.begin(), extension.end(), fileName.end() - extension.size(),
                       [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); })) {
            dropped = extension.size();
        }
    }
    if (characters.size() < dropped) {
        return {};
    }
    return joined(characters, std::min(characters.size() - dropped, kMenuNameLength));
}

std::string cutToMenuName(std::string_view typed) {
    const auto characters = splitCharacters(typed);
    return joined(characters, std::min(characters.size(), kMenuNameLength));
}

std::string tableName(std::string_view typed) {
    std::string name(typed);
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

} // namespace romc
