// "Find File" asks this for the next ROM file. The window's own picker shows the open-file dialog
// `CommonDialog1`; tests give a path instead of showing a modal dialog.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace romui {

class RomFilePicker {
  public:
    virtual ~RomFilePicker() = default;

    // Lets the user choose a file and returns the file name the picker then holds: the file chosen now, the
    // one chosen at an earlier use when this one was cancelled, or "" when no file was ever chosen.
    virtual QString pickRomFile() = 0;
};

inline constexpr const char* kRomFilter = "GB ROM(*.GB)";
inline constexpr const char* kAnyFileFilter = "All Files(*.*)";
inline constexpr const char* kRomSuffix = "GB";
inline constexpr const char* kPickerTitle = "Select File";

// The open-file dialog. It belongs to the window and lives as long as it, so it keeps the folder and the
// file name of its last use.
class DialogRomFilePicker : public RomFilePicker {
  public:
    explicit DialogRomFilePicker(QWidget* window);

    QString pickRomFile() override;

    QFileDialog* dialog() const { return CommonDialog1; }

  private:
    QFileDialog* CommonDialog1;
    QString fileName_;
};

} // namespace romui
