// How a list names its ROM files: relative to the list's own folder where it can, so that a folder of ROMs
// with its list can be moved or copied whole; and how a listed file becomes the text of the path box.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace romc {

// The path box text for a listed `file`: a relative one is taken from `listFolder`, which names the list's
// folder as the table's paths do (absolute, or relative to the folder the tool works in; empty for that
// folder itself). An absolute one stays as listed.
std::string listedPathText(std::string_view file, const std::filesystem::path& listFolder);

// How a list written to `listPath` names the ROM of a row whose file text is `rowFile`: relative to the
// list's folder when the ROM lies under it, absolute otherwise, with "/" between folder names. Relative
// texts are taken from `workDir`, as Add ROM takes them.
std::string listFileText(std::string_view rowFile, const std::filesystem::path& workDir,
                         const std::filesystem::path& listPath);

} // namespace romc
