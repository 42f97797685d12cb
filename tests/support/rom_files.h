// Made-up ROM files and a scratch folder for each test: byte patterns that differ per ROM and per block,
// so that a ROM copied to the wrong place or a block out of order shows at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace romc::test {

// A fresh folder under the system's temporary folder, removed with everything in it when it goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// `bytes` bytes of a pattern seeded by `seed`: no two seeds and no two blocks of one file look alike.
std::vector<std::uint8_t> romBytes(std::size_t bytes, std::uint32_t seed);

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// The whole file; no bytes when there is no file to read.
std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
// Cuts or lengthens (with zeros) the file by writing it again: std::filesystem::resize_file fails now and
// then under wine with "File too large".
void resizeFile(const std::filesystem::path& path, std::size_t bytes);

// Writes a ROM of `bytes` bytes with the pattern of `seed` and returns its path.
std::filesystem::path makeRom(const std::filesystem::path& folder, const std::string& name, std::size_t bytes,
                              std::uint32_t seed);

// Every entry of a folder with its bytes (a folder stands as the bytes "dir"): what an action that is
// refused must leave as it was.
std::map<std::string, std::vector<std::uint8_t>> folderContents(const std::filesystem::path& folder);

// Makes a named pipe at `path`, which opening for reading would wait on for ever; false where the system
// has none among its files (Windows), and a test then leaves out the case that needs one.
bool makeFifo(const std::filesystem::path& path);

// Makes a symbolic link at `link`; false where the system does not let this user make one (Windows
// without developer mode, wine), and a test then skips, saying so.
bool makeLink(const std::filesystem::path& target, const std::filesystem::path& link);
inline constexpr const char* kNoLinksHere = "symbolic links cannot be made here (Windows, wine)";

// A 32 KiB menu template of its own pattern.
std::vector<std::uint8_t> menuTemplate();

// A 32-block ROM whose header says MBC1+RAM+BATTERY, 1 MiB, 32 KiB of RAM, titled "QUEST", with the right
// checksum and a logo area that is not blank.
std::vector<std::uint8_t> batteryRom();

// CRC-32 as zip and cartridge dumpers compute it (reflected, polynomial 0xEDB88320), written out here so the
// product's figures are checked against something other than the library that made them.
std::uint32_t referenceCrc32(const std::vector<std::uint8_t>& bytes);

// The offset of the first byte where two byte strings differ, or "equal"; failures print where, not that.
std::string firstDifference(const std::vector<std::uint8_t>& expected,
                            const std::vector<std::uint8_t>& actual);

} // namespace romc::test
