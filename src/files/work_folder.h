// The files of a work folder: the menu template "Menu.GB" that every compilation reads and patches, the
// image "Output.GB" and its pieces "Output1.GB" to "Output4.GB" that it writes.
#pragma once

#include "files/disk.h"

#include <filesystem>
#include <optional>
#include <string>

namespace romc {

inline constexpr const char* kMenuTemplateName = "Menu.GB";
inline constexpr const char* kImageName = "Output.GB";

// "Output1.GB" for the first piece (k = 1) to "Output4.GB" for the last.
std::string pieceName(int k);

// Which of the work folder's own files (the template, the image or a piece) the file `identity` is, by
// any path that leads to it: none when it is none of them. A game can be none of them.
std::optional<std::string> workFolderFileOf(Disk& disk, const std::filesystem::path& workDir,
                                            const FileIdentity& identity);

} // namespace romc
