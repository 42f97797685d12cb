#include "romtable/rom_file.h"

#include "files/utf8_path.h"
#include "romtable/flash_units.h"

#include <cerrno>
#include <system_error>

namespace romc {

namespace {

Failure notAFile(std::string_view shown, FileKind kind) {
    return Failure{"Cannot read " + inQuotes(shown) +
                   (kind == FileKind::Folder ? ": it is a folder, not a ROM file"
                                             : ": it is not a regular file (a device, pipe or socket)")};
}

FileKind kindOf(const std::filesystem::file_status& status) {
    if (std::filesystem::is_regular_file(status)) {
        return FileKind::Regular;
    }
    return std::filesystem::is_directory(status) ? FileKind::Folder : FileKind::Other;
}

} // namespace

std::filesystem::path resolveRomPath(const std::filesystem::path& workDir, std::string_view path) {
    const std::filesystem::path rom = pathFromUtf8(path);
    return rom.is_absolute() ? rom : workDir / rom;
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

Outcome<OpenRom> openRomFile(Disk& disk, const std::filesystem::path& path, std::string_view shown) {
    // A look at the name first gives the clearest message for what is plainly no ROM; the handle below is
    // what counts, should the name change meanwhile.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return Failure{"Cannot read " + inQuotes(shown) + ": " +
                       (error ? error.message() : systemReason(ENOENT))};
    }
    if (kindOf(status) != FileKind::Regular) {
        return notAFile(shown, kindOf(status));
    }
    auto opened = disk.openForReading(path);
    if (!opened.value) {
        return Failure{"Cannot open " + inQuotes(shown) + " for reading: " + opened.error.message()};
    }
    if (opened.value->kind() != FileKind::Regular) {
        return notAFile(shown, opened.value->kind());
    }
    const std::uintmax_t bytes = opened.value->size();
    return OpenRom{std::shared_ptr<OpenFile>(std::move(opened.value)), bytes};
}

int wholeBlocks(std::uintmax_t bytes) {
    const std::uintmax_t blocks = bytes / kBlockSize;
    // Anything beyond the flash is as refused as 1025 blocks; keep the number small enough to print.
    return blocks > static_cast<std::uintmax_t>(kFlashBlocks) ? kFlashBlocks + 1 : static_cast<int>(blocks);
}

} // namespace romc
