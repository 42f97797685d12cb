// Archives made by the tests themselves, through libarchive's writer: ZIP (stored, deflate), 7z (LZMA,
// LZMA2) and gzip, with members that are links or have names no extraction should follow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace romc::test {

enum class ArchiveFormat { ZipStored, ZipDeflate, SevenZipLzma, SevenZipLzma2, Gzip };

struct ArchiveEntry {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::string linkTarget = {}; // not empty: a symbolic link to this name, without bytes
};

// Writes `entries` into a new archive at `path` (gzip: the first entry's bytes alone). `passphrase`: the
// members encrypted (ZIP only).
void writeArchive(const std::filesystem::path& path, ArchiveFormat format,
                  const std::vector<ArchiveEntry>& entries, const std::string& passphrase = {});

} // namespace romc::test
