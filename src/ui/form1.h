// The main window: the next ROM's boxes, the seven columns of the ROM table, the action buttons and the
// counter boxes. Each handler reads its controls, calls the core once and shows what changed; the table
// itself lives in a romc::TableState that the lists display.
#pragma once

#include "romtable/failure.h"
#include "romtable/rom_table.h"
#include "romtable/table_state.h"
#include "ui/button_state.h"
#include "ui/rom_file_picker.h"

#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace romui {

inline constexpr const char* kWindowCaption = "Tarnwick 256M ROM Compiler";
inline constexpr const char* kSaveHint =
    "For ROM's Requiring Save Slots, Select Save box before adding ROM. ";

class Form1 : public QWidget {
    Q_OBJECT

  public:
    // Without a picker the window shows its own open-file dialog.
    explicit Form1(std::unique_ptr<RomFilePicker> picker = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    const romc::TableState& tableState() const { return state_; }
    ButtonState buttonState() const { return buttonState_; }

    // What a row's name shows when the pointer rests on it: the ROM's cartridge header facts and warnings,
    // read from its file at that moment.
    QString nameToolTip(int row) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void chainFocusOrder();
    void connectEvents();

    void Form1_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Check1_Click();
    void List1_Click();
    void columnClicked(romc::Column column);

    void setButtonState(ButtonState state);
    void showTable();
    void showFailure(const QString& title, const romc::Failure& failure, bool critical);

    romc::TableState state_;
    ButtonState buttonState_ = ButtonState::Start;
    std::unique_ptr<RomFilePicker> picker_;

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QCheckBox* Check1 = nullptr;
    std::array<QListWidget*, romc::kColumnCount> columnLists_{}; // List1 to List7, in column order
    std::array<QLabel*, 9> labels_{};                            // Label1 to Label9
    std::array<QFrame*, 8> lines_{};                             // Line1 to Line8
};

} // namespace romui
