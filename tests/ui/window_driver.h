// Drives the main window as a user would: finds controls by object name, clicks and types; gives "Find
// File" a path instead of showing the dialog; answers message boxes so that no test waits on one.
#pragma once

#include "form/modal_dialogs.h"
#include "ui/form1.h"

#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <memory>

namespace romui::test {

// Hands "Find File" the path a test chose, as the dialog would after the user picked it; "" cancels.
class GivenDialogs : public romform::ModalDialogs {
  public:
    std::vector<std::string> pickFiles(const romform::FileDialog& /*dialog*/) override {
        ++shown;
        return next.isEmpty() ? std::vector<std::string>{} : std::vector{next.toStdString()};
    }
    romform::Choice ask(const romform::Question& question) override {
        if (answers.empty() && question.title.ends_with(" - Clear List")) {
            return romform::Choice::Yes; // the tests that clear the table mean it
        }
        if (answers.empty()) {
            qFatal("a question nobody expected: %s", question.text.c_str());
        }
        const romform::Choice answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    QString next;
    std::vector<romform::Choice> answers; // the next questions' answers, in order
    int shown = 0;
};

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Watches for modal message boxes while it lives, writes down what each said and closes it.
class MessageWatcher {
  public:
    MessageWatcher();
    ~MessageWatcher();
    MessageWatcher(const MessageWatcher&) = delete;
    MessageWatcher& operator=(const MessageWatcher&) = delete;

    const std::vector<ShownMessage>& messages() const { return messages_; }

  private:
    QTimer timer_;
    std::vector<ShownMessage> messages_;
};

// Runs the test in `folder` as the window's working directory, and goes back afterwards.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::filesystem::path& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    std::filesystem::path previous_;
};

// A shown main window with given dialogs; every message box it shows is written down and closed.
class WindowDriver {
  public:
    WindowDriver();
    ~WindowDriver();

    Form1& window() { return *window_; }
    const romform::WindowModel& model() const { return window_->model(); }
    const romc::TableState& state() const { return window_->model().tableState(); }
    const std::vector<ShownMessage>& messages() const { return watcher_.messages(); }

    GivenDialogs& dialogs() { return *dialogs_; }

    template <class T> T* control(const char* name) const { return window_->findChild<T*>(name); }

    void click(const char* buttonName);
    void findFile(const QString& path);
    void typeName(const QString& name);
    void setSaveBox(bool ticked);
    bool saveBox() const;
    // "Find File" with `path`, the name box left as proposed or replaced by `name`, "Save?" as given, "Add
    // ROM".
    void addRom(const QString& path, bool save, const QString& name = QString());
    void clickRow(const char* listName, int row);

    QStringList column(const char* listName) const;
    int selectedRow(const char* listName) const;
    QString text(const char* textBoxName) const;
    bool enabled(const char* buttonName) const;
    // Every list's texts and selection, both boxes, both counters and the Save box: what a refusal keeps.
    QStringList snapshot() const;

  private:
    MessageWatcher watcher_;
    std::unique_ptr<Form1> window_;
    GivenDialogs* dialogs_;
};

inline const char* const kLists[] = {"List1", "List2", "List3", "List4", "List5", "List6", "List7"};

} // namespace romui::test
