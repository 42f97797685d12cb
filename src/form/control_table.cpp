#include "form/control_table.h"

#include <algorithm>
#include <array>

namespace romform {

namespace {

using enum ControlId;
using enum ControlKind;

constexpr Control make(ControlId id, std::string_view name, ControlKind kind, TwipRect box,
                       std::string_view text = {}) {
    Control c;
    c.id = id;
    c.name = name;
    c.kind = kind;
    c.box = box;
    c.text = text;
    c.tabIndex = static_cast<int>(id);
    c.takesFocus = kind != Label;
    return c;
}

constexpr Control hidden(Control c) {
    c.visible = false;
    return c;
}

constexpr Control readOnly(Control c) {
    c.readOnly = true;
    return c;
}

constexpr Control keepingTextEnd(Control c) {
    c.keepsTextEnd = true;
    return c;
}

constexpr Control line(ControlId id, std::string_view name, TwipLine ends) {
    Control c;
    c.id = id;
    c.name = name;
    c.kind = Line;
    c.ends = ends;
    const int left = std::min(ends.x1, ends.x2);
    const int top = std::min(ends.y1, ends.y2);
    c.box = {left, top, std::max(ends.x1, ends.x2) - left, std::max(ends.y1, ends.y2) - top};
    return c;
}

constexpr std::array<Control, kControlCount> kControls = {
    make(Text1, "Text1", TextBox, {120, 480, 1935, 375}),
    make(Label1, "Label1", Label, {120, 120, 1935, 255}, "ROM Name (16chr MAX)"),
    make(Label2, "Label2", Label, {2160, 120, 855, 255}, "File Name"),
    keepingTextEnd(make(Text2, "Text2", TextBox, {2160, 480, 1935, 375}, " ")),
    make(Command1, "Command1", Button, {3120, 120, 975, 255}, "Find File"),
    make(Command2, "Command2", Button, {9960, 120, 1095, 495}, "Add ROM"),
    make(List1, "List1", ListBox, {120, 1080, 1935, 5130}),
    keepingTextEnd(make(List2, "List2", ListBox, {2160, 1080, 1935, 5130})),
    make(Command3, "Command3", Button, {9960, 840, 1095, 615}, "Clear List"),
    make(Label3, "Label3", Label, {4320, 480, 855, 495}, "ROM Size (Blocks)"),
    make(List3, "List3", ListBox, {4200, 1080, 1215, 5130}),
    make(Check1, "Check1", CheckBox, {5520, 600, 855, 495}, "Save?"),
    make(List4, "List4", ListBox, {5520, 1080, 735, 5130}),
    make(Label4, "Label4", Label, {6480, 720, 975, 375}, "Save Bank #"),
    make(List5, "List5", ListBox, {6360, 1080, 1215, 5130}),
    make(Label5, "Label5", Label, {7800, 720, 1935, 255}, "Assigned Flash Location"),
    make(List6, "List6", ListBox, {7680, 1080, 2055, 5130}),
    // The complement column is filled and read like the others but never seen: its heading lies below the
    // client area and its list right of it, hidden as well.
    make(Label6, "Label6", Label, {4680, 6480, 975, 375}, "Complement"),
    hidden(make(List7, "List7", ListBox, {11400, 1080, 2055, 5130})),
    make(Command4, "Command4", Button, {9960, 2520, 1095, 615}, "Generate Compilation"),
    // The counter boxes always show the table's counts, so the user cannot type into them.
    readOnly(make(Text3, "Text3", TextBox, {9960, 3720, 495, 285}, "0")),
    readOnly(make(Text4, "Text4", TextBox, {9960, 4320, 495, 285}, "0")),
    make(Label7, "Label7", Label, {9960, 3240, 975, 375}, "Number of ROMS"),
    make(Label8, "Label8", Label, {9960, 4080, 615, 255}, "Pages"),
    make(Command5, "Command5", Button, {9960, 1680, 1095, 615}, "Remove ROM"),
    hidden(make(Command6, "Command6", Button, {9840, 5040, 855, 495}, "Debug")),
    make(Label9, "Label9", Label, {4440, 120, 5055, 255}, kSaveHint),
    line(Line1, "Line1", {9720, 360, 4320, 360}),
    line(Line2, "Line2", {4320, 0, 9720, 0}),
    line(Line3, "Line3", {9720, 360, 9720, 0}),
    line(Line4, "Line4", {4320, 360, 4320, 0}),
    line(Line5, "Line5", {9840, 0, 11160, 0}),
    line(Line6, "Line6", {11160, 4680, 11160, 0}),
    line(Line7, "Line7", {9840, 0, 9840, 4680}),
    line(Line8, "Line8", {11160, 4680, 9840, 4680}),
};

constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (indexOf(kControls[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inIdOrder(), "control(id) finds a control at its identifier's place");

constexpr std::array<ControlId, romc::kColumnCount> kColumnLists = {List1, List2, List3, List4,
                                                                    List5, List6, List7};

} // namespace

std::span<const Control> controlTable() {
    return kControls;
}

const Control& control(ControlId id) {
    return kControls[indexOf(id)];
}

ControlId listOf(romc::Column column) {
    return kColumnLists[static_cast<std::size_t>(column)];
}

std::optional<romc::Column> columnOf(ControlId id) {
    const auto* found = std::find(kColumnLists.begin(), kColumnLists.end(), id);
    if (found == kColumnLists.end()) {
        return std::nullopt;
    }
    return static_cast<romc::Column>(found - kColumnLists.begin());
}

} // namespace romform
