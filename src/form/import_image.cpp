// File > "Import Image...": the ROMs of a flash image taken out into a folder with their list, which is then
// opened as "Open List..." opens one, so that the user can add or remove games and compile again.
#include "files/utf8_path.h"
#include "form/window_model.h"
#include "inspect/extraction.h"
#include "romtable/failure.h"

namespace romform {

namespace {

constexpr const char* kImportAction = "Import Image";

FileDialog imageDialog(const std::filesystem::path& workFolder) {
    FileDialog dialog;
    dialog.startFolder = romc::pathToUtf8(workFolder);
    dialog.pick = FilePick::OneToOpen;
    dialog.title = kImportAction;
    dialog.filters = {{"Flash images (*.GB *.gb)", {"*.GB", "*.gb"}}, {"All Files(*.*)", {"*.*"}}};
    dialog.defaultSuffix = "GB";
    return dialog;
}

std::string namesText(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : ", ") + romc::inQuotes(name);
    }
    return text;
}

} // namespace

Reaction WindowModel::importImage() {
    // Unsaved changes are settled before any dialog: the imported list replaces the table.
    Reaction reaction;
    if (!unsavedChangesSettled(reaction)) {
        return reaction;
    }
    const auto image = dialogs_->pickFiles(imageDialog(workFolder_));
    if (image.empty()) {
        return reaction;
    }
    const std::filesystem::path imagePath = romc::pathFromUtf8(image.front());
    const auto opened = romc::ImageFile::open(imagePath);
    if (!opened.ok()) {
        return failure(kImportAction, opened.failure().message, Severity::Error);
    }
    const auto inspected = romc::inspectImage(opened.value());
    if (!inspected.ok()) {
        return failure(kImportAction, inspected.failure().message, Severity::Error);
    }
    const romc::Inspection& inspection = inspected.value();
    const std::string shownImage = romc::inQuotes(opened.value().parts().front().shown);
    if (!inspection.problems.empty()) {
        std::string text = shownImage + " is not an image this tool could have written:";
        for (const auto& problem : inspection.problems) {
            text += "\n" + problem;
        }
        return failure(kImportAction, text, Severity::Error);
    }

    FileDialog folderDialog;
    folderDialog.pick = FilePick::Folder;
    folderDialog.title = std::string(kImportAction) + " - Folder for the ROMs of " + shownImage;
    folderDialog.startPath = romc::pathToUtf8(imagePath.parent_path());
    const auto folder = dialogs_->pickFiles(folderDialog);
    if (folder.empty()) {
        return reaction;
    }
    const auto askToReplace = [this, &folder](const std::vector<std::string>& names) {
        Question question;
        question.title = caption() + " - " + kImportAction;
        question.text = "The folder " + romc::inQuotes(folder.front()) + " already holds " +
                        namesText(names) + ".\n\nReplace " + (names.size() == 1 ? "it" : "them") + "?";
        question.choices = {Choice::Yes, Choice::No};
        question.defaultChoice = Choice::No;
        question.escapeChoice = Choice::No;
        return dialogs_->ask(question) == Choice::Yes;
    };
    const auto extracted =
        romc::extractImage(opened.value(), inspection, {romc::pathFromUtf8(folder.front()), askToReplace});
    if (!extracted.ok()) {
        return failure(kImportAction, extracted.failure().message, Severity::Error);
    }
    if (extracted.value().declined) {
        return reaction;
    }
    // The folder of the extracted games holds no "Menu.GB": the next compilation stays where the template
    // and the earlier outputs are, so an imported list does not move the work folder.
    const bool chosenBefore = workFolderChosen_;
    workFolderChosen_ = true;
    Reaction shown = openListFile(extracted.value().list);
    workFolderChosen_ = chosenBefore;
    // What a rebuild would not give back is said after the list is open, with any warning of opening it.
    const auto& warnings = extracted.value().warnings;
    if (!warnings.empty() && (!shown.message || shown.message->severity == Severity::Warning)) {
        std::string text;
        for (const auto& warning : warnings) {
            text += (text.empty() ? "" : "\n") + warning;
        }
        if (shown.message) {
            text += "\n" + shown.message->text;
        }
        shown.message = Message{caption() + " - " + kImportAction, text, Severity::Warning};
    }
    return shown;
}

} // namespace romform
