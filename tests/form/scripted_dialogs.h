// The model's modal dialogs answered from a script: each file dialog takes the next answer a test queued
// and each question the next queued answer; both are written down with what they were asked to show. A dialog
// nobody expected fails the test.
#pragma once

#include "form/modal_dialogs.h"

#include <deque>
#include <gtest/gtest.h>
#include <string_view>

namespace romform::test {

inline bool isClearListQuestion(const Question& question) {
    constexpr std::string_view kTitleEnd = " - Clear List";
    return question.title.ends_with(kTitleEnd);
}

class ScriptedDialogs : public ModalDialogs {
  public:
    std::vector<std::string> pickFiles(const FileDialog& dialog) override {
        shown.push_back(dialog);
        if (picks.empty()) {
            ADD_FAILURE() << "a file dialog nobody expected: \"" << dialog.title << '"';
            return {};
        }
        auto next = std::move(picks.front());
        picks.pop_front();
        return next;
    }

    Choice ask(const Question& question) override {
        asked.push_back(question);
        if (answers.empty() && isClearListQuestion(question)) {
            return Choice::Yes; // most tests clear the table to start afresh; the question has tests of its
                                // own
        }
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody expected: \"" << question.text << '"';
            return question.escapeChoice;
        }
        const Choice next = answers.front();
        answers.pop_front();
        return next;
    }

    // Next file dialog: the user chooses `path`, or cancels when it is "".
    void choose(const std::string& path) {
        picks.push_back(path.empty() ? std::vector<std::string>{} : std::vector{path});
    }

    std::deque<std::vector<std::string>> picks;
    std::vector<FileDialog> shown;
    std::deque<Choice> answers; // the next questions' answers, in order
    std::vector<Question> asked;
};

} // namespace romform::test
