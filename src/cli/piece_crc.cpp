#include "cli/piece_crc.h"

#include "files/work_folder.h"
#include "romtable/flash_units.h"

#include <vector>
#include <zlib.h>

namespace romc {

namespace {

// Read in 1 MiB steps: a whole 32 MiB image never has to sit in memory.
constexpr std::size_t kCrcChunk = 1024 * 1024;

} // namespace

Outcome<std::uint32_t> fileCrc32(Disk& disk, const std::filesystem::path& path, std::string_view shown) {
    auto opened = disk.openForReading(path);
    if (!opened.value) {
        return Failure{"Cannot open " + inQuotes(shown) + " for reading: " + opened.error.message()};
    }
    std::vector<std::uint8_t> buffer(kCrcChunk);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::uintmax_t offset = 0;; offset += buffer.size()) {
        std::size_t got = 0;
        if (auto error = opened.value->readAt(offset, buffer, got)) {
            return fileFailure("read", shown, error);
        }
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
        if (got < buffer.size()) {
            return static_cast<std::uint32_t>(crc);
        }
    }
}

std::vector<WrittenFile> writtenFiles(const OutputTransaction& outputs) {
    std::vector<WrittenFile> files;
    for (int k = 0; k <= kPieceCount; ++k) {
        const std::string name = k == 0 ? kImageName : pieceName(k);
        const PendingFile* pending = outputs.file(name);
        if (pending == nullptr) {
            continue;
        }
        WrittenFile file;
        file.name = name;
        std::error_code error;
        file.bytes = std::filesystem::file_size(pending->temporaryPath(), error);
        if (error) {
            file.bytes = 0;
            file.problem = fileFailure("read", name, error).message;
        } else if (const auto crc = fileCrc32(systemDisk(), pending->temporaryPath(), name); crc.ok()) {
            file.crc = crc.value();
        } else {
            file.problem = crc.failure().message;
        }
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace romc
