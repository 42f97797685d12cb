#include "window_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace romui::test {

MessageWatcher::MessageWatcher() {
    // Polls from the event loop of the message box itself, so a box shown inside a click is answered.
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        messages_.push_back({box->icon(), box->windowTitle(), box->text()});
        box->done(QMessageBox::Ok);
    });
    timer_.start();
}

MessageWatcher::~MessageWatcher() {
    timer_.stop();
}

WorkingFolder::WorkingFolder(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

WorkingFolder::~WorkingFolder() {
    std::filesystem::current_path(previous_);
}

WindowDriver::WindowDriver() {
    auto dialogs = std::make_unique<GivenDialogs>();
    dialogs_ = dialogs.get();
    window_ = std::make_unique<Form1>(std::move(dialogs));
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get())) {
        qFatal("the main window was never shown");
    }
}

WindowDriver::~WindowDriver() = default;

void WindowDriver::click(const char* buttonName) {
    auto* button = control<QPushButton>(buttonName);
    QVERIFY2(button != nullptr, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void WindowDriver::findFile(const QString& path) {
    dialogs_->next = path;
    click("Command1");
}

void WindowDriver::typeName(const QString& name) {
    auto* box = control<QLineEdit>("Text1");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, name);
}

void WindowDriver::setSaveBox(bool ticked) {
    auto* box = control<QCheckBox>("Check1");
    if (box->isChecked() != ticked) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
}

bool WindowDriver::saveBox() const {
    return control<QCheckBox>("Check1")->isChecked();
}

void WindowDriver::addRom(const QString& path, bool save, const QString& name) {
    findFile(path);
    if (!name.isNull()) {
        typeName(name);
    }
    setSaveBox(save);
    click("Command2");
}

void WindowDriver::clickRow(const char* listName, int row) {
    auto* list = control<QListWidget>(listName);
    const QRect box = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

QStringList WindowDriver::column(const char* listName) const {
    QStringList texts;
    const auto* list = control<QListWidget>(listName);
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

int WindowDriver::selectedRow(const char* listName) const {
    const auto* list = control<QListWidget>(listName);
    const auto selected = list->selectedItems();
    // The row the user sees highlighted must be the list's current row.
    const int highlighted = selected.isEmpty() ? -1 : list->row(selected.constFirst());
    return highlighted == list->currentRow() ? highlighted : -2;
}

QString WindowDriver::text(const char* textBoxName) const {
    return control<QLineEdit>(textBoxName)->text();
}

bool WindowDriver::enabled(const char* buttonName) const {
    return control<QPushButton>(buttonName)->isEnabled();
}

QStringList WindowDriver::snapshot() const {
    QStringList shot;
    for (const char* list : kLists) {
        shot << QString("%1: %2 selected %3").arg(list, column(list).join('|')).arg(selectedRow(list));
    }
    for (const char* box : {"Text1", "Text2", "Text3", "Text4"}) {
        shot << QString("%1: [%2]").arg(box, text(box));
    }
    for (const char* button : {"Command2", "Command4", "Command5"}) {
        shot << QString("%1 enabled: %2").arg(button).arg(enabled(button));
    }
    shot << QString("Save? %1").arg(saveBox());
    return shot;
}

} // namespace romui::test
