// Opening a ROM list: Add ROM for each entry in order, as a person would with the name box, the path box
// and the "Save?" box. The result carries the table with the entries that were accepted, the entries Add ROM
// refused and the warnings, so that the caller applies the new table or keeps its own: the command line
// refuses a list with any refused entry, the window asks whether to add the others.
#pragma once

#include "lists/rom_list.h"
#include "romtable/failure.h"
#include "romtable/table_state.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace romc {

// Where a list's entries are taken from.
struct ListSource {
    std::filesystem::path folder;  // the list's folder, as the table's paths name it (see listedPathText)
    std::filesystem::path workDir; // where Add ROM takes relative paths from
    std::string shown;             // the list as the user named it, for messages
};

struct RefusedEntry {
    std::size_t entry; // 1 for the list's first entry
    Failure reason;    // what Add ROM said, naming the file
};

struct ListReplay {
    TableState state;                  // the start, with every entry that Add ROM accepted
    bool saveBox = false;              // the "Save?" box as the last entry left it (unticked for no entry)
    std::size_t entries = 0;           // entries in the list
    std::vector<RefusedEntry> refused; // in list order; empty when every entry was added
    std::vector<std::string> warnings; // keys ignored, and each entry that asked for save memory and got none
    // Kept banks that cannot all hold (the same bank twice, a ROM over another's regions, a bank its ROM
    // cannot lie in): the list is refused whole, with this message naming the entries.
    Refusal bankClash;

    std::size_t added() const { return entries - refused.size(); }
};

// Adds the list's entries to a copy of `start`. The entries that keep a bank take it first, whatever their
// order; the other save ROMs then get banks after the highest taken, and the rows stand in list order. A
// refused entry is left out and the next one is added as if it had not been there, so that `state` is what
// adding the others gives.
ListReplay replayRomList(const TableState& start, const RomList& list, const ListSource& source);

// Opening a list in the window: Clear List on a copy of `current`, then every entry.
ListReplay openRomList(const TableState& current, const RomList& list, const ListSource& source);

// One message that names every refused entry with its reason, one per line after a first line that counts
// them, for a message box or stderr.
std::string refusedEntriesMessage(const ListReplay& replay, const ListSource& source);

} // namespace romc
