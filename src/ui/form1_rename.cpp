// The name column's own gestures: a name edited in place (F2, a double-click) and a row dragged to another
// place. The model decides both; this file only shows the editor and the drop line and hands back what the
// user did.
#include "ui/form1.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

namespace romui {

// Watches the name column's viewport (double-clicks, drags) and the editor (Escape).
class NameColumn : public QObject {
  public:
    NameColumn(Form1& form, QListWidget* names)
        : QObject(names), form_(form), names_(names), dropLine_(new QFrame(names->viewport())),
          editor_(new QLineEdit(names->viewport())) {
        dropLine_->setObjectName("DropLine");
        dropLine_->setFrameShape(QFrame::HLine);
        dropLine_->setLineWidth(2);
        dropLine_->hide();
        editor_->setObjectName("NameEditor");
        editor_->setFrame(false);
        editor_->hide();
        editor_->installEventFilter(this);
        // The editor keeps what the name box keeps of a typed name.
        connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
            const QString kept = shown(form_.model_.nameEdited(text.toStdString()));
            if (kept != text) {
                editor_->setText(kept);
            }
        });
        // Enter, or the focus going elsewhere, keeps the name.
        connect(editor_, &QLineEdit::editingFinished, this, [this] { finish(true); });
        names_->viewport()->installEventFilter(this);
    }

    // The editor over `row`, holding its name chosen whole, so that typing replaces it. The column is not
    // scrolled to it: the seven lists scroll apart, and the row is one the user just chose in view.
    void edit(int row) {
        finish(false);
        QListWidgetItem* item = names_->item(row);
        if (item == nullptr) {
            return;
        }
        editor_->setText(item->text());
        editor_->setGeometry(names_->visualItemRect(item));
        editor_->selectAll();
        editedRow_ = row;
        editing_ = true;
        editor_->show();
        editor_->setFocus(Qt::OtherFocusReason);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == editor_) {
            // Every key is the editor's while it is open, the menu's shortcuts too: a move under way would
            // leave it over another row.
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (event->type() == QEvent::KeyPress &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                finish(false);
                return true;
            }
            return false;
        }
        if (watched != names_->viewport()) {
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            return doubleClicked(*static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonPress:
            pressed(*static_cast<QMouseEvent*>(event));
            return false;
        case QEvent::MouseMove:
            return moved(*static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            released(*static_cast<QMouseEvent*>(event));
            return false;
        default:
            return false;
        }
    }

  private:
    bool doubleClicked(const QMouseEvent& event) {
        const int row = names_->indexAt(event.position().toPoint()).row();
        if (event.button() != Qt::LeftButton || row < 0) {
            return false;
        }
        form_.handle(romform::RenameAsked{row});
        return true;
    }

    void pressed(const QMouseEvent& event) {
        dragging_ = false;
        pressedRow_ =
            event.button() == Qt::LeftButton ? names_->indexAt(event.position().toPoint()).row() : -1;
        pressedAt_ = event.position().toPoint();
    }

    // Past the system's drag distance the press becomes a drag: the selection stays on the dragged row and
    // a line shows where it would go.
    bool moved(const QMouseEvent& event) {
        if (pressedRow_ < 0 || !(event.buttons() & Qt::LeftButton)) {
            return false;
        }
        const QPoint at = event.position().toPoint();
        if (!dragging_ && (at - pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
            return false;
        }
        dragging_ = true;
        names_->viewport()->setCursor(Qt::ClosedHandCursor);
        const int target = dropRow(at);
        const QRect place = names_->visualItemRect(names_->item(target));
        const int y = target > pressedRow_ ? place.bottom() : place.top();
        dropLine_->setGeometry(0, y - 1, names_->viewport()->width(), 2);
        dropLine_->setVisible(target != pressedRow_);
        return true;
    }

    void released(const QMouseEvent& event) {
        const bool dropped = dragging_ && event.button() == Qt::LeftButton;
        const int from = pressedRow_;
        dragging_ = false;
        pressedRow_ = -1;
        dropLine_->hide();
        names_->viewport()->unsetCursor();
        if (dropped) {
            form_.handle(romform::RowDragged{from, dropRow(event.position().toPoint())});
        }
    }

    // The row whose place a drop at `at` takes: the one under the pointer, the first above the rows and the
    // last below them.
    int dropRow(const QPoint& at) const {
        const int row = names_->indexAt(at).row();
        if (row >= 0) {
            return row;
        }
        return at.y() < 0 ? 0 : names_->count() - 1;
    }

    void finish(bool keep) {
        if (!editing_) {
            return;
        }
        editing_ = false; // leaving the editor below ends the editing a second time
        const std::string name = editor_->text().toStdString();
        if (editor_->hasFocus()) {
            names_->setFocus(Qt::OtherFocusReason);
        }
        editor_->hide();
        if (keep) {
            form_.handle(romform::NameKept{editedRow_, name});
        }
    }

    Form1& form_;
    QListWidget* names_;
    QFrame* dropLine_;
    QLineEdit* editor_;
    bool editing_ = false;
    int editedRow_ = -1;
    int pressedRow_ = -1;
    QPoint pressedAt_;
    bool dragging_ = false;
};

void Form1::connectNameColumn() {
    nameColumn_ = new NameColumn(*this, static_cast<QListWidget*>(widget(romform::ControlId::List1)));
}

void Form1::editName(int row) {
    nameColumn_->edit(row);
}

} // namespace romui
