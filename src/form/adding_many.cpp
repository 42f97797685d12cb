// Adding many ROMs at once: "Add ROMs..." with a multiple selection, files dropped on the window, and the
// keys that act as the buttons do (Enter adds, Delete removes).
#include "files/utf8_path.h"
#include "files/work_folder.h"
#include "form/window_model.h"
#include "romtable/add_rom.h"
#include "romtable/rom_file.h"
#include "romtable/rom_name.h"

namespace romform {

namespace {

constexpr const char* kAddRomsAction = "Add ROMs";

} // namespace

Reaction WindowModel::addRoms() {
    FileDialog dialog = romFileDialog(romc::pathToUtf8(workFolder_));
    dialog.pick = FilePick::SeveralToOpen;
    dialog.title = "Select Files";
    const auto chosen = dialogs_->pickFiles(dialog);
    if (chosen.empty()) {
        return {};
    }
    return addRomFiles(chosen);
}

bool WindowModel::isWorkFolderFile(const std::string& file) const {
    auto& disk = romc::systemDisk();
    const auto opened = disk.openForReading(romc::resolveRomPath(workFolder_, file));
    return opened.value && romc::workFolderFileOf(disk, workFolder_, opened.value->identity());
}

Reaction WindowModel::addRomFiles(const std::vector<std::string>& picked) {
    const std::vector<std::string> files = romsOfFiles(picked);
    std::string refused;
    std::size_t refusedCount = 0;
    std::size_t leftOut = 0;
    std::size_t added = 0;
    for (const auto& file : files) {
        // Each file as "Find File" and "Add ROM" would take it: the name proposed from the file name or
        // its cartridge title, "Save?" from its header.
        proposeSaveBox(file);
        bool saveBox = saveBox_;
        if (auto refusal = romc::addRom(
                state_, {romc::proposeMenuName(file, workFolder_, namesFrom_), file, workFolder_}, saveBox)) {
            // Among several files (a whole folder chosen or dropped), "Menu.GB" and the outputs are the
            // work folder's own, not games: left out rather than refused one by one. Alone, Add ROM says
            // why not.
            if (files.size() > 1 && isWorkFolderFile(file)) {
                ++leftOut;
                continue;
            }
            refused += "\n" + refusal->message;
            ++refusedCount;
            continue;
        }
        saveBox_ = saveBox;
        ++added;
    }
    Reaction reaction;
    if (added > 0) {
        buttons_ = buttonsForBoxes(); // nothing was put in the boxes: "Add ROM" waits as before
        reaction = tableChanged(Refresh::everything());
    }
    if (refusedCount > 0) {
        reaction.message = Message{
            caption() + " - " + kAddRomsAction,
            std::to_string(refusedCount) + " of the " + std::to_string(files.size() - leftOut) +
                " files cannot be added; the other " + std::to_string(added) + " are in the table:" + refused,
            Severity::Warning};
    }
    return reaction;
}

Reaction WindowModel::filesDropped(const std::vector<std::string>& files) {
    if (files.size() == 1 && !holdsSeveralRoms(files.front())) {
        // One file is taken as "Find File" takes a chosen one: the user checks the name and adds it.
        heldRomFile_ = files.front();
        return takeHeldRomFile();
    }
    if (files.empty()) {
        return failure(kAddRomsAction, "Nothing to add: no files were dropped", Severity::Information);
    }
    return addRomFiles(files);
}

Reaction WindowModel::enterPressed(ControlId box) {
    if ((box != ControlId::Text1 && box != ControlId::Text2) || !enabled(ControlId::Command2)) {
        return {};
    }
    return addRom();
}

Reaction WindowModel::deletePressed(ControlId list) {
    // Remove ROM takes the row chosen in the name column, which selects the whole row.
    if (!columnOf(list) || selectedRow(ControlId::List1) == romc::kNoRowSelected) {
        return {};
    }
    return removeRom();
}

} // namespace romform
