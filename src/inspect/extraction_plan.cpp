#include "inspect/extraction_plan.h"

#include "compile/menu_patch.h"
#include "compile/menu_read.h"
#include "compile/menu_table.h"
#include "compile/placement.h"
#include "inspect/safe_file_name.h"
#include "romtable/add_rom.h"
#include "romtable/number_text.h"
#include "romtable/table_state.h"

#include <algorithm>

namespace romc {

namespace {

std::string rowLabel(std::size_t row, const InspectedRom& rom) {
    return "row " + std::to_string(row + 1) + " (\"" + escapedName(rom.name) + "\")";
}

std::string blockText(int block) {
    return "block " + std::to_string(block);
}

// The 16 bytes the image holds for the row: its name entry as read, blanks put back.
std::array<std::uint8_t, menu::kNameEntrySize> imageNameEntry(const InspectedRom& rom) {
    std::array<std::uint8_t, menu::kNameEntrySize> entry{};
    entry.fill(menu::kNamePadding);
    std::copy_n(rom.name.begin(), std::min(rom.name.size(), entry.size()), entry.begin());
    return entry;
}

// Why a row that sits at a save place is listed without save memory, when that is what moves it.
std::string withoutSaveHint(const InspectedRom& rom, const ListEntry& entry) {
    if (!rom.saveBank || entry.save) {
        return "";
    }
    return " (it sits where a save ROM of bank " + std::to_string(*rom.saveBank) +
           " goes, but its header declares no battery, so it is listed without save memory)";
}

} // namespace

std::string listedName(const InspectedRom& rom) {
    std::string name = rom.name;
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            c = static_cast<char>(menu::kUnprintableName);
        }
    }
    return name;
}

ExtractionPlan planExtraction(const Inspection& inspection, const std::vector<std::string>& reserved) {
    std::vector<std::string> menuNames;
    for (const auto& rom : inspection.roms) {
        menuNames.push_back(rom.name);
    }
    ExtractionPlan plan;
    plan.files = romFileNames(menuNames, reserved);
    for (std::size_t row = 0; row < inspection.roms.size(); ++row) {
        const InspectedRom& rom = inspection.roms[row];
        const bool save = listedWithSave(rom);
        plan.list.entries.push_back(
            {plan.files[row], listedName(rom), save, {}, save ? rom.saveBank : std::nullopt, std::nullopt});
    }
    plan.warnings = rebuildDifferences(inspection.roms, plan.list);
    return plan;
}

std::vector<std::string> rebuildDifferences(const std::vector<InspectedRom>& roms, const RomList& list) {
    const std::string prefix =
        "a rebuild from " + inQuotes(kExtractedListName) + " does not give this image back: ";
    std::vector<std::string> differences;
    // Add ROM as opening the list does it, from an emptied table; `rowOf` maps each added row to its entry.
    TableState state;
    std::vector<std::size_t> rowOf;
    for (std::size_t r = 0; r < roms.size() && r < list.entries.size(); ++r) {
        const ListEntry& entry = list.entries[r];
        bool saveBox = saveBoxAllowed(state, entry.save);
        const std::string name = entry.name ? *entry.name : std::string();
        if (entry.bank) {
            saveBox = entry.save; // a kept bank is the ROM's own, whatever the counter says
        }
        if (auto refusal =
                addRomOfBlocks(state, name, entry.file, roms[r].blocks, saveBox, {entry.bank, {}})) {
            differences.push_back(prefix + rowLabel(r, roms[r]) + " is refused: " + refusal->message);
            continue;
        }
        rowOf.push_back(r);
    }
    placeEveryRomThatFits(state.table, state.blocks);

    for (std::size_t added = 0; added < rowOf.size(); ++added) {
        const std::size_t r = rowOf[added];
        const InspectedRom& rom = roms[r];
        const auto location = readNumberText(state.table.text(added, Column::Location));
        const int first = location ? static_cast<int>(*location) : 0;
        if (first != rom.first) {
            const std::string where =
                first == 0 ? "would find no place" : "would be placed at " + blockText(first);
            differences.push_back(prefix + rowLabel(r, rom) + " " + where + ", not at " +
                                  blockText(rom.first) + withoutSaveHint(rom, list.entries[r]));
        }
        const std::string& rebuiltName = state.table.text(added, Column::Name);
        const auto rebuiltEntry = nameEntry(rebuiltName);
        if (!std::equal(rebuiltEntry.begin(), rebuiltEntry.end(), imageNameEntry(rom).begin())) {
            differences.push_back(prefix + rowLabel(r, rom) + " would be named \"" +
                                  escapedName(rebuiltName) +
                                  "\", as Add ROM writes names (letters in upper case, '?' for other bytes)");
        }
    }
    return differences;
}

} // namespace romc
