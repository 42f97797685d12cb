// Paths travel through the tool as UTF-8 text (the table's file column, lists, messages) and become the
// system's own paths only here, so that a ROM named in any script opens on Windows as it does on Linux.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace romc {

// A path from UTF-8 text. On Linux the bytes are the path, whatever they are.
std::filesystem::path pathFromUtf8(std::string_view text);

// The path as UTF-8 text, for the table, lists and messages.
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace romc
