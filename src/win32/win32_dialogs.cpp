#include "win32/win32_dialogs.h"

#include "win32/wide_text.h"

#include <commctrl.h>
#include <filesystem>
#include <shobjidl.h>

namespace romwin {

namespace {

using romform::Choice;
using romform::FilePick;

// Task dialog buttons: the choice's number past the system's own button IDs.
constexpr int kFirstChoiceButton = 100;

UINT messageIcon(romform::Severity severity) {
    switch (severity) {
    case romform::Severity::Information:
        return MB_ICONINFORMATION;
    case romform::Severity::Warning:
        return MB_ICONWARNING;
    case romform::Severity::Error:
        return MB_ICONERROR;
    }
    return 0;
}

PCWSTR taskIcon(romform::Severity severity) {
    switch (severity) {
    case romform::Severity::Information:
        return TD_INFORMATION_ICON;
    case romform::Severity::Warning:
        return TD_WARNING_ICON;
    case romform::Severity::Error:
        return TD_ERROR_ICON;
    }
    return nullptr;
}

const wchar_t* choiceText(Choice choice) {
    switch (choice) {
    case Choice::Ok:
        return L"OK";
    case Choice::Yes:
        return L"&Yes";
    case Choice::No:
        return L"&No";
    case Choice::Save:
        return L"&Save";
    case Choice::Discard:
        return L"&Discard";
    case Choice::Cancel:
        return L"Cancel";
    }
    return L"";
}

// Releases a COM object when the scope ends.
template <class T> struct Com {
    T* object = nullptr;
    ~Com() {
        if (object != nullptr) {
            object->Release();
        }
    }
    T* operator->() const { return object; }
};

std::string pathOf(IShellItem* item) {
    PWSTR name = nullptr;
    std::string path;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &name)) && name != nullptr) {
        path = utf8(name);
    }
    CoTaskMemFree(name);
    return path;
}

// The dialog opens in `startFolder` with no name of an earlier use in its name box; a proposed file (a save
// dialog's list) opens in its own folder with its name there, and a folder to pick is shown chosen.
void showStart(IFileDialog* dialog, const romform::FileDialog& wanted) {
    std::filesystem::path folder;
    std::wstring name;
    if (!wanted.startPath.empty()) {
        const std::filesystem::path start(wide(wanted.startPath));
        folder = wanted.pick == FilePick::Folder ? start : start.parent_path();
        if (wanted.pick != FilePick::Folder) {
            name = start.filename().wstring();
        }
    }
    if (folder.empty() && !wanted.startFolder.empty()) {
        folder = std::filesystem::path(wide(wanted.startFolder));
    }
    // Windows' "\" separators: a path of a list read on Linux may have "/".
    folder.make_preferred();
    Com<IShellItem> item;
    if (!folder.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&item.object))) &&
        item.object != nullptr) {
        (void)dialog->SetFolder(item.object); // else the system's folder: still a dialog to use
    }
    // Always set, so that a dialog shown again never keeps what its last use typed.
    (void)dialog->SetFileName(name.c_str());
}

// The open dialog's own interface, asked of the object: the IFileDialog pointer is not one (wine keeps
// the two apart, so a cast would call another method through the wrong table).
std::vector<std::string> severalChosen(IFileDialog* dialog) {
    std::vector<std::string> chosen;
    Com<IFileOpenDialog> open;
    if (FAILED(dialog->QueryInterface(IID_PPV_ARGS(&open.object))) || open.object == nullptr) {
        return chosen;
    }
    Com<IShellItemArray> items;
    if (FAILED(open->GetResults(&items.object)) || items.object == nullptr) {
        return chosen;
    }
    DWORD count = 0;
    if (FAILED(items->GetCount(&count))) {
        return chosen;
    }
    for (DWORD i = 0; i < count; ++i) {
        Com<IShellItem> item;
        if (SUCCEEDED(items->GetItemAt(i, &item.object)) && item.object != nullptr) {
            if (std::string path = pathOf(item.object); !path.empty()) {
                chosen.push_back(std::move(path));
            }
        }
    }
    return chosen;
}

// The window is active again when its dialog closes, so that the next click acts at once: wine without a
// window manager left no window active, and a first click only activated it.
void takeBackActivation(HWND owner) {
    if (owner != nullptr && IsWindow(owner) != FALSE) {
        SetForegroundWindow(owner);
    }
}

std::vector<std::string> chosenPaths(IFileDialog* dialog, FilePick pick) {
    if (pick == FilePick::SeveralToOpen) {
        return severalChosen(dialog);
    }
    std::vector<std::string> chosen;
    Com<IShellItem> item;
    if (SUCCEEDED(dialog->GetResult(&item.object)) && item.object != nullptr) {
        if (std::string path = pathOf(item.object); !path.empty()) {
            chosen.push_back(std::move(path));
        }
    }
    return chosen;
}

} // namespace

std::string filterText(const romform::FileFilter& filter) {
    if (filter.description.find('(') != std::string::npos) {
        return filter.description;
    }
    std::string patterns;
    for (const auto& pattern : filter.patterns) {
        patterns += (patterns.empty() ? "" : " ") + pattern;
    }
    return filter.description + " (" + patterns + ")";
}

std::vector<std::string> Win32Dialogs::pickFiles(const romform::FileDialog& dialog) {
    Com<IFileDialog> shown;
    const CLSID kind = dialog.pick == FilePick::OneToSave ? CLSID_FileSaveDialog : CLSID_FileOpenDialog;
    if (FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shown.object))) ||
        shown.object == nullptr) {
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(shown->GetOptions(&options))) {
        options = 0;
    }
    options |= FOS_FORCEFILESYSTEM;
    switch (dialog.pick) {
    case FilePick::OneToOpen:
        options |= FOS_FILEMUSTEXIST;
        break;
    case FilePick::SeveralToOpen:
        options |= FOS_FILEMUSTEXIST | FOS_ALLOWMULTISELECT;
        break;
    case FilePick::OneToSave:
        options |= FOS_OVERWRITEPROMPT;
        break;
    case FilePick::Folder:
        options |= FOS_PICKFOLDERS;
        break;
    }
    // Without its options the dialog would pick the wrong kind of thing (one file for several, a file for
    // a folder): not shown at all then.
    if (FAILED(shown->SetOptions(options))) {
        return {};
    }

    // The type list: each description with its patterns joined by ";", the first in force.
    std::vector<std::wstring> texts;
    std::vector<std::wstring> patterns;
    for (const auto& filter : dialog.filters) {
        texts.push_back(wide(filterText(filter)));
        std::wstring joined;
        for (const auto& pattern : filter.patterns) {
            joined += (joined.empty() ? L"" : L";") + wide(pattern);
        }
        patterns.push_back(joined);
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        specs.push_back(COMDLG_FILTERSPEC{texts[i].c_str(), patterns[i].c_str()});
    }
    if (!specs.empty() && dialog.pick != FilePick::Folder) {
        // The type list, the default suffix and the title only help: the dialog works without them.
        if (SUCCEEDED(shown->SetFileTypes(static_cast<UINT>(specs.size()), specs.data()))) {
            (void)shown->SetFileTypeIndex(1);
        }
    }
    if (!dialog.defaultSuffix.empty()) {
        (void)shown->SetDefaultExtension(wide(dialog.defaultSuffix).c_str());
    }
    (void)shown->SetTitle(wide(dialog.title).c_str());
    showStart(shown.object, dialog);
    const HRESULT answered = shown->Show(owner_);
    takeBackActivation(owner_);
    if (FAILED(answered)) {
        return {};
    }
    return chosenPaths(shown.object, dialog.pick);
}

Choice Win32Dialogs::ask(const romform::Question& question) {
    std::vector<TASKDIALOG_BUTTON> buttons;
    for (Choice choice : question.choices) {
        buttons.push_back(
            TASKDIALOG_BUTTON{kFirstChoiceButton + static_cast<int>(choice), choiceText(choice)});
    }
    const std::wstring title = wide(question.title);
    const std::wstring text = wide(question.text);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner_;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = taskIcon(question.severity);
    config.pszContent = text.c_str();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.data();
    config.nDefaultButton = kFirstChoiceButton + static_cast<int>(question.defaultChoice);
    int pressed = IDCANCEL;
    const HRESULT answered = TaskDialogIndirect(&config, &pressed, nullptr, nullptr);
    takeBackActivation(owner_);
    if (FAILED(answered)) {
        return question.escapeChoice;
    }
    for (Choice choice : question.choices) {
        if (pressed == kFirstChoiceButton + static_cast<int>(choice)) {
            return choice;
        }
    }
    // Escape or the close box.
    return question.escapeChoice;
}

void showMessage(HWND owner, const romform::Message& message) {
    MessageBoxW(owner, wide(message.text).c_str(), wide(message.title).c_str(),
                MB_OK | messageIcon(message.severity));
}

} // namespace romwin
