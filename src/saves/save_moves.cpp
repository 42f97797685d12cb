#include "saves/save_moves.h"

#include "compile/menu_read.h"
#include "files/utf8_path.h"
#include "inspect/image_file.h"
#include "inspect/inspection.h"
#include "romtable/failure.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"

#include <cstdint>
#include <span>

namespace fs = std::filesystem;

namespace romc {

namespace {

// FNV-1a over a ROM's blocks: enough to tell one game's bytes from another's.
struct BlockHash {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::span<const std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) {
            value = (value ^ byte) * 1099511628211ull;
        }
    }
};

std::optional<std::uint64_t> hashOfImageRom(const ImageFile& image, const InspectedRom& rom) {
    BlockHash hash;
    if (readRomBlocks(image, rom, [&](std::span<const std::uint8_t> block) -> Refusal {
            hash.add(block);
            return std::nullopt;
        })) {
        return std::nullopt;
    }
    return hash.value;
}

std::optional<std::uint64_t> hashOfRomFile(const fs::path& path, int blocks) {
    const auto rom = openRomFile(systemDisk(), path, pathToUtf8(path));
    if (!rom.ok() || wholeBlocks(rom.value().bytes) != blocks) {
        return std::nullopt;
    }
    BlockHash hash;
    std::vector<std::uint8_t> block(kBlockSize);
    for (int b = 0; b < blocks; ++b) {
        std::size_t got = 0;
        if (rom.value().file->readAt(static_cast<std::uintmax_t>(b) * kBlockSize, block, got) ||
            got != kBlockSize) {
            return std::nullopt;
        }
        hash.add(block);
    }
    return hash.value;
}

std::optional<int> bankOfRow(const RomTable& table, std::size_t row) {
    if (table.text(row, Column::SaveFlag) != kSaveFlagYes) {
        return std::nullopt;
    }
    const auto bank = readNumberText(table.text(row, Column::SaveBank));
    return bank ? std::optional<int>(static_cast<int>(*bank)) : std::nullopt;
}

} // namespace

std::vector<SaveMove> saveMoves(const fs::path& imagePath, const TableState& state, const fs::path& workDir) {
    std::error_code error;
    if (!fs::is_regular_file(imagePath, error)) {
        return {};
    }
    const auto image = ImageFile::open(imagePath);
    if (!image.ok()) {
        return {};
    }
    const auto inspection = inspectImage(image.value());
    if (!inspection.ok() || !inspection.value().problems.empty()) {
        return {};
    }
    const RomTable& table = state.table;
    std::vector<SaveMove> moves;
    for (const InspectedRom& old : inspection.value().roms) {
        if (!old.saveBank || !listedWithSave(old)) {
            continue;
        }
        const auto oldHash = hashOfImageRom(image.value(), old);
        std::optional<std::size_t> sameGame;
        for (std::size_t row = 0; row < table.rowCount() && oldHash && !sameGame; ++row) {
            const auto size = readNumberText(table.text(row, Column::Size));
            if (size && *size == old.blocks &&
                hashOfRomFile(resolveRomPath(workDir, table.text(row, Column::File)), old.blocks) ==
                    oldHash) {
                sameGame = row;
            }
        }
        if (!sameGame) {
            // The game left the table: its saves matter only when another game gets its bank and reads them.
            for (std::size_t row = 0; row < table.rowCount(); ++row) {
                if (bankOfRow(table, row) == old.saveBank) {
                    moves.push_back({escapedName(old.name), *old.saveBank, std::nullopt,
                                     table.text(row, Column::Name), true});
                }
            }
            continue;
        }
        SaveMove move{table.text(*sameGame, Column::Name), *old.saveBank, bankOfRow(table, *sameGame), {}};
        // Placed again where it was without save memory: the image cannot tell that from a save ROM, and
        // nothing changes for it.
        if (!move.newBank && readNumberText(table.text(*sameGame, Column::Location)) == old.first) {
            continue;
        }
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            if (row != *sameGame && bankOfRow(table, row) == old.saveBank) {
                move.takenBy = table.text(row, Column::Name);
            }
        }
        if (move.newBank != move.oldBank || !move.takenBy.empty()) {
            moves.push_back(std::move(move));
        }
    }
    return moves;
}

std::optional<std::string> saveMovesWarning(const std::vector<SaveMove>& moves, bool savesWritten) {
    if (moves.empty()) {
        return std::nullopt;
    }
    std::string text = "save banks change against the image this compilation replaces:";
    for (const SaveMove& move : moves) {
        text += " " + inQuotes(move.name) + " ";
        if (move.gone) {
            text += "leaves the table, and save bank " + std::to_string(move.oldBank) +
                    " with its saves goes to " + inQuotes(move.takenBy) + ";";
            continue;
        }
        if (!move.newBank) {
            text += "loses its save bank " + std::to_string(move.oldBank);
        } else if (*move.newBank != move.oldBank) {
            text += "moves from save bank " + std::to_string(move.oldBank) + " to " +
                    std::to_string(*move.newBank);
        } else {
            text += "keeps save bank " + std::to_string(move.oldBank);
        }
        if (!move.takenBy.empty()) {
            text += ", and save bank " + std::to_string(move.oldBank) + " with its saves goes to " +
                    inQuotes(move.takenBy);
        }
        text += ";";
    }
    text.pop_back();
    text += savesWritten ? "; the saves move with their games in the save memory written with it"
                         : "; split the save dump before flashing, then write the save memory";
    return text;
}

} // namespace romc
