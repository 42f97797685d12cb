// The main window, a thin Qt view of romform::WindowModel: it builds its widgets from the model's control
// table, forwards each event to the model's handler and shows again what the model's reaction names.
#pragma once

#include "form/window_model.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QLabel;
class QListWidget;

namespace romui {

class FlashViewWindow;
class NameColumn;

class Form1 : public QMainWindow {
    Q_OBJECT

  public:
    // Without dialogs the window shows Qt's file dialog and message boxes; tests hand in scripted ones.
    explicit Form1(std::unique_ptr<romform::ModalDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    const romform::WindowModel& model() const { return model_; }

    // The fixed client area that holds every control of the table, under the menu bar when there is one.
    QWidget* clientArea() const { return client_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    void Check1_Click(bool ticked);
    void List_Click(romform::ControlId list, int row);
    void Text_Change(romform::ControlId box, const QString& text);

  public:
    // Opens a list as "Open List..." would once the user chose it: the command line's LIST.
    void openList(const std::string& path) { apply(model_.openListFile(path)); }

  private:
    void apply(const romform::Reaction& reaction);
    void showControl(romform::ControlId id);
    void showMenuBar();
    void showStatusLine();
    void showFlashView();
    void markWarnedRows(QListWidget* names); // a warning sign before each name whose header check warns
    void fitToContents();

    // form1_rename.cpp: a name edited in place over its row, and rows dragged, in the name column.
    friend class NameColumn;
    void connectNameColumn();
    void editName(const romform::Reaction& reaction); // opens the editor the reaction asks for
    NameColumn* nameColumn_ = nullptr;

    QWidget* widget(romform::ControlId id) const { return controls_[romform::indexOf(id)]; }

    std::unique_ptr<romform::ModalDialogs> dialogs_;
    romform::WindowModel model_;
    QWidget* client_ = nullptr;
    std::array<QWidget*, romform::kControlCount> controls_{};
    QLabel* statusLine_ = nullptr;
    FlashViewWindow* flashView_ = nullptr; // made when first opened, a window of its own
    bool closeAgreed_ = false;             // Quit already had the model's answer
};

} // namespace romui
