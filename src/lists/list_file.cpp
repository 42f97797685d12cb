#include "lists/list_file.h"

#include "compile/output_policy.h"
#include "files/utf8_path.h"
#include "lists/list_paths.h"
#include "romtable/rom_file.h"

#include <cerrno>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace romc {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

std::string bytesText(std::uintmax_t bytes) {
    return std::to_string(bytes) + " bytes";
}

} // namespace

Outcome<std::string> readListText(const fs::path& path, std::string_view shown, Disk* diskGiven) {
    Disk& disk = diskOr(diskGiven);
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::exists(status)) {
        return listNotOpened(shown, error ? error.message() : systemReason(ENOENT));
    }
    // Checked on the open handle: a name swapped for a pipe after a look at it is never waited on.
    auto opened = disk.openForReading(path);
    if (!opened.value) {
        return listNotOpened(shown, opened.error.message());
    }
    OpenFile& file = *opened.value;
    if (file.kind() == FileKind::Folder) {
        return listNotOpened(shown, "it is a folder, not a list file");
    }
    if (file.kind() != FileKind::Regular) {
        return listNotOpened(shown, "it is not a regular file (a device, pipe or socket)");
    }
    const std::string tooLarge = "it is larger than any ROM list (at most " + bytesText(kMaxListBytes) + ")";
    if (file.size() > kMaxListBytes) {
        return listNotOpened(shown, tooLarge);
    }
    // Read to the end, not to the size seen above: the file may have grown since.
    std::string text;
    std::vector<std::uint8_t> chunk(kReadChunk);
    for (;;) {
        std::size_t got = 0;
        if (auto readError = file.readAt(text.size(), chunk, got)) {
            return listNotOpened(shown, readError.message());
        }
        text.append(reinterpret_cast<const char*>(chunk.data()), got);
        if (text.size() > kMaxListBytes) {
            return listNotOpened(shown, tooLarge);
        }
        if (got < chunk.size()) {
            break;
        }
    }
    return text;
}

Outcome<RomList> readRomList(const fs::path& path, std::string_view shown, Disk* disk) {
    auto text = readListText(path, shown, disk);
    if (!text.ok()) {
        return text.failure();
    }
    return parseRomList(text.value(), shown);
}

Refusal prepareRomList(OutputTransaction& outputs, const fs::path& path, const RomList& list) {
    const auto text = romListText(list, pathToUtf8(path.filename()));
    if (!text.ok()) {
        return text.failure();
    }
    auto file = outputs.add(path);
    if (!file.ok()) {
        return file.failure();
    }
    return file.value()->writeAt(0, text.value().data(), text.value().size());
}

Refusal writeRomList(const fs::path& path, const RomList& list, Disk* disk) {
    const auto text = romListText(list, pathToUtf8(path.filename()));
    if (!text.ok()) {
        return text.failure();
    }
    return writeListText(path, text.value(), disk);
}

Refusal writeListText(const fs::path& path, std::string_view text, Disk* disk) {
    return writeOutputFile(diskOr(disk), path, text);
}

} // namespace romc
