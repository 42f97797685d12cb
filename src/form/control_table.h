// The controls of the main window as data: name, kind, place in twips, caption or start text, visibility
// and focus order. Every face builds its window from this table and nothing else, so the Qt window and the
// Windows window show the same controls at the same places.
#pragma once

#include "romtable/rom_table.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace romform {

// Twips: 1440 to the inch, so 15 twips make one pixel at 96 dpi. A face scales them to its screen.
inline constexpr int kTwipsPerInch = 1440;

// The client area, under the caption (and under a menu bar, once the window has one).
inline constexpr int kClientWidthTwips = 11250;
inline constexpr int kClientHeightTwips = 6345;

inline constexpr const char* kWindowCaption = "Tarnwick 256M ROM Compiler";
inline constexpr const char* kSaveHint =
    "For ROM's Requiring Save Slots, Select Save box before adding ROM. ";

// One identifier per control, the controls that hold a tab index in tab order (so the identifier's number
// is the tab index), then the drawn lines. A Windows face uses these numbers for its control IDs.
enum class ControlId {
    Text1,    // ROM name box
    Label1,   // "ROM Name (16chr MAX)"
    Label2,   // "File Name"
    Text2,    // file path box
    Command1, // "Find File"
    Command2, // "Add ROM"
    List1,    // name column
    List2,    // file column
    Command3, // "Clear List"
    Label3,   // "ROM Size (Blocks)"
    List3,    // size column
    Check1,   // "Save?"
    List4,    // save flag column
    Label4,   // "Save Bank #"
    List5,    // save bank column
    Label5,   // "Assigned Flash Location"
    List6,    // location column
    Label6,   // "Complement", below the client area
    List7,    // complement column, hidden and right of the client area
    Command4, // "Generate Compilation"
    Text3,    // "Number of ROMS" box
    Text4,    // "Pages" box
    Label7,   // "Number of ROMS"
    Label8,   // "Pages"
    Command5, // "Remove ROM"
    Command6, // "Debug", hidden
    Label9,   // the save hint
    Line1,    // Line1 to Line4 frame the save hint
    Line2,
    Line3,
    Line4,
    Line5, // Line5 to Line8 frame the right-hand button panel
    Line6,
    Line7,
    Line8,
};
inline constexpr std::size_t kControlCount = 35;

constexpr std::size_t indexOf(ControlId id) {
    return static_cast<std::size_t>(id);
}

enum class ControlKind { TextBox, Label, Button, CheckBox, ListBox, Line };

// A box from its left, top, width and height, measured from the client area's top-left corner.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// A drawn line from (x1, y1) to (x2, y2); the window's lines are all horizontal or vertical.
struct TwipLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const TwipLine&) const = default;
};

inline constexpr int kNoTabIndex = -1;

struct Control {
    ControlId id{};
    std::string_view name; // the design's name, which faces give their widgets so tests find them
    ControlKind kind{};
    TwipRect box;          // for a line: the box its two ends span
    TwipLine ends;         // lines only
    std::string_view text; // caption, or a text box's start text; "" for lists and lines
    bool visible = true;
    int tabIndex = kNoTabIndex; // labels hold one but never take the focus; lines hold none
    bool takesFocus = false;    // Tab reaches it while it is enabled and visible
    bool readOnly = false;      // a text box the program writes and the user cannot type into
    bool keepsTextEnd = false;  // holds paths: long texts are cut at the start, so a path shows its file
};

// Every control, in ControlId order: the tab order, then the lines.
std::span<const Control> controlTable();

const Control& control(ControlId id);

// The control that has the focus when the window opens.
inline constexpr ControlId kStartFocus = ControlId::Text1;

// The list that shows a table column, and the column a list shows (none for other controls).
ControlId listOf(romc::Column column);
std::optional<romc::Column> columnOf(ControlId id);

} // namespace romform
