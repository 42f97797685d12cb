// Where the names proposed for new rows come from: the file name, or the cartridge title of a ROM whose
// header the boot ROM accepts (File > "Names from Cartridge Titles"), a choice kept in the user's settings.
#include "form/window_model.h"
#include "lists/user_settings.h"

namespace romform {

void WindowModel::readSettings() {
    if (settingsFile_) {
        namesFrom_ = romc::readUserSettings(*settingsFile_).namesFrom;
    }
}

Reaction WindowModel::toggleNamesFromTitles() {
    namesFrom_ = namesFrom_ == romc::NamesFrom::FileNames ? romc::NamesFrom::CartridgeTitles
                                                          : romc::NamesFrom::FileNames;
    Reaction reaction;
    reaction.refresh.add(WindowPart::MenuBar);
    if (!settingsFile_) {
        return reaction;
    }
    // The choice holds for this run either way; only keeping it for the next ones failed.
    romc::UserSettings settings = romc::readUserSettings(*settingsFile_);
    settings.namesFrom = namesFrom_;
    if (auto refusal = romc::writeUserSettings(*settingsFile_, settings)) {
        reaction.message =
            Message{caption() + " - Names from Cartridge Titles",
                    refusal->message + "\nThe choice holds until the window closes.", Severity::Warning};
    }
    return reaction;
}

} // namespace romform
