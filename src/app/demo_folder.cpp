#include "app/demo_folder.h"

#include "compile/menu_table.h"
#include "romtable/flash_units.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace romapp {

const std::vector<DemoFile>& demoFiles() {
    using romc::kBlockSize;
    static const std::vector<DemoFile> files = {
        {romc::menu::kTemplateName, kBlockSize}, // placeholder menu: the menu table is patched into it
        {"PUZZLE.GB", 1 * kBlockSize},
        {"racing.gb", 4 * kBlockSize},                  // a lower-case name: the ROM filter still shows it
        {"A Very Long Game Title.GB", 32 * kBlockSize}, // the proposed name is cut to 16 characters
        {"Space Adventure DX.GBC", 64 * kBlockSize},    // shown under "All Files(*.*)"
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
