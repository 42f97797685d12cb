#include "ui/form1.h"

#include "cartridge/rom_header.h"
#include "compile/compilation.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "romtable/row_selection.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolTip>
#include <filesystem>
#include <string>

namespace romui {

namespace {

constexpr int kDesignFontPixels = 10;

// "Menu.GB", the outputs and relative ROM paths are all taken from the folder the program runs in.
std::filesystem::path workFolder() {
    std::error_code error;
    auto folder = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : folder;
}

// The controls were laid out for a small dialog font of narrow letters: at ten pixels an Arial-like face
// fits every caption in its box, the hint text on one line included.
QFont designFont() {
    QFont font(QStringList{"Liberation Sans", "Arial", "Helvetica", "Nimbus Sans"});
    font.setPixelSize(kDesignFontPixels);
    return font;
}

QString shown(const std::string& text) {
    return QString::fromStdString(text);
}

// Makes the list show exactly the column's texts, touching only rows that differ so that the list keeps
// its scroll position.
void showColumn(QListWidget* list, const std::vector<std::string>& texts, int selectedRow) {
    const QSignalBlocker quiet(list);
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

Form1::Form1(std::unique_ptr<RomFilePicker> picker, QWidget* parent)
    : QWidget(parent), picker_(std::move(picker)) {
    setWindowTitle(kWindowCaption);
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    setFont(designFont());
    createControls();
    chainFocusOrder();
    if (!picker_) {
        picker_ = std::make_unique<DialogRomFilePicker>(this);
    }
    connectEvents();
    Form1_Load();
}

Form1::~Form1() = default;

void Form1::connectEvents() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    // Each change of the box, by the user or by Add ROM, runs the Save box rule.
    connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
    // A row chosen by mouse or keyboard.
    connect(columnLists_[0], &QListWidget::currentRowChanged, this, &Form1::List1_Click);
    // The name column's tooltips are made when asked for, so they speak of the file as it is now.
    columnLists_[0]->viewport()->installEventFilter(this);
    // The other lists run no handler; the table only records their selection, so that showing the table
    // again leaves it where the user put it.
    for (std::size_t c = 1; c < romc::kColumnCount; ++c) {
        const auto column = static_cast<romc::Column>(c);
        connect(columnLists_[c], &QListWidget::currentRowChanged, this,
                [this, column] { columnClicked(column); });
    }
}

void Form1::Form1_Load() {
    state_.startupReset();
    setButtonState(ButtonState::Start);
    showTable();
    Text1->setFocus();
}

void Form1::Command1_Click() {
    // Whatever the picker holds goes into the path box, even "" from a first cancelled dialog.
    Text2->setText(picker_->pickRomFile());
    if (Text2->text().isEmpty()) {
        return;
    }
    setButtonState(afterFilePicked(buttonState_));
    Text1->setText(shown(romc::proposeRomName(Text2->text().toStdString())));
}

void Form1::Command2_Click() {
    bool saveBox = Check1->isChecked();
    const std::string name = Text1->text().toStdString();
    const std::string path = Text2->text().toStdString();
    if (auto refusal = romc::addRom(state_, {name, path, workFolder()}, saveBox)) {
        showFailure("Add ROM", *refusal, false);
        return;
    }
    Check1->setChecked(saveBox);
    showTable();
}

void Form1::Command3_Click() {
    setButtonState(ButtonState::Ready);
    romc::clearList(state_);
    showTable();
}

void Form1::Command4_Click() {
    // The core checks everything before it changes anything, so a refused compilation leaves the buttons
    // as they were and the user can mend the cause and press again.
    if (auto failure = romc::generateCompilation(state_, {workFolder(), false})) {
        showFailure("Generate Compilation", *failure, true);
        return;
    }
    setButtonState(ButtonState::Compiled);
    showTable();
}

void Form1::Command5_Click() {
    if (romc::removeRom(state_)) {
        showTable();
    }
}

// "Debug" is hidden from creation; its click shows nothing and changes nothing.
void Form1::Command6_Click() {}

void Form1::Check1_Click() {
    if (Check1->isChecked() && !romc::saveBoxAllowed(state_, true)) {
        Check1->setChecked(false);
    }
}

void Form1::List1_Click() {
    romc::selectNameRow(state_, columnLists_[0]->currentRow());
    showTable();
}

void Form1::columnClicked(romc::Column column) {
    romc::selectColumnRow(state_, column, columnLists_[static_cast<std::size_t>(column)]->currentRow());
}

QString Form1::nameToolTip(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= state_.table.rowCount()) {
        return {};
    }
    return shown(romc::headerFindingsText(
        romc::checkTableRow(state_.table, static_cast<std::size_t>(row), workFolder())));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    QListWidget* names = columnLists_[0];
    if (watched != names->viewport() || event->type() != QEvent::ToolTip) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = nameToolTip(names->indexAt(help->pos()).row());
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, names->viewport());
    }
    return true;
}

void Form1::setButtonState(ButtonState state) {
    buttonState_ = state;
    const ButtonsEnabled enabled = buttonsEnabled(state);
    Command2->setEnabled(enabled.addRom);
    Command5->setEnabled(enabled.removeRom);
    Command4->setEnabled(enabled.generateCompilation);
}

void Form1::showTable() {
    for (std::size_t c = 0; c < romc::kColumnCount; ++c) {
        showColumn(columnLists_[c], state_.table.columns[c], state_.selectedRow[c]);
    }
    Text3->setText(shown(state_.romCountText));
    Text4->setText(shown(state_.pagesText));
}

void Form1::showFailure(const QString& action, const romc::Failure& failure, bool critical) {
    QMessageBox box(critical ? QMessageBox::Critical : QMessageBox::Warning,
                    QString(kWindowCaption) + " - " + action, shown(failure.message), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace romui
