#include "app/demo_folder.h"

#include "cartridge/rom_header.h"
#include "compile/menu_table.h"
#include "files/utf8_path.h"
#include "lists/rom_list.h"
#include "romtable/flash_units.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace romapp {

namespace {

// "nop; jp 0x150": a cartridge's code starts past its header.
constexpr std::uint8_t kEntryCode[] = {0x00, 0xC3, 0x50, 0x01};

void writeHeader(const DemoFile& file, std::vector<std::uint8_t>& bytes) {
    namespace header = romc::header;
    std::copy(std::begin(kEntryCode), std::end(kEntryCode), bytes.begin() + header::kEntryPoint);
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
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != header::kGlobalChecksum && i != header::kGlobalChecksum + 1) {
            sum = static_cast<std::uint16_t>(sum + bytes[i]);
        }
    }
    bytes[header::kGlobalChecksum] = static_cast<std::uint8_t>(sum >> 8);
    bytes[header::kGlobalChecksum + 1] = static_cast<std::uint8_t>(sum);
}

// Writes a file that is not there yet; one that is (any kind of entry) is left as it is.
std::string writeNewFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return {};
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        const int reason = errno;
        std::filesystem::remove(path, error);
        return "Cannot write the demo file \"" + path.string() + "\": " + std::strerror(reason);
    }
    return {};
}

} // namespace

const std::vector<DemoFile>& demoFiles() {
    using romc::kBlockSize;
    static const std::vector<DemoFile> files = {
        // Placeholder menu: the menu table is patched into it; its header passes the template's checks.
        {romc::menu::kTemplateName, kBlockSize, "MENU", 0x00, 0x00},
        {"PUZZLE.GB", 1 * kBlockSize, "PUZZLE", 0x00, 0x00, "PUZZLE"},
        // A lower-case name: the ROM filter still shows it.
        {"racing.gb", 4 * kBlockSize, "RACING", 0x01, 0x00, "RACING"},
        // The proposed name is cut to 16 characters; a battery-backed game, listed with save memory.
        {"A Very Long Game Title.GB", 32 * kBlockSize, "LONG GAME", 0x03, 0x02, "A VERY LONG GAME", true},
        // Shown under "All Files(*.*)"; a Game Boy Color game with saves, listed without save memory: its
        // row is warned that the saves will be lost.
        {"Space Adventure DX.GBC", 64 * kBlockSize, "SPACE ADV DX", 0x1B, 0x03, "SPACE ADVENTURE"},
        {"Mini Golf.gb", 1 * kBlockSize, "MINI GOLF", 0x00, 0x00, "MINI GOLF"},
        {"Tennis Ace.gb", 2 * kBlockSize, "TENNIS ACE", 0x01, 0x00, "TENNIS ACE"},
        {"Pinball Party.gb", 8 * kBlockSize, "PINBALL PARTY", 0x01, 0x00, "PINBALL PARTY"},
        {"Rally Cross.gb", 16 * kBlockSize, "RALLY CROSS", 0x19, 0x00, "RALLY CROSS"},
        // Three of the largest ROMs take three of the four 8 MiB places; the menu holds the fourth.
        {"Star Saga.gb", 256 * kBlockSize, "STAR SAGA", 0x19, 0x00, "STAR SAGA"},
        {"Metro Racer.gb", 256 * kBlockSize, "METRO RACER", 0x19, 0x00, "METRO RACER"},
        {"Castle Tales.gb", 256 * kBlockSize, "CASTLE TALES", 0x19, 0x00, "CASTLE TALES"},
        // Last in the list, it finds no free 4 MiB place: the first 8 MiB holds the menu and the small ROMs.
        {"Ocean Odyssey.gb", 128 * kBlockSize, "OCEAN ODYSSEY", 0x19, 0x00, "OCEAN ODYSSEY"},
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

std::string demoListText() {
    romc::RomList list;
    for (const DemoFile& file : demoFiles()) {
        if (file.listedName != nullptr) {
            list.entries.push_back({file.name, file.listedName, file.listedWithSave});
        }
    }
    // The names are ASCII: the text cannot be refused.
    return romc::romListText(list, kDemoListName).value();
}

std::string fillDemoFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return "Cannot create the demo folder \"" + folder.string() + "\": " + error.message();
    }
    for (const DemoFile& file : demoFiles()) {
        const auto bytes = demoBytes(file);
        if (std::string failure = writeNewFile(folder / file.name, bytes.data(), bytes.size());
            !failure.empty()) {
            return failure;
        }
    }
    // A folder made by an earlier version, without the list, gets it too.
    const std::string list = demoListText();
    return writeNewFile(folder / kDemoListName, reinterpret_cast<const std::uint8_t*>(list.data()),
                        list.size());
}

std::string enterDemoFolder(const std::string& folder, std::optional<std::string>& list) {
    const std::filesystem::path path = romc::pathFromUtf8(folder);
    if (std::string failure = fillDemoFolder(path); !failure.empty()) {
        return failure;
    }
    std::error_code error;
    if (list) {
        const auto absolute = std::filesystem::absolute(romc::pathFromUtf8(*list), error);
        if (!error) {
            list = romc::pathToUtf8(absolute);
        }
    }
    std::filesystem::current_path(path, error);
    if (error) {
        return "Cannot work in \"" + folder + "\": " + error.message();
    }
    return {};
}

} // namespace romapp
