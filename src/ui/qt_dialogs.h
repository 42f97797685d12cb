// The model's modal dialogs shown with Qt: the open-file dialog `CommonDialog1`, which belongs to the
// window and keeps the folder of its last use, and questions and messages as message boxes.
#pragma once

#include "form/modal_dialogs.h"

#include <QString>

class QFileDialog;
class QSortFilterProxyModel;
class QWidget;

namespace romui {

class QtDialogs : public romform::ModalDialogs {
  public:
    explicit QtDialogs(QWidget* window);

    std::vector<std::string> pickFiles(const romform::FileDialog& dialog) override;
    romform::Choice ask(const romform::Question& question) override;

    QFileDialog* dialog() const { return CommonDialog1; }

  private:
    QWidget* window_;
    QFileDialog* CommonDialog1;
    QSortFilterProxyModel*
        hiddenNames_; // the list as the dialog shows it, without the work folder's own files
};

// A type-list entry as Qt reads it: the patterns in parentheses after the description.
QString nameFilter(const romform::FileFilter& filter);

// Shows a message of the model with one "OK", modal, over `window`.
void showMessage(QWidget* window, const romform::Message& message);

} // namespace romui
