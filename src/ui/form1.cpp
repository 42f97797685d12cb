#include "ui/form1.h"

#include "lists/recent_lists.h"
#include "lists/session_list.h"
#include "lists/user_settings.h"
#include "ui/flash_view_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_menu_bar.h"
#include "ui/qt_text.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QUrl>

namespace romui {

namespace {

using romform::ControlId;
using romform::ControlKind;

constexpr int kDesignFontPixels = 10;
constexpr int kFlashViewGap = 8; // between the main window and the flash view beside it
// Any width the status line is given a moment, to learn how much the status bar puts around it.
constexpr int kStatusLineProbeWidth = 100;

// The controls were laid out for a small dialog font of narrow letters: at ten pixels an Arial-like face
// fits every caption in its box, the hint text on one line included. Where none is installed, DejaVu
// Sans is wider than Arial and its condensed cut fits as Arial does.
QFont designFont() {
    QFont font(QStringList{"Liberation Sans", "Arial", "Helvetica", "Nimbus Sans", "DejaVu Sans Condensed"});
    font.setPixelSize(kDesignFontPixels);
    return font;
}

// The local files of a drag, as full UTF-8 paths; none when it carries anything else.
std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}

// Makes the list show exactly the column's texts, touching only rows that differ so that the list keeps
// its scroll position.
void showColumn(QListWidget* list, const std::vector<std::string>& texts, int selectedRow) {
    const int rows = static_cast<int>(texts.size());
    while (list->count() > rows) {
        delete list->takeItem(list->count() - 1);
    }
    for (int row = 0; row < rows; ++row) {
        const QString text = shown(texts[static_cast<std::size_t>(row)]);
        if (row < list->count()) {
            if (list->item(row)->text() != text) {
                list->item(row)->setText(text);
            }
        } else {
            list->addItem(text);
        }
    }
    if (list->currentRow() != selectedRow) {
        list->setCurrentRow(selectedRow);
    }
    if (selectedRow == romc::kNoRowSelected) {
        list->clearSelection();
    }
}

// A status bar lays its widgets out anew only when one comes or goes (before the window first shows, a
// widget's new size reaches no layout): the line goes and comes back.
void layOutAgain(QStatusBar& bar, QLabel& line) {
    bar.removeWidget(&line);
    line.show(); // shown before it comes back, or the new layout leaves it out
    bar.addWidget(&line, 1);
}

} // namespace

Form1::Form1(std::unique_ptr<romform::ModalDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this)),
      model_(*dialogs_, romform::currentWorkFolder(), romc::recentListsFile(), romc::sessionListFile(),
             romc::userSettingsFile()),
      client_(new QWidget(this)) {
    setObjectName("Form1");
    setAcceptDrops(true); // ROM files dropped anywhere on the window
    client_->setObjectName("ClientArea");
    client_->setFixedSize(pixels(romform::kClientWidthTwips), pixels(romform::kClientHeightTwips));
    setCentralWidget(client_);
    setFont(designFont());
    // Tooltips are windows of their own: the names' header facts and the status line's text in the
    // controls' font too.
    QToolTip::setFont(designFont());
    createControls();
    chainFocusOrder();
    connectEvents();
    driver_.load();
    fitToContents();
}

Form1::~Form1() = default;

void Form1::connectEvents() {
    using romform::Clicked;
    using romform::Edited;
    using romform::Key;
    using romform::KeyPressed;
    using romform::RowChosen;
    using romform::Ticked;
    for (const auto& control : romform::controlTable()) {
        const ControlId id = control.id;
        switch (control.kind) {
        case ControlKind::Button:
            connect(static_cast<QPushButton*>(widget(id)), &QPushButton::clicked, this,
                    [this, id] { handle(Clicked{id}); });
            break;
        case ControlKind::CheckBox:
            // Each change of the box, by the user or by the program, runs the Save box rule.
            connect(static_cast<QCheckBox*>(widget(id)), &QCheckBox::toggled, this, [this, id](bool ticked) {
                handle(Ticked{id, ticked});
            });
            break;
        case ControlKind::TextBox:
            connect(static_cast<QLineEdit*>(widget(id)), &QLineEdit::textChanged, this,
                    [this, id](const QString& text) {
                        handle(Edited{id, text.toStdString()});
                    });
            connect(static_cast<QLineEdit*>(widget(id)), &QLineEdit::returnPressed, this, [this, id] {
                handle(KeyPressed{id, Key::Enter});
            });
            break;
        case ControlKind::ListBox:
            // A row chosen by mouse or keyboard, in any of the seven lists.
            connect(static_cast<QListWidget*>(widget(id)), &QListWidget::currentRowChanged, this,
                    [this, id](int row) {
                        handle(RowChosen{id, row});
                    });
            widget(id)->installEventFilter(this); // the Delete key
            // A click below the rows chooses none.
            static_cast<QListWidget*>(widget(id))->viewport()->installEventFilter(this);
            break;
        case ControlKind::Label:
        case ControlKind::Line:
            break;
        }
    }
    connectNameColumn();
}

void Form1::moveFocus(ControlId id) {
    // As a focus moved by Tab: a box's text chosen whole, so that typing replaces a proposed name.
    widget(id)->setFocus(Qt::TabFocusReason);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    const auto files = droppedFiles(event->mimeData());
    if (!files.empty()) {
        event->acceptProposedAction();
        handle(romform::FilesDropped{files});
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (driver_.closeRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void Form1::showState(ControlId id, bool enabled, bool) {
    widget(id)->setEnabled(enabled);
}

void Form1::showText(ControlId box, const std::string& text) {
    // The model names a box only when it wrote the box itself, or cut what was typed into it.
    static_cast<QLineEdit*>(widget(box))->setText(shown(text));
}

void Form1::showTick(ControlId box, bool ticked) {
    static_cast<QCheckBox*>(widget(box))->setChecked(ticked);
}

void Form1::showRows(ControlId id, const std::vector<std::string>& rows, int selected) {
    auto* list = static_cast<QListWidget*>(widget(id));
    showColumn(list, rows, selected);
    if (id == ControlId::List1) {
        markWarnedRows(list);
    }
}

void Form1::showMenuBar(const romform::MenuBar& menus) {
    // A window without menus has no bar at all, not an empty one.
    if (menus.empty() && menuWidget() == nullptr) {
        return;
    }
    fillMenuBar(*menuBar(), menus,
                [this](romform::MenuCommand command) { handle(romform::MenuChosen{command}); });
    menuBar()->setVisible(!menus.empty());
}

void Form1::markWarnedRows(QListWidget* names) {
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    // Every name has a sign's room before it, blank where nothing is warned, so that all names start at
    // the same place.
    QPixmap blank(names->iconSize());
    blank.fill(Qt::transparent);
    const QIcon none(blank);
    for (int row = 0; row < names->count(); ++row) {
        const std::string& text = model_.rowWarning(row);
        names->item(row)->setIcon(text.empty() ? none : warning);
    }
}

void Form1::showFlashView(bool open) {
    if (!open) {
        if (flashView_ != nullptr && flashView_->isVisible()) {
            flashView_->hideFromModel();
        }
        return;
    }
    if (flashView_ == nullptr) {
        flashView_ = new FlashViewWindow(
            model_, [this] { handle(romform::FlashViewClosed{}); }, this);
        flashView_->move(frameGeometry().topRight() + QPoint(kFlashViewGap, 0));
    }
    flashView_->showPicture();
    if (!flashView_->isVisible()) {
        flashView_->show();
    }
}

void Form1::showStatusLine(const std::optional<std::string>& text) {
    if (!text && statusLine_ == nullptr) {
        return;
    }
    if (statusLine_ == nullptr) {
        statusLine_ = new QLabel(this);
        statusLine_->setObjectName("StatusLine");
        statusLine_->setWordWrap(true);
        statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The text starts where the controls do, and keeps as far from the window's right edge.
        const int margin = pixels(romform::control(romform::ControlId::Text1).box.left);
        statusLine_->setContentsMargins(margin, 0, margin, 0);
        // The window keeps its size whatever the user drags; a grip would promise otherwise.
        statusBar()->setSizeGripEnabled(false);
        statusBar()->addWidget(statusLine_, 1);
    }
    statusLine_->setText(shown(text.value_or(std::string())));
    statusLine_->setToolTip(statusLine_->text());
    statusBar()->setVisible(text.has_value());
    // Never cut: the line wraps within the window's width, and is as high as its lines. The width left
    // for it is the window's less what the status bar puts around it, learnt from a trial width.
    statusLine_->setFixedWidth(kStatusLineProbeWidth);
    layOutAgain(*statusBar(), *statusLine_);
    const int width = client_->width() - (statusBar()->sizeHint().width() - kStatusLineProbeWidth);
    // Measured as the label measures its own text, so that more lines grow it by whole lines.
    const QString leastLines = QString("\n").repeated(romform::kStatusLineLeastLines - 1);
    const int leastHeight =
        statusLine_->fontMetrics().boundingRect(QRect(0, 0, width, 0), Qt::TextWordWrap, leastLines).height();
    statusLine_->setFixedSize(width, std::max(statusLine_->heightForWidth(width), leastHeight));
    layOutAgain(*statusBar(), *statusLine_);
    fitToContents();
}

void Form1::fitToContents() {
    // The window is as large as its client area with the bars it shows, and no larger.
    setFixedSize(sizeHint());
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    for (const auto& control : romform::controlTable()) {
        if (control.kind != ControlKind::ListBox) {
            continue;
        }
        auto* list = static_cast<QListWidget*>(widget(control.id));
        if (watched == list && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            handle(romform::KeyPressed{control.id, romform::Key::Delete});
            return true;
        }
        // A click on the empty space below the rows leaves the table with no row chosen.
        if (watched == list->viewport() && event->type() == QEvent::MouseButtonPress &&
            !list->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid()) {
            handle(romform::RowChosen{ControlId::List1, romc::kNoRowSelected});
            return true;
        }
    }
    auto* names = static_cast<QListWidget*>(widget(ControlId::List1));
    if (watched != names->viewport() || event->type() != QEvent::ToolTip) {
        return QMainWindow::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = shown(model_.nameToolTip(names->indexAt(help->pos()).row()));
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, names->viewport());
    }
    return true;
}

} // namespace romui
