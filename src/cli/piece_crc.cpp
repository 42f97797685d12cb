#include "cli/piece_crc.h"

#include "compile/image.h"
#include "romtable/rom_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>
#include <zlib.h>

namespace romc {

namespace {

// Read in 1 MiB steps: a whole 32 MiB image never has to sit in memory.
constexpr std::size_t kCrcChunk = 1024 * 1024;

} // namespace

Outcome<std::uint32_t> fileCrc32(const std::filesystem::path& path, std::string_view shown) {
    const std::string quoted = "\"" + std::string(shown) + "\"";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Failure{"Cannot open " + quoted + " for reading: " + systemReason(errno)};
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
    std::vector<unsigned char> buffer(kCrcChunk);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
        if (got < buffer.size()) {
            if (std::ferror(file)) {
                return Failure{"Cannot read " + quoted + ": " + systemReason(errno != 0 ? errno : EIO)};
            }
            break;
        }
    }
    return static_cast<std::uint32_t>(crc);
}

std::vector<WrittenFile> writtenFiles(const std::filesystem::path& workDir) {
    std::vector<WrittenFile> files;
    std::error_code error;
    const auto imageBytes = std::filesystem::file_size(workDir / kImageName, error);
    const int pieces = error ? 1 : piecesFor(imageBytes);
    for (int k = 0; k <= pieces; ++k) {
        WrittenFile file;
        file.name = k == 0 ? kImageName : pieceName(k);
        const auto path = workDir / file.name;
        file.bytes = std::filesystem::file_size(path, error);
        if (error) {
            file.bytes = 0;
            file.problem = "Cannot read \"" + file.name + "\": " + error.message();
        } else if (const auto crc = fileCrc32(path, file.name); crc.ok()) {
            file.crc = crc.value();
        } else {
            file.problem = crc.failure().message;
        }
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace romc
