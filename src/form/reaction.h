// What a face does after the model has handled an event: show these controls and window parts again, show
// a message, move the focus. The model decides all of it; a face only shows.
#pragma once

#include "form/control_table.h"

#include <bitset>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace romform {

// The parts of the window that are not controls of the table.
enum class WindowPart {
    Caption,    // the window's title: caption()
    MenuBar,    // the menus' items, enabled and checked states: menuBar()
    StatusLine, // statusText()
    FlashView,  // the picture of the flash: the table or the block map changed
};
inline constexpr std::size_t kWindowPartCount = 4;

// Which controls and window parts show something else now. For a control that is its text, tick, rows,
// selected row and enabled state, whichever it has.
class Refresh {
  public:
    Refresh() = default;
    Refresh(std::initializer_list<ControlId> controls) {
        for (ControlId id : controls) {
            add(id);
        }
    }

    Refresh& add(ControlId id) {
        controls_.set(indexOf(id));
        return *this;
    }
    Refresh& add(WindowPart part) {
        parts_.set(static_cast<std::size_t>(part));
        return *this;
    }
    Refresh& add(const Refresh& other) {
        controls_ |= other.controls_;
        parts_ |= other.parts_;
        return *this;
    }

    bool has(ControlId id) const { return controls_.test(indexOf(id)); }
    bool has(WindowPart part) const { return parts_.test(static_cast<std::size_t>(part)); }
    bool empty() const { return controls_.none() && parts_.none(); }

    // Every control and part, as after the window loads.
    static Refresh everything() {
        Refresh all;
        all.controls_.set();
        all.parts_.set();
        return all;
    }

    bool operator==(const Refresh&) const = default;

  private:
    std::bitset<kControlCount> controls_;
    std::bitset<kWindowPartCount> parts_;
};

enum class Severity { Information, Warning, Error };

// A modal message with one "OK": a refused action or a failed compilation.
struct Message {
    std::string title; // "Tarnwick 256M ROM Compiler - Add ROM"
    std::string text;  // UTF-8; names the file or value and the reason
    Severity severity = Severity::Information;
};

// A message's text of several lines, one per warning or refusal.
inline std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

struct Reaction {
    Refresh refresh;
    std::optional<Message> message; // shown after the refresh
    std::optional<ControlId> focus; // the control that takes the focus, if it moves
    bool closeWindow = false;       // the user chose Quit and nothing unsaved is left: the face closes
    // The face opens an editor over this row of the name column (List1), starting with the row's name; Enter
    // or leaving it hands the text to WindowModel::renameRow, Escape closes it with nothing handed.
    std::optional<int> editName;
};

} // namespace romform
