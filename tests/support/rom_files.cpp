#include "support/rom_files.h"

#include "cartridge/rom_header.h"
#include "files/utf8_path.h"

#include <array>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace romc::test {

ScratchFolder::ScratchFolder() {
    // In memory where the system offers it: compilations write 8 to 64 MiB, and some tests compile often.
    // Made absolute: on Windows "/dev/shm" lacks a drive (under wine it is Z:\dev\shm, Linux's own).
    std::error_code error;
    const auto shm = std::filesystem::absolute("/dev/shm", error);
    const bool memory =
        std::filesystem::is_directory(shm, error) && ::access(shm.string().c_str(), W_OK) == 0;
    const auto base = memory ? shm : std::filesystem::temp_directory_path();
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("romc-test-" + std::to_string(entropy()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder under " + base.string());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> romBytes(std::size_t bytes, std::uint32_t seed) {
    std::vector<std::uint8_t> data(bytes);
    std::uint32_t state = seed * 2654435761u + 0x9E3779B9u;
    for (auto& byte : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state);
    }
    return data;
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    std::ifstream in(path, std::ios::binary); // a missing file, or a folder, reads as no bytes
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    return bytes;
}

void resizeFile(const std::filesystem::path& path, std::size_t bytes) {
    std::vector<std::uint8_t> contents = readFile(path);
    contents.resize(bytes, 0);
    writeFile(path, contents);
}

std::filesystem::path makeRom(const std::filesystem::path& folder, const std::string& name, std::size_t bytes,
                              std::uint32_t seed) {
    const auto path = folder / romc::pathFromUtf8(name); // UTF-8, as the tool names files on every system
    writeFile(path, romBytes(bytes, seed));
    return path;
}

std::map<std::string, std::vector<std::uint8_t>> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        // Where a folder lock is a file (Windows), it lives only while a run holds it, and nobody else may
        // open it meanwhile.
        if (name == u8".romcompiler.lock") {
            continue;
        }
        contents[std::string(name.begin(), name.end())] =
            entry.is_regular_file() ? readFile(entry.path()) : std::vector<std::uint8_t>{'d', 'i', 'r'};
    }
    return contents;
}

std::vector<std::uint8_t> menuTemplate() {
    // A header the boot ROM accepts, so that only tests about a bad template hear of it.
    std::vector<std::uint8_t> bytes = romBytes(32 * 1024, 0xC0FFEE);
    bytes[header::kChecksum] = headerChecksum(bytes);
    return bytes;
}

std::vector<std::uint8_t> batteryRom() {
    std::vector<std::uint8_t> bytes = romBytes(32 * 32 * 1024, 9);
    const char title[] = "QUEST";
    for (std::size_t i = 0; i < 16; ++i) {
        bytes[0x134 + i] = i < sizeof title - 1 ? static_cast<std::uint8_t>(title[i]) : 0;
    }
    bytes[0x147] = 0x03;
    bytes[0x148] = 0x05;
    bytes[0x149] = 0x03;
    bytes[header::kChecksum] = headerChecksum(bytes);
    return bytes;
}

std::uint32_t referenceCrc32(const std::vector<std::uint8_t>& bytes) {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

std::string firstDifference(const std::vector<std::uint8_t>& expected,
                            const std::vector<std::uint8_t>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            std::ostringstream text;
            text << "first difference at offset 0x" << std::hex << i << ": expected 0x" << int{expected[i]}
                 << ", got 0x" << int{actual[i]};
            return text.str();
        }
    }
    if (expected.size() != actual.size()) {
        return "lengths differ: expected " + std::to_string(expected.size()) + ", got " +
               std::to_string(actual.size());
    }
    return "equal";
}

bool makeLink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code error;
    // Windows tells links to folders from links to files.
    if (std::filesystem::is_directory(target, error)) {
        std::filesystem::create_directory_symlink(target, link, error);
    } else {
        std::filesystem::create_symlink(target, link, error);
    }
    return !error;
}

bool makeFifo(const std::filesystem::path& path) {
#if defined(_WIN32)
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

} // namespace romc::test
