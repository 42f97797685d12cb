#include "compile/pending_file.h"

#include "romtable/rom_file.h"

#include <cerrno>
#include <climits>
#include <system_error>

namespace romc {

namespace {

std::string quotedName(const std::filesystem::path& path) {
    return "\"" + path.filename().string() + "\"";
}

bool seekTo(std::FILE* stream, std::uintmax_t offset) {
    return offset <= static_cast<std::uintmax_t>(LONG_MAX) &&
           std::fseek(stream, static_cast<long>(offset), SEEK_SET) == 0;
}

} // namespace

PendingFile::PendingFile(std::filesystem::path finalPath, std::filesystem::path tempPath, std::FILE* stream)
    : final_(std::move(finalPath)), temp_(std::move(tempPath)), shown_(quotedName(final_)), stream_(stream) {}

Outcome<std::unique_ptr<PendingFile>> PendingFile::create(const std::filesystem::path& finalPath) {
    std::filesystem::path temp = finalPath;
    temp.replace_filename("." + finalPath.filename().string() + ".part");
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    // "x": exclusive creation, which also refuses to follow a link put there since the removal.
    std::FILE* stream = std::fopen(temp.c_str(), "w+bx");
    if (stream == nullptr) {
        return Failure{"Cannot create " + quotedName(finalPath) + " (as " + quotedName(temp) +
                       "): " + systemReason(errno)};
    }
    return std::unique_ptr<PendingFile>(new PendingFile(finalPath, std::move(temp), stream));
}

PendingFile::~PendingFile() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

Failure PendingFile::writeFailure(int error) const {
    return Failure{"Cannot write " + shown_ + ": " + systemReason(error)};
}

Refusal PendingFile::writeAt(std::uintmax_t offset, const void* bytes, std::size_t size) {
    errno = 0;
    if (!seekTo(stream_, offset) || std::fwrite(bytes, 1, size, stream_) != size) {
        return writeFailure(errno != 0 ? errno : EIO);
    }
    return std::nullopt;
}

Refusal PendingFile::finish() {
    errno = 0;
    const bool flushed = std::fflush(stream_) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!flushed || !closed) {
        return writeFailure(!flushed && flushError != 0 ? flushError : (errno != 0 ? errno : EIO));
    }
    return std::nullopt;
}

Refusal PendingFile::commit() {
    std::error_code error;
    std::filesystem::rename(temp_, final_, error);
    if (error) {
        return Failure{"Cannot replace " + shown_ + ": " + error.message()};
    }
    committed_ = true;
    return std::nullopt;
}

} // namespace romc
