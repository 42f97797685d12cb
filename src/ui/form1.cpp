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
#include <QPushButton>
#include <QSignalBlocker>
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

// The controls were laid out for a small dialog font of narrow letters: at ten pixels an Arial-like face
// fits every caption in its box, the hint text on one line included.
QFont designFont() {
    QFont font(QStringList{"Liberation Sans", "Arial", "Helvetica", "Nimbus Sans"});
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
    createControls();
    chainFocusOrder();
    connectEvents();
    Form1_Load();
    fitToContents();
}

Form1::~Form1() = default;

void Form1::connectEvents() {
    using enum ControlId;
    const auto button = [this](ControlId id) { return static_cast<QPushButton*>(widget(id)); };
    connect(button(Command1), &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(button(Command2), &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(button(Command3), &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(button(Command4), &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(button(Command5), &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(button(Command6), &QPushButton::clicked, this, &Form1::Command6_Click);
    // Each change of the box, by the user or by the program, runs the Save box rule.
    connect(static_cast<QCheckBox*>(widget(Check1)), &QCheckBox::toggled, this, &Form1::Check1_Click);
    for (ControlId box : {Text1, Text2}) {
        connect(static_cast<QLineEdit*>(widget(box)), &QLineEdit::textChanged, this,
                [this, box](const QString& text) { Text_Change(box, text); });
        connect(static_cast<QLineEdit*>(widget(box)), &QLineEdit::returnPressed, this,
                [this, box] { apply(model_.enterPressed(box)); });
    }
    // A row chosen by mouse or keyboard, in any of the seven lists.
    for (const auto& control : romform::controlTable()) {
        if (control.kind == ControlKind::ListBox) {
            const ControlId list = control.id;
            connect(static_cast<QListWidget*>(widget(list)), &QListWidget::currentRowChanged, this,
                    [this, list](int row) { List_Click(list, row); });
            widget(list)->installEventFilter(this); // the Delete key
        }
    }
    // The name column's tooltips are made when asked for, so they speak of the file as it is now.
    static_cast<QListWidget*>(widget(List1))->viewport()->installEventFilter(this);
    connectNameColumn();
}

void Form1::Form1_Load() {
    apply(model_.load());
}

void Form1::Command1_Click() {
    apply(model_.findFile());
}

void Form1::Command2_Click() {
    apply(model_.addRom());
}

void Form1::Command3_Click() {
    apply(model_.clearList());
}

void Form1::Command4_Click() {
    apply(model_.generateCompilation());
}

void Form1::Command5_Click() {
    apply(model_.removeRom());
}

void Form1::Command6_Click() {
    apply(model_.debug());
}

void Form1::Check1_Click(bool ticked) {
    apply(model_.saveBoxChanged(ticked));
}

void Form1::List_Click(ControlId list, int row) {
    apply(model_.rowSelected(list, row));
}

void Form1::Text_Change(ControlId box, const QString& text) {
    apply(model_.textEdited(box, text.toStdString()));
}

void Form1::apply(const romform::Reaction& reaction) {
    for (const auto& control : romform::controlTable()) {
        if (reaction.refresh.has(control.id)) {
            showControl(control.id);
        }
    }
    if (reaction.refresh.has(romform::WindowPart::Caption)) {
        setWindowTitle(shown(model_.caption()));
    }
    if (reaction.refresh.has(romform::WindowPart::MenuBar)) {
        showMenuBar();
    }
    if (reaction.refresh.has(romform::WindowPart::StatusLine)) {
        showStatusLine();
    }
    if (reaction.refresh.has(romform::WindowPart::FlashView)) {
        showFlashView();
    }
    editName(reaction);
    if (reaction.focus) {
        // As a focus moved by Tab: a box's text chosen whole, so that typing replaces a proposed name.
        widget(*reaction.focus)->setFocus(Qt::TabFocusReason);
    }
    if (reaction.message) {
        showMessage(this, *reaction.message);
    }
    if (reaction.closeWindow) {
        closeAgreed_ = true;
        close();
    }
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
        apply(model_.filesDropped(files));
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (closeAgreed_) {
        closeAgreed_ = false;
        event->accept();
        return;
    }
    romform::Reaction reaction = model_.requestClose();
    const bool closes = reaction.closeWindow;
    reaction.closeWindow = false; // this is the close already: the event says it
    apply(reaction);
    if (closes) {
        event->accept();
    } else {
        event->ignore();
    }
}

void Form1::showControl(ControlId id) {
    QWidget* shownWidget = widget(id);
    // What the model shows is no new event of the user's.
    const QSignalBlocker quiet(shownWidget);
    shownWidget->setEnabled(model_.enabled(id));
    switch (romform::control(id).kind) {
    case ControlKind::TextBox:
        // The model names a box only when it wrote the box itself, or cut what was typed into it.
        static_cast<QLineEdit*>(shownWidget)->setText(shown(model_.text(id)));
        break;
    case ControlKind::CheckBox:
        static_cast<QCheckBox*>(shownWidget)->setChecked(model_.checked(id));
        break;
    case ControlKind::ListBox:
        showColumn(static_cast<QListWidget*>(shownWidget), model_.rows(id), model_.selectedRow(id));
        if (id == ControlId::List1) {
            markWarnedRows(static_cast<QListWidget*>(shownWidget));
        }
        break;
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Line:
        break;
    }
}

void Form1::showMenuBar() {
    const romform::MenuBar menus = model_.menuBar();
    // A window without menus has no bar at all, not an empty one.
    if (menus.empty() && menuWidget() == nullptr) {
        return;
    }
    fillMenuBar(*menuBar(), menus,
                [this](romform::MenuCommand command) { apply(model_.menuCommand(command)); });
    menuBar()->setVisible(!menus.empty());
}

void Form1::markWarnedRows(QListWidget* names) {
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int row = 0; row < names->count(); ++row) {
        const std::string& text = model_.rowWarning(row);
        names->item(row)->setIcon(text.empty() ? QIcon() : warning);
    }
}

void Form1::showFlashView() {
    if (!model_.flashViewOpen()) {
        if (flashView_ != nullptr && flashView_->isVisible()) {
            flashView_->hideFromModel();
        }
        return;
    }
    if (flashView_ == nullptr) {
        flashView_ = new FlashViewWindow(
            model_, [this] { apply(model_.flashViewClosed()); }, this);
        flashView_->move(frameGeometry().topRight() + QPoint(kFlashViewGap, 0));
    }
    flashView_->showPicture();
    if (!flashView_->isVisible()) {
        flashView_->show();
    }
}

void Form1::showStatusLine() {
    const auto text = model_.statusText();
    if (!text && statusLine_ == nullptr) {
        return;
    }
    if (statusLine_ == nullptr) {
        statusLine_ = new QLabel(this);
        statusLine_->setObjectName("StatusLine");
        statusBar()->addWidget(statusLine_, 1);
    }
    statusLine_->setText(shown(text.value_or(std::string())));
    // The window keeps its width: a line longer than it is cut off there, and read whole when pointed at.
    statusLine_->setToolTip(statusLine_->text());
    statusBar()->setVisible(text.has_value());
    fitToContents();
}

void Form1::fitToContents() {
    // The window is as large as its client area with the bars it shows, and no larger.
    setFixedSize(sizeHint());
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        for (const auto& control : romform::controlTable()) {
            if (control.kind == ControlKind::ListBox && watched == widget(control.id)) {
                apply(model_.deletePressed(control.id));
                return true;
            }
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
