#include "ui/qt_dialogs.h"

#include "ui/qt_text.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QStringList>

namespace romui {

namespace {

using romform::Choice;

QMessageBox::Icon iconOf(romform::Severity severity) {
    switch (severity) {
    case romform::Severity::Information:
        return QMessageBox::Information;
    case romform::Severity::Warning:
        return QMessageBox::Warning;
    case romform::Severity::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(Choice choice) {
    switch (choice) {
    case Choice::Ok:
        return QMessageBox::Ok;
    case Choice::Yes:
        return QMessageBox::Yes;
    case Choice::No:
        return QMessageBox::No;
    case Choice::Save:
        return QMessageBox::Save;
    case Choice::Discard:
        return QMessageBox::Discard;
    case Choice::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

void setPick(QFileDialog& dialog, romform::FilePick pick) {
    using romform::FilePick;
    dialog.setAcceptMode(pick == FilePick::OneToSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ShowDirsOnly, pick == FilePick::Folder);
    switch (pick) {
    case FilePick::OneToOpen:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FilePick::SeveralToOpen:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FilePick::OneToSave:
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FilePick::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        break;
    }
}

// The dialog's list without the names the model leaves out; folders and every other file pass.
class HiddenNames : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void hide(const std::vector<std::string>& names) {
        hidden_.clear();
        for (const auto& name : names) {
            hidden_ << shown(name).toLower();
        }
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QString name = sourceModel()->index(row, 0, parent).data().toString().toLower();
        return !hidden_.contains(name);
    }

  private:
    QStringList hidden_;
};

} // namespace

QtDialogs::QtDialogs(QWidget* window) : window_(window), CommonDialog1(new QFileDialog(window)) {
    CommonDialog1->setObjectName("CommonDialog1");
    // Qt's own dialog on every desktop, so that the ROM filter matches names in any letter case: ROM files
    // are as often called "tetris.gb" as "TETRIS.GB".
    CommonDialog1->setOption(QFileDialog::DontUseNativeDialog);
    CommonDialog1->setFilter(CommonDialog1->filter() & ~QDir::CaseSensitive);
    hiddenNames_ = new HiddenNames(CommonDialog1);
    CommonDialog1->setProxyModel(hiddenNames_);
}

std::vector<std::string> QtDialogs::pickFiles(const romform::FileDialog& dialog) {
    // Set before every showing, in this order; the first filter is the one in force when the dialog opens.
    setPick(*CommonDialog1, dialog.pick);
    QStringList filters;
    for (const auto& filter : dialog.filters) {
        filters << nameFilter(filter);
    }
    CommonDialog1->setNameFilters(filters);
    if (!filters.isEmpty()) {
        CommonDialog1->selectNameFilter(filters.constFirst());
    }
    CommonDialog1->setDefaultSuffix(shown(dialog.defaultSuffix));
    static_cast<HiddenNames*>(hiddenNames_)->hide(dialog.hiddenNames);
    CommonDialog1->setWindowTitle(shown(dialog.title));
    if (!dialog.startFolder.empty()) {
        CommonDialog1->setDirectory(shown(dialog.startFolder));
    }
    // The dialog is kept between uses and must not show the name of the last one; selectFile("") leaves
    // the name box as it was, so the box (Qt's own dialog's "fileNameEdit") is emptied first.
    if (auto* name = CommonDialog1->findChild<QLineEdit*>("fileNameEdit")) {
        name->clear();
    }
    // Nor the files chosen in its list last time ("Add ROMs..." before "Find File"): Open would take them.
    for (auto* view : CommonDialog1->findChildren<QAbstractItemView*>()) {
        if (view->selectionModel() != nullptr) {
            view->selectionModel()->clear();
        }
    }
    if (!dialog.startPath.empty()) {
        CommonDialog1->selectFile(shown(dialog.startPath));
    }
    std::vector<std::string> chosen;
    if (CommonDialog1->exec() == QDialog::Accepted) {
        for (const QString& path : CommonDialog1->selectedFiles()) {
            chosen.push_back(path.toStdString());
        }
    }
    return chosen;
}

Choice QtDialogs::ask(const romform::Question& question) {
    QMessageBox box(iconOf(question.severity), shown(question.title), shown(question.text),
                    QMessageBox::NoButton, window_);
    for (Choice choice : question.choices) {
        box.addButton(buttonOf(choice));
    }
    box.setDefaultButton(buttonOf(question.defaultChoice));
    box.setEscapeButton(box.button(buttonOf(question.escapeChoice)));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (Choice choice : question.choices) {
        if (buttonOf(choice) == clicked) {
            return choice;
        }
    }
    return question.escapeChoice;
}

QString nameFilter(const romform::FileFilter& filter) {
    const QString description = shown(filter.description);
    if (description.contains('(')) {
        return description;
    }
    QStringList patterns;
    for (const auto& pattern : filter.patterns) {
        patterns << shown(pattern);
    }
    return QString("%1 (%2)").arg(description, patterns.join(' '));
}

void showMessage(QWidget* window, const romform::Message& message) {
    QMessageBox box(iconOf(message.severity), shown(message.title), shown(message.text), QMessageBox::Ok,
                    window);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace romui
