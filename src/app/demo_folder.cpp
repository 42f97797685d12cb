#include "app/demo_folder.h"

#include "cartridge/rom_header.h"
#include "compile/menu_table.h"
#include "romtable/flash_units.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace romapp {

namespace {

void writeHeader(const DemoFile& file, std::vector<std::uint8_t>& bytes) {
    namespace header = romc::header;
    std::fill(bytes.begin() + header::kTitle, bytes.begin() + header::kChecksum + 1, std::uint8_t{0});
    const std::string title = file.title;
    std::copy(title.begin(), title.end(), bytes.begin() + header::kTitle);
    if (file.cartridgeType == 0x1B) {
        bytes[header::kColourFlag] = header::kColourEnhanced;
    }
    bytes[header::kCartridgeType] = file.cartridgeType;
    // The size code says the ROM is 32 KiB << code.
    bytes[header::kRomSizeCode] = static_cast<std::uint8_t>(std::countr_zero(file.bytes / romc::kBlockSize));
    bytes[header::kRamSizeCode] = file.ramSizeCode;
    bytes[header::kChecksum] = romc::headerChecksum(bytes);
}

} // namespace

const std::vector<DemoFile>& demoFiles() {
    using romc::kBlockSize;
    static const std::vector<DemoFile> files = {
        // Placeholder menu: the menu table is patched into it; its header passes the template's checks.
        {romc::menu::kTemplateName, kBlockSize, "MENU", 0x00, 0x00},
        {"PUZZLE.GB", 1 * kBlockSize, "PUZZLE", 0x00, 0x00},
        // A lower-case name: the ROM filter still shows it.
        {"racing.gb", 4 * kBlockSize, "RACING", 0x01, 0x00},
        // The proposed name is cut to 16 characters; a battery-backed game that wants "Save?".
        {"A Very Long Game Title.GB", 32 * kBlockSize, "LONG GAME", 0x03, 0x02},
        // Shown under "All Files(*.*)"; a Game Boy Color game with saves.
        {"Space Adventure DX.GBC", 64 * kBlockSize, "SPACE ADV DX", 0x1B, 0x03},
    };
    return files;
}

std::vector<std::uint8_t> demoBytes(const DemoFile& file) {
    std::vector<std::uint8_t> bytes(file.bytes);
    std::uint32_t seed = 2166136261u;
    for (const char* c = file.name; *c != '\0'; ++c) {
        seed = (seed ^ static_cast<std::uint8_t>(*c)) * 16777619u;
    }
    for (std::size_t block = 0; block * romc::kBlockSize < bytes.size(); ++block) {
        const std::size_t start = block * romc::kBlockSize;
        const std::string tag = std::string("DEMO ") + file.name + " block " + std::to_string(block) + "\n";
        std::uint32_t state = seed + static_cast<std::uint32_t>(block) * 0x9E3779B9u;
        for (std::size_t i = 0; i < romc::kBlockSize && start + i < bytes.size(); ++i) {
            if (i < tag.size()) {
                bytes[start + i] = static_cast<std::uint8_t>(tag[i]);
                continue;
            }
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            bytes[start + i] = static_cast<std::uint8_t>(state);
        }
    }
    if (file.title != nullptr) {
        writeHeader(file, bytes);
    }
    return bytes;
}

std::string fillDemoFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return "Cannot create the demo folder \"" + folder.string() + "\": " + error.message();
    }
    for (const DemoFile& file : demoFiles()) {
        const auto path = folder / file.name;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
            continue;
        }
        const auto bytes = demoBytes(file);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            const int reason = errno;
            std::filesystem::remove(path, error);
            return "Cannot write the demo file \"" + path.string() + "\": " + std::strerror(reason);
        }
    }
    return {};
}

} // namespace romapp
