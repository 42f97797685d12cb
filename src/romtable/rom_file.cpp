#include "romtable/rom_file.h"

#include "romtable/flash_units.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace romc {

namespace {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::filesystem::path resolveRomPath(const std::filesystem::path& workDir, std::string_view path) {
    const std::filesystem::path rom{std::string(path)};
    return rom.is_absolute() ? rom : workDir / rom;
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

Outcome<std::uintmax_t> measureRomFile(const std::filesystem::path& path, std::string_view shown) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return Failure{"Cannot read " + quoted(shown) + ": " +
                       (error ? error.message() : systemReason(ENOENT))};
    }
    if (std::filesystem::is_directory(status)) {
        return Failure{"Cannot read " + quoted(shown) + ": it is a folder, not a ROM file"};
    }
    if (!std::filesystem::is_regular_file(status)) {
        return Failure{"Cannot read " + quoted(shown) +
                       ": it is not a regular file (a device, pipe or socket)"};
    }
    const auto bytes = std::filesystem::file_size(path, error);
    if (error) {
        return Failure{"Cannot read " + quoted(shown) + ": " + error.message()};
    }
    // Opening a regular file never blocks; it tells whether the bytes can be read when they are copied.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Failure{"Cannot open " + quoted(shown) + " for reading: " + systemReason(errno)};
    }
    std::fclose(file);
    return bytes;
}

int wholeBlocks(std::uintmax_t bytes) {
    const std::uintmax_t blocks = bytes / kBlockSize;
    // Anything beyond the flash is as refused as 1025 blocks; keep the number small enough to print.
    return blocks > static_cast<std::uintmax_t>(kFlashBlocks) ? kFlashBlocks + 1 : static_cast<int>(blocks);
}

} // namespace romc
