// The window's controls as the design gives them: every control at its twip place with its caption or
// start text, the drawn lines, the focus order, and what lies out of view.
#include "form/control_table.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace romform {
namespace {

using enum ControlId;
using enum ControlKind;

TEST(ControlTable, EveryControlAtItsDesignPlaceWithItsText) {
    const struct {
        const char* name;
        ControlKind kind;
        TwipRect box;
        const char* text;
    } design[] = {
        // In tab order.
        {"Text1", TextBox, {120, 480, 1935, 375}, ""},
        {"Label1", Label, {120, 120, 1935, 255}, "ROM Name (16chr MAX)"},
        {"Label2", Label, {2160, 120, 855, 255}, "File Name"},
        {"Text2", TextBox, {2160, 480, 1935, 375}, " "},
        {"Command1", Button, {3120, 120, 975, 255}, "Find File"},
        {"Command2", Button, {9960, 120, 1095, 495}, "Add ROM"},
        {"List1", ListBox, {120, 1080, 1935, 5130}, ""},
        {"List2", ListBox, {2160, 1080, 1935, 5130}, ""},
        {"Command3", Button, {9960, 840, 1095, 615}, "Clear List"},
        {"Label3", Label, {4320, 480, 855, 495}, "ROM Size (Blocks)"},
        {"List3", ListBox, {4200, 1080, 1215, 5130}, ""},
        {"Check1", CheckBox, {5520, 600, 855, 495}, "Save?"},
        {"List4", ListBox, {5520, 1080, 735, 5130}, ""},
        {"Label4", Label, {6480, 720, 975, 375}, "Save Bank #"},
        {"List5", ListBox, {6360, 1080, 1215, 5130}, ""},
        {"Label5", Label, {7800, 720, 1935, 255}, "Assigned Flash Location"},
        {"List6", ListBox, {7680, 1080, 2055, 5130}, ""},
        {"Label6", Label, {4680, 6480, 975, 375}, "Complement"},
        {"List7", ListBox, {11400, 1080, 2055, 5130}, ""},
        {"Command4", Button, {9960, 2520, 1095, 615}, "Generate Compilation"},
        {"Text3", TextBox, {9960, 3720, 495, 285}, "0"},
        {"Text4", TextBox, {9960, 4320, 495, 285}, "0"},
        {"Label7", Label, {9960, 3240, 975, 375}, "Number of ROMS"},
        {"Label8", Label, {9960, 4080, 615, 255}, "Pages"},
        {"Command5", Button, {9960, 1680, 1095, 615}, "Remove ROM"},
        {"Command6", Button, {9840, 5040, 855, 495}, "Debug"},
        {"Label9",
         Label,
         {4440, 120, 5055, 255},
         "For ROM's Requiring Save Slots, Select Save box before adding ROM. "},
    };
    const auto table = controlTable();
    ASSERT_EQ(table.size(), std::size(design) + 8); // and the eight lines
    for (std::size_t i = 0; i < std::size(design); ++i) {
        const Control& c = table[i];
        EXPECT_EQ(c.name, design[i].name);
        EXPECT_EQ(c.kind, design[i].kind) << c.name;
        EXPECT_EQ(c.box, design[i].box) << c.name;
        EXPECT_EQ(c.text, design[i].text) << c.name;
        EXPECT_EQ(c.tabIndex, static_cast<int>(i)) << c.name;
        EXPECT_EQ(&control(c.id), &c) << c.name;
    }
    EXPECT_EQ(control(Label9).text.size(), 67u);
}

TEST(ControlTable, LinesRunBetweenTheirEnds) {
    const struct {
        const char* name;
        TwipLine ends;
        TwipRect box;
    } design[] = {
        {"Line1", {9720, 360, 4320, 360}, {4320, 360, 5400, 0}},
        {"Line2", {4320, 0, 9720, 0}, {4320, 0, 5400, 0}},
        {"Line3", {9720, 360, 9720, 0}, {9720, 0, 0, 360}},
        {"Line4", {4320, 360, 4320, 0}, {4320, 0, 0, 360}},
        {"Line5", {9840, 0, 11160, 0}, {9840, 0, 1320, 0}},
        {"Line6", {11160, 4680, 11160, 0}, {11160, 0, 0, 4680}},
        {"Line7", {9840, 0, 9840, 4680}, {9840, 0, 0, 4680}},
        {"Line8", {11160, 4680, 9840, 4680}, {9840, 4680, 1320, 0}},
    };
    const auto table = controlTable();
    for (std::size_t i = 0; i < std::size(design); ++i) {
        const Control& c = table[table.size() - std::size(design) + i];
        EXPECT_EQ(c.name, design[i].name);
        EXPECT_EQ(c.kind, Line) << c.name;
        EXPECT_EQ(c.ends, design[i].ends) << c.name;
        EXPECT_EQ(c.box, design[i].box) << c.name;
        EXPECT_EQ(c.tabIndex, kNoTabIndex) << c.name;
        EXPECT_TRUE(c.visible) << c.name;
    }
}

TEST(ControlTable, FocusSkipsLabelsAndLines) {
    std::vector<std::string> order;
    std::set<std::string_view> names;
    for (const Control& c : controlTable()) {
        EXPECT_TRUE(names.insert(c.name).second) << "two controls are called " << c.name;
        if (c.takesFocus) {
            order.emplace_back(c.name);
        }
    }
    const std::vector<std::string> expected{
        "Text1", "Text2", "Command1", "Command2", "List1",    "List2", "Command3", "List3",    "Check1",
        "List4", "List5", "List6",    "List7",    "Command4", "Text3", "Text4",    "Command5", "Command6"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(kStartFocus, Text1);
}

TEST(ControlTable, ComplementColumnAndDebugAreNeverSeen) {
    for (const Control& c : controlTable()) {
        const bool inside =
            c.box.left + c.box.width <= kClientWidthTwips && c.box.top + c.box.height <= kClientHeightTwips;
        EXPECT_EQ(inside, c.id != List7 && c.id != Label6) << c.name;
        EXPECT_EQ(c.visible, c.id != List7 && c.id != Command6) << c.name;
    }
    EXPECT_GE(control(List7).box.left, kClientWidthTwips);
    EXPECT_GE(control(Label6).box.top, kClientHeightTwips);
}

TEST(ControlTable, ListsShowTheColumnsLeftToRight) {
    for (std::size_t c = 0; c < romc::kColumnCount; ++c) {
        const auto column = static_cast<romc::Column>(c);
        const ControlId list = listOf(column);
        EXPECT_EQ(control(list).name, "List" + std::to_string(c + 1));
        EXPECT_EQ(columnOf(list), column);
    }
    for (const Control& c : controlTable()) {
        EXPECT_EQ(columnOf(c.id).has_value(), c.kind == ListBox) << c.name;
        // Only the counter boxes are the program's alone; only the file column keeps a path's end in view.
        EXPECT_EQ(c.readOnly, c.id == Text3 || c.id == Text4) << c.name;
        EXPECT_EQ(c.keepsTextEnd, c.id == List2 || c.id == Text2) << c.name;
    }
}

} // namespace
} // namespace romform
