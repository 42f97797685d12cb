#include "lists/list_paths.h"

#include "files/utf8_path.h"
#include "romtable/rom_file.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace romc {

namespace {

// The absolute path the system reaches for `path`. Where the path goes up a folder (".."), the folder part
// is asked of the file system: after a linked folder ".." leads where the link points, not where the text
// suggests. The file name itself is kept, so a ROM reached through a link keeps the link's name.
fs::path reachedPath(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) {
        absolute = path;
    }
    if (std::none_of(absolute.begin(), absolute.end(), [](const fs::path& part) { return part == ".."; })) {
        return absolute.lexically_normal();
    }
    const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
    return error ? absolute.lexically_normal() : folder / absolute.filename();
}

} // namespace

std::string listedPathText(std::string_view file, const fs::path& listFolder) {
    const fs::path listed = pathFromUtf8(file);
    if (listed.is_absolute() || listFolder.empty()) {
        return std::string(file);
    }
    // Forward slashes, as lists keep them: the row reads the same on every system.
    const std::u8string text = (listFolder / listed).generic_u8string();
    return std::string(text.begin(), text.end());
}

std::string listFileText(std::string_view rowFile, const fs::path& workDir, const fs::path& listPath) {
    const fs::path rom = reachedPath(resolveRomPath(workDir, rowFile));
    const fs::path folder = reachedPath(listPath).parent_path();
    const fs::path relative = rom.lexically_relative(folder);
    const bool underFolder = !relative.empty() && *relative.begin() != "..";
    const std::u8string text = underFolder ? relative.generic_u8string() : rom.generic_u8string();
    return std::string(text.begin(), text.end());
}

} // namespace romc
