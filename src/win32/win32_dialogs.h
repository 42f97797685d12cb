// The model's modal dialogs with Windows' own: the common item dialog for files and folders, a task dialog
// for questions, a message box for messages.
#pragma once

#include "form/modal_dialogs.h"

#include <windows.h>

namespace romwin {

class Win32Dialogs : public romform::ModalDialogs {
  public:
    // The dialogs are owned by `window`, set once it exists.
    void setOwner(HWND window) { owner_ = window; }

    std::vector<std::string> pickFiles(const romform::FileDialog& dialog) override;
    romform::Choice ask(const romform::Question& question) override;

  private:
    HWND owner_ = nullptr;
};

// "GB ROM(*.GB)" as it is; a description without its patterns gains them: "ROM lists (*.json)".
std::string filterText(const romform::FileFilter& filter);

void showMessage(HWND owner, const romform::Message& message);

} // namespace romwin
