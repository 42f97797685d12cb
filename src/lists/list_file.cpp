#include "lists/list_file.h"

#include "lists/list_paths.h"
#include "romtable/rom_file.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace romc {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

std::string bytesText(std::uintmax_t bytes) {
    return std::to_string(bytes) + " bytes";
}

} // namespace

Outcome<RomList> readRomList(const fs::path& path, std::string_view shown) {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::exists(status)) {
        return listNotOpened(shown, error ? error.message() : systemReason(ENOENT));
    }
    if (fs::is_directory(status)) {
        return listNotOpened(shown, "it is a folder, not a list file");
    }
    if (!fs::is_regular_file(status)) {
        return listNotOpened(shown, "it is not a regular file (a device, pipe or socket)");
    }
    const auto size = fs::file_size(path, error);
    if (error) {
        return listNotOpened(shown, error.message());
    }
    const std::string tooLarge = "it is larger than any ROM list (at most " + bytesText(kMaxListBytes) + ")";
    if (size > kMaxListBytes) {
        return listNotOpened(shown, tooLarge);
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return listNotOpened(shown, systemReason(errno != 0 ? errno : EIO));
    }
    // Read to the end, not to the size seen above: the file may have grown since.
    std::string text;
    std::array<char, kReadChunk> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxListBytes) {
            return listNotOpened(shown, tooLarge);
        }
    }
    if (in.bad()) {
        return listNotOpened(shown, systemReason(errno != 0 ? errno : EIO));
    }
    return parseRomList(text, shown);
}

Outcome<std::unique_ptr<PendingFile>> prepareRomList(const fs::path& path, const RomList& list) {
    const auto text = romListText(list, textOfPath(path.filename()));
    if (!text.ok()) {
        return text.failure();
    }
    auto created = PendingFile::create(path);
    if (!created.ok()) {
        return created.failure();
    }
    std::unique_ptr<PendingFile> file = std::move(created.value());
    Refusal failure = file->writeAt(0, text.value().data(), text.value().size());
    if (!failure) {
        failure = file->finish();
    }
    if (failure) {
        return *failure;
    }
    return file;
}

Refusal writeRomList(const fs::path& path, const RomList& list) {
    auto prepared = prepareRomList(path, list);
    if (!prepared.ok()) {
        return prepared.failure();
    }
    return prepared.value()->commit();
}

} // namespace romc
