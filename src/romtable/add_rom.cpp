#include "romtable/add_rom.h"

#include "archives/rom_source_file.h"
#include "files/work_folder.h"
#include "romtable/give_back.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"
#include "romtable/rom_name.h"

#include <algorithm>
#include <string>

namespace romc {

namespace {

// The bank and place the next save ROM of `blocks` blocks receives. The first save ROM after a reset may
// share region 0 with the menu only when it is smaller than a region: it then starts at the block whose
// number equals its size. Every later save ROM starts its bank's region.
SavePlace nextSavePlace(int nextSaveBank, int blocks) {
    if (nextSaveBank == 0 && blocks < kSaveRegionBlocks) {
        return savePlaceOfBank(0, blocks);
    }
    return savePlaceOfBank(std::max(nextSaveBank, 1), blocks);
}

// The save regions from the one a save ROM starts in to the one its last block lies in.
struct RegionRun {
    int first;
    int last;
};

RegionRun regionsOf(int location, int blocks) {
    return {location / kSaveRegionBlocks, (location + blocks - 1) / kSaveRegionBlocks};
}

// The first save row of the table whose regions meet `wanted`: each save memory bank belongs to the one
// game that starts in its region.
std::optional<std::size_t> saveRowMeeting(const RomTable& table, RegionRun wanted) {
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (table.text(row, Column::SaveFlag) != kSaveFlagYes) {
            continue;
        }
        const auto location = readNumberText(table.text(row, Column::Location));
        const auto size = readNumberText(table.text(row, Column::Size));
        if (!location || !size) {
            continue;
        }
        const RegionRun run =
            regionsOf(static_cast<int>(*location), static_cast<int>(std::max<std::int64_t>(*size, 1)));
        if (run.first <= wanted.last && wanted.first <= run.last) {
            return row;
        }
    }
    return std::nullopt;
}

Refusal refuseWishedBank(const TableState& state, std::string_view path, int blocks, SavePlace place) {
    const std::string start =
        "Cannot add " + inQuotes(path) + " in save bank " + std::to_string(place.bank) + ": ";
    if (place.bank == 0 && blocks >= kSaveRegionBlocks) {
        return Failure{start + "bank 0 shares its region with the menu and takes only ROMs below " +
                       std::to_string(kSaveRegionBlocks) + " blocks; it has " + std::to_string(blocks)};
    }
    if (place.location + blocks - 1 > kLastBlock) {
        return Failure{start + "its " + std::to_string(blocks) + " blocks from block " +
                       std::to_string(place.location) + " would run past the last flash block " +
                       std::to_string(kLastBlock)};
    }
    if (const auto other = saveRowMeeting(state.table, regionsOf(place.location, blocks))) {
        return Failure{start + "its blocks " + std::to_string(place.location) + " to " +
                       std::to_string(place.location + blocks - 1) + " meet the save regions of row " +
                       std::to_string(*other + 1) + " (" + inQuotes(state.table.text(*other, Column::Name)) +
                       ", save bank" + state.table.text(*other, Column::SaveBank) + ")"};
    }
    return std::nullopt;
}

int complementOf(int blocks) {
    return blocks == kMaxRomBlocks ? kComplementOfMaxRom : kMaxRomBlocks - blocks;
}

// The work folder's own files are the tool's input and outputs; as a game, the template would reach the
// image unpatched and an output would be replaced while it is read.
Refusal refuseWorkFolderFile(Disk& disk, const AddRomInput& input, const OpenFile& rom) {
    const auto own = workFolderFileOf(disk, input.workDir, rom.identity());
    if (!own) {
        return std::nullopt;
    }
    std::string message = "Cannot add " + inQuotes(input.path) + ": it is the work folder's ";
    if (*own == kMenuTemplateName) {
        message += "menu template " + inQuotes(*own) + ", not a game";
    } else {
        message += "output " + inQuotes(*own) + ", which every compilation replaces, not a game";
    }
    return Failure{std::move(message)};
}

// A compilation may have placed ROMs without save memory where a save ROM added after it has its fixed
// place: they go back to the draft, to be placed anew by the next compilation.
void giveBackPlacesUnder(TableState& state, int first, int last) {
    for (std::size_t row = 0; row < state.table.rowCount(); ++row) {
        const auto run = placedBlocks(state.table, row);
        if (run && run->first <= last && first <= run->last) {
            giveBackPlace(state.table, state.blocks, row);
        }
    }
}

} // namespace

SavePlace savePlaceOfBank(int bank, int blocks) {
    return bank == 0 ? SavePlace{0, blocks} : SavePlace{bank, bank * kSaveRegionBlocks};
}

Refusal addRom(TableState& state, const AddRomInput& input, bool& saveBox) {
    const auto measured = measureRom(input);
    if (!measured.ok()) {
        return measured.failure();
    }
    return addRomOfBlocks(state, input.name, measured.value().source, measured.value().blocks, saveBox,
                          input.wish);
}

Outcome<MeasuredRom> measureRom(const AddRomInput& input) {
    Disk& disk = diskOr(input.disk);
    const auto rom = openRomSource(disk, input.workDir, input.path);
    if (!rom.ok()) {
        return rom.failure();
    }
    if (auto refusal = refuseWorkFolderFile(disk, input, *rom.value().rom.file)) {
        return *refusal;
    }
    // The row names the member read, so that the compilation reads the same one.
    const std::string& source = rom.value().source;
    const std::uintmax_t bytes = rom.value().rom.bytes;
    const int blocks = wholeBlocks(bytes);
    if (rom.value().pastLargestRom) {
        return Failure{"Cannot add " + inQuotes(source) + ": it unpacks to more than " +
                       std::to_string(kMaxRomBlocks * kBlockSize) +
                       " bytes, longer than the largest ROM of " + std::to_string(kMaxRomBlocks) + " blocks"};
    }
    if (blocks == 0) {
        return Failure{"Cannot add " + inQuotes(source) + ": it is " + std::to_string(bytes) +
                       " bytes, shorter than one " + std::to_string(kBlockSize) + "-byte flash block"};
    }
    if (blocks > kMaxRomBlocks) {
        return Failure{"Cannot add " + inQuotes(source) + ": it is " + std::to_string(bytes) +
                       " bytes, longer than the largest ROM of " + std::to_string(kMaxRomBlocks) +
                       " blocks (" + std::to_string(kMaxRomBlocks * kBlockSize) + " bytes)"};
    }
    return MeasuredRom{blocks, source};
}

Refusal addRomOfBlocks(TableState& state, std::string_view name, std::string_view path, int blocks,
                       bool& saveBox, const SaveWish& wish) {
    // The menu's ROM count is one byte: a row past its last is refused now, not at the compilation.
    if (state.table.rowCount() >= static_cast<std::size_t>(kMaxMenuRows)) {
        return Failure{"Cannot add " + inQuotes(path) + ": the menu lists at most " +
                       std::to_string(kMaxMenuRows) + " ROMs, and the table holds " +
                       std::to_string(kMaxMenuRows)};
    }
    // A 256-block ROM never gets save memory, and neither does any ROM once all banks are handed out; a
    // bank kept from an earlier run is the ROM's own, whatever the counter says.
    const bool save =
        saveBox && blocks != kMaxRomBlocks && (wish.bank || state.nextSaveBank < kNoSaveBankLeft);
    int nextSaveBank = state.nextSaveBank;
    SavePlace place{};
    if (save && wish.bank) {
        place = savePlaceOfBank(*wish.bank, blocks);
        if (auto refusal = refuseWishedBank(state, path, blocks, place)) {
            return refusal;
        }
        const RegionRun regions = regionsOf(place.location, blocks);
        nextSaveBank = std::max(nextSaveBank, regions.last + 1);
    } else if (save) {
        place = nextSavePlace(nextSaveBank, blocks);
        const int last = place.location + blocks - 1;
        if (last > kLastBlock) {
            return Failure{"Cannot add " + inQuotes(path) + " with save memory: its " +
                           std::to_string(blocks) + " blocks from save bank " + std::to_string(place.bank) +
                           " at block " + std::to_string(place.location) +
                           " would run past the last flash block " + std::to_string(kLastBlock)};
        }
        // A save ROM longer than its region reaches into the next ones; their banks are no longer free.
        const int regionsReached = (place.location + blocks + kSaveRegionBlocks - 1) / kSaveRegionBlocks;
        nextSaveBank = std::max(place.bank + 1, regionsReached);
    }

    // Everything is known; only now does the table change.
    RomTable& table = state.table;
    table.column(Column::Name).push_back(tableName(name));
    table.column(Column::File).emplace_back(path);
    table.column(Column::Size).push_back(numberText(blocks));
    table.column(Column::Complement).push_back(numberText(complementOf(blocks)));
    if (save) {
        table.column(Column::SaveFlag).emplace_back(kSaveFlagYes);
        // The save bank column holds its number after one blank (" 0" .. " 15").
        table.column(Column::SaveBank).push_back(numberText(place.bank).insert(0, 1, ' '));
        table.column(Column::Location).push_back(numberText(place.location));
        giveBackPlacesUnder(state, place.location, place.location + blocks - 1);
        markBlocks(state.blocks, place.location, place.location + blocks - 1);
        state.nextSaveBank = static_cast<std::int16_t>(nextSaveBank);
        state.saveFiles.resize(table.rowCount() - 1);
        state.saveFiles.push_back(wish.saveFile);
    } else {
        table.column(Column::SaveFlag).emplace_back(kSaveFlagNo);
        table.column(Column::SaveBank).emplace_back(kNoSaveBank);
        table.column(Column::Location).emplace_back(kNotPlaced);
    }
    if (!save) {
        state.saveFiles.resize(table.rowCount());
    }
    saveBox = save && state.nextSaveBank < kNoSaveBankLeft;
    refreshCounters(state);
    return std::nullopt;
}

} // namespace romc
