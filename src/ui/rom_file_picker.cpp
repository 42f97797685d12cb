#include "ui/rom_file_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace romui {

DialogRomFilePicker::DialogRomFilePicker(QWidget* window) : CommonDialog1(new QFileDialog(window)) {
    CommonDialog1->setObjectName("CommonDialog1");
    // Qt's own dialog on every desktop, so that the ROM filter matches names in any letter case: ROM files
    // are as often called "tetris.gb" as "TETRIS.GB".
    CommonDialog1->setOption(QFileDialog::DontUseNativeDialog);
    CommonDialog1->setFilter(CommonDialog1->filter() & ~QDir::CaseSensitive);
    CommonDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    CommonDialog1->setFileMode(QFileDialog::ExistingFile);
}

QString DialogRomFilePicker::pickRomFile() {
    // Set before every showing, in this order; the ROM filter is the one in force when the dialog opens.
    CommonDialog1->setNameFilters({kRomFilter, kAnyFileFilter});
    CommonDialog1->selectNameFilter(kRomFilter);
    CommonDialog1->setDefaultSuffix(kRomSuffix);
    CommonDialog1->setWindowTitle(kPickerTitle);
    if (!fileName_.isEmpty()) {
        CommonDialog1->selectFile(fileName_);
    }
    if (CommonDialog1->exec() == QDialog::Accepted) {
        const QStringList chosen = CommonDialog1->selectedFiles();
        if (!chosen.isEmpty()) {
            fileName_ = chosen.constFirst();
        }
    }
    // A cancelled dialog still holds the file name of its last use.
    return fileName_;
}

} // namespace romui
