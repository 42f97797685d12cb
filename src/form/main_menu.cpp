// The menu bar: File with the list commands, the lists used lately, importing an image and Quit, Edit with
// the order of the rows and Undo, View with
// the flash map, Help with About. A later menu or item is one entry here and one case in menuCommand().
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "lists/recent_lists.h"
#include "version.h"

#include <algorithm>

namespace romform {

namespace {

static_assert(static_cast<std::size_t>(MenuCommand::RecentList5) -
                      static_cast<std::size_t>(MenuCommand::RecentList1) + 1 ==
                  romc::kRecentListCount,
              "one command for every recent list the menu shows");

MenuCommand recentListCommand(std::size_t index) {
    return static_cast<MenuCommand>(static_cast<int>(MenuCommand::RecentList1) + static_cast<int>(index));
}

// "1 games.json"; the whole path when another recent list has the same file name, in the system's
// spelling (a list named on the command line as "C:/games/a.json" shows as "C:\games\a.json" there).
std::string recentListCaption(const std::vector<std::filesystem::path>& recent, std::size_t index) {
    std::filesystem::path list = recent[index];
    list.make_preferred();
    const bool nameShared = std::count_if(recent.begin(), recent.end(), [&](const auto& other) {
                                return other.filename() == list.filename();
                            }) > 1;
    return std::to_string(index + 1) + " " + romc::pathToUtf8(nameShared ? list : list.filename());
}

} // namespace

MenuBar WindowModel::menuBar() const {
    using enum MenuCommand;
    MenuItem addRoms{AddRoms, "Add ROMs...", "Ctrl+Shift+A"};
    MenuItem titles{NamesFromTitles, "Names from Cartridge Titles", ""};
    titles.checkable = true;
    titles.checked = namesFrom_ == romc::NamesFrom::CartridgeTitles;
    MenuItem openList{OpenList, "Open List...", "Ctrl+O"};
    openList.separatorBefore = true;
    Menu file{"File",
              {
                  addRoms,
                  titles,
                  openList,
                  {SaveList, "Save List", "Ctrl+S"},
                  {SaveListAs, "Save List As...", "Ctrl+Shift+S"},
                  {ImportImage, "Import Image...", "Ctrl+I"},
              }};
    for (const MenuItem& item : saveMenuItems()) {
        file.items.push_back(item);
    }
    for (std::size_t i = 0; i < recentLists_.size(); ++i) {
        MenuItem recent{recentListCommand(i), recentListCaption(recentLists_, i),
                        "Ctrl+" + std::to_string(i + 1)};
        recent.separatorBefore = i == 0;
        file.items.push_back(recent);
    }
    MenuItem workFolder{WorkFolder, "Work Folder...", "Ctrl+Shift+F"};
    workFolder.separatorBefore = true;
    file.items.push_back(workFolder);
    MenuItem leftover{RemoveLeftoverPieces, "Remove Left-over Pieces...", "Ctrl+Shift+R"};
    leftover.enabled = leftoverPiecesRemovable();
    file.items.push_back(leftover);
    MenuItem quit{Quit, "Quit", "Ctrl+Q"};
    quit.separatorBefore = true;
    file.items.push_back(quit);
    // F2 renames, as in file managers: the map takes M.
    MenuItem flashMap{FlashMap, "Flash Map", "Ctrl+M"};
    flashMap.checkable = true;
    flashMap.checked = flashViewOpen_;
    Menu view{"View", {flashMap}};
    Menu help{"Help", {{About, "About", "F1"}}};
    MenuBar bar{{file, editMenu(), view, help}};
    assignAccessKeys(bar);
    return bar;
}

Reaction WindowModel::menuCommand(MenuCommand command) {
    switch (command) {
    case MenuCommand::OpenList:
        return openList();
    case MenuCommand::SaveList:
        return saveList();
    case MenuCommand::SaveListAs:
        return saveListAs();
    case MenuCommand::WorkFolder:
        return chooseWorkFolder();
    case MenuCommand::AddRoms:
        return addRoms();
    case MenuCommand::NamesFromTitles:
        return toggleNamesFromTitles();
    case MenuCommand::Rename:
        return renameRequested(selectedRow(ControlId::List1));
    case MenuCommand::Undo:
        return undo();
    case MenuCommand::MoveUp:
        return moveRow(romc::RowMove::Up);
    case MenuCommand::MoveDown:
        return moveRow(romc::RowMove::Down);
    case MenuCommand::MoveToTop:
        return moveRow(romc::RowMove::Top);
    case MenuCommand::MoveToBottom:
        return moveRow(romc::RowMove::Bottom);
    case MenuCommand::SortByName:
        return sortRowsByName();
    case MenuCommand::ImportImage:
        return importImage();
    case MenuCommand::WriteSaveMemory:
        return writeSaveMemory();
    case MenuCommand::SplitSaveDump:
        return splitSaveDump();
    case MenuCommand::CompactSaveBanks:
        return compactSaveBanks();
    case MenuCommand::SaveMemory:
        return toggleSaveMemory();
    case MenuCommand::Quit:
        return requestClose();
    case MenuCommand::RemoveLeftoverPieces:
        return removeLeftoverPieces();
    case MenuCommand::FlashMap:
        return toggleFlashView();
    case MenuCommand::About:
        return about();
    default:
        break;
    }
    const int recent = static_cast<int>(command) - static_cast<int>(MenuCommand::RecentList1);
    if (recent >= 0 && recent < static_cast<int>(romc::kRecentListCount)) {
        return openRecentList(static_cast<std::size_t>(recent));
    }
    return {};
}

Reaction WindowModel::about() const {
    Reaction reaction;
    reaction.message =
        Message{caption() + " - About", std::string(kWindowCaption) + "\nVersion " + romc::kVersion,
                Severity::Information};
    return reaction;
}

std::string WindowModel::caption() const {
    if (listFile_.empty()) {
        return kWindowCaption;
    }
    return romc::pathToUtf8(listFile_.filename()) + (listModified_ ? "*" : "") + " - " + kWindowCaption;
}

} // namespace romform
