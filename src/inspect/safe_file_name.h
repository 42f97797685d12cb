// File names for the ROMs taken out of an image, made from their menu names: safe on every file system
// the tool runs on, whatever bytes the menu table holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace romc {

inline constexpr const char* kRomFileExtension = ".GB";

// The name without its extension: every byte outside printable ASCII and every character some file system
// forbids (/ \ : * ? " < > |) becomes '_'; dots and blanks at either end go (so neither ".." nor a
// name Windows would cut remains); a name left empty becomes "ROM"; a Windows device name (CON, PRN, AUX,
// NUL, CONIN$, CONOUT$, COM0 to COM9, LPT0 to LPT9, in any letter case, before any dot) gets a '_' after it.
std::string safeFileStem(std::string_view menuName);

// One file name per menu name, in table order: the safe stem and ".GB", numbered " (2)", " (3)" ... from
// the second of names that are equal when letter case is ignored, as it is on Windows and macOS. A name
// equal to one of `reserved` (files that must stay as they are beside the ROMs) is numbered as well.
std::vector<std::string> romFileNames(const std::vector<std::string>& menuNames,
                                      const std::vector<std::string>& reserved = {});

} // namespace romc
