#include "hardening/reference_model.h"

#include <algorithm>

namespace romc::hardening {

namespace {

int wholeBlocksOf(std::uintmax_t bytes) {
    const std::uintmax_t blocks = bytes / kBlock;
    return blocks > 100000 ? 100000 : static_cast<int>(blocks);
}

void refresh(Model& model) {
    const std::size_t n = model.rows.size();
    model.romCountText = std::to_string(n);
    model.pagesText = n == 0 ? "0" : std::to_string((n - 1) / 10 + 1);
}

// First fit with natural alignment over the model's own block map.
int firstFit(const std::array<int, 1024>& blocks, int size) {
    for (int start = 0; start + size <= 1024; start += size) {
        bool free = true;
        for (int b = start; b < start + size; ++b) {
            free = free && blocks[static_cast<std::size_t>(b)] == 0;
        }
        if (free) {
            return start;
        }
    }
    return -1;
}

int largestFit(const std::array<int, 1024>& blocks) {
    for (int size = 256; size > 0; --size) {
        if (firstFit(blocks, size) >= 0) {
            return size;
        }
    }
    return 0;
}

std::string rowText(const ModelRow& row, Column column) {
    switch (column) {
    case Column::Name:
        return modelName(row.name);
    case Column::File:
        return row.path;
    case Column::Size:
        return std::to_string(row.blocks);
    case Column::SaveFlag:
        return row.save ? "Y" : "N";
    case Column::SaveBank:
        return row.save ? " " + std::to_string(row.bank) : "N/A";
    case Column::Location:
        return std::to_string(row.location);
    case Column::Complement:
        return std::to_string(row.blocks == 256 ? 192 : 256 - row.blocks);
    }
    return {};
}

// A ROM without save memory placed by a compilation owns its blocks; giving them back frees them and
// returns its location to 0.
void giveBack(Model& model, ModelRow& row) {
    if (row.save || row.location == 0) {
        return;
    }
    for (int b = row.location; b < row.location + row.blocks; ++b) {
        model.blocks[static_cast<std::size_t>(b)] = 0;
    }
    row.location = 0;
}

} // namespace

std::string modelName(std::string_view typed) {
    std::string name(typed);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return name;
}

void modelSetSaveBox(Model& model, bool ticked) {
    model.saveBox = ticked && model.nextSaveBank <= 15;
}

bool modelAdd(Model& model, std::string_view name, std::string_view path, FileFacts file) {
    // The menu lists 255 ROMs at most.
    if (file.kind != PathKind::Regular || model.rows.size() >= 255) {
        return false;
    }
    const int s = wholeBlocksOf(file.bytes);
    if (s < 1 || s > 256) {
        return false;
    }
    ModelRow row{std::string(name), std::string(path), s, false, 0, 0};
    // An 8 MiB ROM never has save memory, and no ROM has it once bank 15 is handed out.
    const bool save = model.saveBox && s != 256 && model.nextSaveBank <= 15;
    if (save) {
        int bank = model.nextSaveBank;
        int location = 0;
        if (bank == 0 && s < 64) {
            location = s;
        } else {
            bank = std::max(bank, 1);
            location = bank * 64;
        }
        if (location + s - 1 > 1023) {
            return false;
        }
        row.save = true;
        row.bank = bank;
        row.location = location;
        // ROMs that a compilation placed where this save ROM now sits are placed anew next time.
        for (auto& other : model.rows) {
            if (!other.save && other.location != 0 && other.location < location + s &&
                location < other.location + other.blocks) {
                giveBack(model, other);
            }
        }
        for (int b = location; b < location + s; ++b) {
            model.blocks[static_cast<std::size_t>(b)] = 1;
        }
        // The regions this ROM reaches into are not handed out again.
        model.nextSaveBank = std::max(bank + 1, (location + s + 63) / 64);
    }
    model.saveBox = save && model.nextSaveBank <= 15;
    model.rows.push_back(row);
    refresh(model);
    return true;
}

void modelSelect(Model& model, Column column, int row) {
    const bool isRow = row >= 0 && static_cast<std::size_t>(row) < model.rows.size();
    if (column == Column::Name) {
        model.selected.fill(isRow ? row : -1);
    } else {
        model.selected[static_cast<std::size_t>(column)] = isRow ? row : -1;
    }
}

bool modelRemove(Model& model) {
    const int row = model.selected[0];
    if (row < 0 || static_cast<std::size_t>(row) >= model.rows.size()) {
        return false;
    }
    giveBack(model, model.rows[static_cast<std::size_t>(row)]);
    model.rows.erase(model.rows.begin() + row);
    model.selected.fill(-1);
    refresh(model);
    return true;
}

void modelClear(Model& model) {
    model.rows.clear();
    model.blocks.fill(0);
    model.blocks[0] = 1;
    model.nextSaveBank = 0;
    model.selected.fill(-1);
    model.compiled = false;
    refresh(model);
}

std::vector<std::string> modelCompile(Model& model, const CompileFacts& facts) {
    if (model.rows.empty()) {
        return {"nothing to compile"};
    }
    std::vector<std::string> causes;
    Model placed = model;
    for (auto& row : placed.rows) {
        giveBack(placed, row);
    }
    std::vector<ModelRow> rows = placed.rows;
    std::array<int, 1024> blocks = placed.blocks;
    std::vector<std::string> misfits;
    for (auto& row : rows) {
        if (row.save) {
            continue;
        }
        const int start = firstFit(blocks, row.blocks);
        if (start < 0) {
            // One ROM that does not fit is named with the space left; several are each named.
            misfits.push_back("\"" + modelName(row.name) + "\" (" + row.path + ") (" +
                              std::to_string(row.blocks) + " blocks)");
            if (misfits.size() == 1) {
                causes.push_back(misfits.back() +
                                 " does not fit in the flash: the largest free aligned space is " +
                                 std::to_string(largestFit(blocks)) + " blocks");
            }
            continue;
        }
        row.location = start;
        for (int b = start; b < start + row.blocks; ++b) {
            blocks[static_cast<std::size_t>(b)] = 1;
        }
    }
    if (misfits.size() > 1) {
        causes = misfits;
    }
    if (rows.size() > 255) {
        causes.emplace_back("\"Number of ROMS\" box holds \"" + std::to_string(rows.size()) + "\"");
    }
    if (!facts.menuUsable) {
        causes.emplace_back("\"Menu.GB\"");
    }
    if (!facts.outputFolder.empty()) {
        // The image reaches as far as the furthest placed ROM and the last taken block.
        std::uintmax_t imageBytes = facts.menuBytes;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (blocks[b] == 1) {
                imageBytes = std::max<std::uintmax_t>(imageBytes, (b + 1) * std::uintmax_t{32768});
            }
        }
        for (const auto& row : rows) {
            if (row.location != 0) {
                imageBytes =
                    std::max<std::uintmax_t>(imageBytes, std::uintmax_t(row.location + row.blocks) * 32768);
            }
        }
        int pieces = 1;
        while (pieces < 4 && imageBytes > std::uintmax_t(pieces) * 8388608) {
            ++pieces;
        }
        bool reached = facts.outputFolder == "Output.GB";
        for (int k = 1; k <= pieces; ++k) {
            reached = reached || facts.outputFolder == "Output" + std::to_string(k) + ".GB";
        }
        if (reached) {
            causes.emplace_back("a folder of that name is in the way");
        }
    }
    for (const auto& row : rows) {
        if (row.location == 0) {
            continue;
        }
        const FileFacts file = facts.file(row.path);
        if (file.kind != PathKind::Regular || wholeBlocksOf(file.bytes) != row.blocks) {
            causes.push_back("\"" + row.path + "\"");
        }
    }
    if (causes.empty()) {
        model.rows = std::move(rows);
        model.blocks = blocks;
        model.compiled = true;
    }
    return causes;
}

std::string modelDifference(const Model& model, const TableState& state, bool saveBox) {
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        const auto& column = state.table.columns[c];
        if (column.size() != model.rows.size()) {
            return "column " + std::to_string(c + 1) + " has " + std::to_string(column.size()) +
                   " rows, expected " + std::to_string(model.rows.size());
        }
        for (std::size_t r = 0; r < model.rows.size(); ++r) {
            const std::string expected = rowText(model.rows[r], static_cast<Column>(c));
            if (column[r] != expected) {
                return "row " + std::to_string(r) + " column " + std::to_string(c + 1) + " holds \"" +
                       column[r] + "\", expected \"" + expected + "\"";
            }
        }
    }
    for (std::size_t b = 0; b < model.blocks.size(); ++b) {
        if (state.blocks[b] != model.blocks[b]) {
            return "block map entry " + std::to_string(b) + " is " + std::to_string(state.blocks[b]) +
                   ", expected " + std::to_string(model.blocks[b]);
        }
    }
    if (state.nextSaveBank != model.nextSaveBank) {
        return "NextSaveBank is " + std::to_string(state.nextSaveBank) + ", expected " +
               std::to_string(model.nextSaveBank);
    }
    if (state.romCountText != model.romCountText || state.pagesText != model.pagesText) {
        return "counter boxes hold \"" + state.romCountText + "\"/\"" + state.pagesText + "\", expected \"" +
               model.romCountText + "\"/\"" + model.pagesText + "\"";
    }
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (state.selectedRow[c] != model.selected[c]) {
            return "column " + std::to_string(c + 1) + " selects row " +
                   std::to_string(state.selectedRow[c]) + ", expected " + std::to_string(model.selected[c]);
        }
    }
    if (saveBox != model.saveBox) {
        return std::string("the \"Save?\" box is ") + (saveBox ? "ticked" : "unticked") +
               ", expected the opposite";
    }
    return {};
}

} // namespace romc::hardening
