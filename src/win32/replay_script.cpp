#include "win32/replay_script.h"

#include "files/utf8_path.h"

#include <array>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string_view>

namespace romwin {

namespace {

using romform::Choice;

struct VerbShape {
    std::string_view verb;
    bool namesControl; // the first word after the verb is a control's name
    bool needsTarget;
};

constexpr std::array kVerbs{
    VerbShape{"pick", false, true},   VerbShape{"cancel", false, false}, VerbShape{"answer", false, true},
    VerbShape{"click", true, true},   VerbShape{"type", true, true},     VerbShape{"select", true, true},
    VerbShape{"menu", false, true},   VerbShape{"drop", false, true},    VerbShape{"hold", false, false},
    VerbShape{"close", false, false},
};

const char* choiceName(Choice choice) {
    constexpr std::array kNames{"Ok", "Yes", "No", "Save", "Discard", "Cancel"};
    return kNames[static_cast<std::size_t>(choice)];
}

} // namespace

romc::Outcome<std::vector<ReplayStep>> parseReplayScript(const std::string& text) {
    std::vector<ReplayStep> steps;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ReplayStep step;
        step.line = number;
        const std::size_t space = line.find(' ');
        step.verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
        const VerbShape* shape = nullptr;
        for (const VerbShape& known : kVerbs) {
            if (known.verb == step.verb) {
                shape = &known;
            }
        }
        if (shape == nullptr) {
            return romc::Failure{"line " + std::to_string(number) + ": unknown step \"" + step.verb + "\""};
        }
        if (shape->namesControl) {
            const std::size_t end = rest.find(' ');
            step.target = rest.substr(0, end);
            step.argument = end == std::string::npos ? std::string() : rest.substr(end + 1);
        } else {
            step.target = rest;
        }
        if (shape->needsTarget && step.target.empty()) {
            return romc::Failure{"line " + std::to_string(number) + ": \"" + step.verb +
                                 "\" needs an argument"};
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

romc::Outcome<std::vector<ReplayStep>> readReplayScript(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return romc::Failure{"Cannot open \"" + romc::pathToUtf8(file) + "\" for reading"};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseReplayScript(text.str());
}

std::vector<std::string> ScriptedDialogs::pickFiles(const romform::FileDialog& dialog) {
    if (picks_.empty()) {
        log_ << "unanswered file dialog: " << dialog.title << '\n';
        return {};
    }
    std::vector<std::string> paths = std::move(picks_.front());
    picks_.pop_front();
    return paths;
}

Choice ScriptedDialogs::ask(const romform::Question& question) {
    Choice choice = question.escapeChoice;
    if (answers_.empty()) {
        log_ << "unanswered question: " << question.title << " (";
        for (Choice offered : question.choices) {
            log_ << ' ' << choiceName(offered);
        }
        log_ << " )\n";
    } else {
        choice = answers_.front();
        answers_.pop_front();
    }
    log_ << "question: " << question.title << ": " << choiceName(choice) << '\n';
    return choice;
}

} // namespace romwin
