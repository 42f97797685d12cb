// The menu bar: File with the list commands and Quit, Help with About. A later menu or item is one entry
// here and one case in menuCommand().
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "version.h"

namespace romform {

MenuBar WindowModel::menuBar() const {
    using enum MenuCommand;
    Menu file{"File",
              {
                  {OpenList, "Open List...", "Ctrl+O"},
                  {SaveList, "Save List", "Ctrl+S"},
                  {SaveListAs, "Save List As...", "Ctrl+Shift+S"},
                  {ImportImage, "Import Image...", ""},
              }};
    MenuItem workFolder{WorkFolder, "Work Folder...", ""};
    workFolder.separatorBefore = true;
    file.items.push_back(workFolder);
    MenuItem quit{Quit, "Quit", "Ctrl+Q"};
    quit.separatorBefore = true;
    file.items.push_back(quit);
    Menu help{"Help", {{About, "About", ""}}};
    return {{file, help}};
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
    case MenuCommand::ImportImage:
        return importImage();
    case MenuCommand::Quit: {
        Reaction reaction;
        reaction.closeWindow = requestClose();
        return reaction;
    }
    case MenuCommand::About:
        return about();
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
