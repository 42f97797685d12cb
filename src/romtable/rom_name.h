// Menu names: the name proposed from a picked file, and how a typed name enters the table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace romc {

inline constexpr std::size_t kMenuNameLength = 16;   // "ROM Name (16chr MAX)"
inline constexpr std::size_t kDroppedNameSuffix = 3; // ".GB" of PUZZLE.GB
// Extensions dropped whole, dot included, in lower case.
inline constexpr std::string_view kFourCharacterExtensions[] = {".gbc", ".sgb"};

// The name proposed when a file is picked: the file name after the last path separator, without its last
// three characters (its whole extension for a ".gbc" or ".sgb" file, any case), cut to 16 characters. A
// file name shorter than what is dropped proposes "". For a member of an archive ("games.7z::Tetris.gb"),
// the member's file name counts.
std::string proposeRomName(std::string_view path);

// What a name box keeps of a typed name: its first 16 characters, the most the menu shows.
std::string cutToMenuName(std::string_view typed);

// The name as the name column keeps it: ASCII letters in upper case, everything else as typed.
std::string tableName(std::string_view typed);

// Splits UTF-8 text into its characters; a byte that starts no valid character is a character of its own.
std::vector<std::string_view> splitCharacters(std::string_view text);

} // namespace romc
