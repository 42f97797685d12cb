// The main window, a thin Qt view of romform::WindowModel: it builds its widgets from the model's control
// table, forwards each event to the model's handler and shows again what the model's reaction names.
#pragma once

#include "form/face_driver.h"
#include "form/window_model.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_text.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QLabel;
class QListWidget;

namespace romui {

class FlashViewWindow;
class NameColumn;

class Form1 : public QMainWindow, private romform::WindowView {
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
    void handle(const romform::UserEvent& event) { driver_.handle(event); }

  public:
    // Opens a list as "Open List..." would once the user chose it: the command line's LIST.
    void openList(const std::string& path) { handle(romform::ListNamed{path}); }
    // Ticks View > "Flash Map" unless it is ticked: the command line's --flash-map.
    void openFlashMap() { handle(romform::FlashMapNamed{}); }

  private:
    // romform::WindowView: what the driver shows. The signals these writes raise reach the driver while
    // it shows, which drops them: they are no user's events.
    void showState(romform::ControlId id, bool enabled, bool visible) override;
    void showText(romform::ControlId box, const std::string& text) override;
    void showTick(romform::ControlId box, bool ticked) override;
    void showRows(romform::ControlId list, const std::vector<std::string>& rows, int selected) override;
    void showCaption(const std::string& caption) override { setWindowTitle(shown(caption)); }
    void showMenuBar(const romform::MenuBar& menus) override;
    void showStatusLine(const std::optional<std::string>& text) override;
    void showFlashView(bool open) override;
    void moveFocus(romform::ControlId id) override;
    void showMessage(const romform::Message& message) override { romui::showMessage(this, message); }
    void startClose() override { close(); }

    void markWarnedRows(QListWidget* names); // a warning sign before each name whose header check warns
    void fitToContents();

    // form1_rename.cpp: a name edited in place over its row, and rows dragged, in the name column.
    friend class NameColumn;
    void connectNameColumn();
    void editName(int row) override; // form1_rename.cpp
    NameColumn* nameColumn_ = nullptr;

    QWidget* widget(romform::ControlId id) const { return controls_[romform::indexOf(id)]; }

    std::unique_ptr<romform::ModalDialogs> dialogs_;
    romform::WindowModel model_;
    QWidget* client_ = nullptr;
    std::array<QWidget*, romform::kControlCount> controls_{};
    QLabel* statusLine_ = nullptr;
    FlashViewWindow* flashView_ = nullptr; // made when first opened, a window of its own
    romform::FaceDriver driver_{model_, *this};
};

} // namespace romui
