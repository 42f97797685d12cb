// The menu bar as data: menus of items with caption, shortcut, enabled and checked state. A face builds
// its bar from WindowModel::menuBar() and hands each chosen item's command back to
// WindowModel::menuCommand(). With no menus the window has no menu bar.
#pragma once

#include <string>
#include <vector>

namespace romform {

// One command per menu item. A feature adds its enumerator here, its item in WindowModel::menuBar() and
// its case in WindowModel::menuCommand(). The numbers are stable, so a Windows face can use them as
// command IDs.
enum class MenuCommand : int {
    // File: lists 100-199
    OpenList = 100,
    SaveList = 101,
    SaveListAs = 102,
    WorkFolder = 103,
    RecentList1 = 110, // the latest; RecentList1 + i for the others, up to romc::kRecentListCount
    RecentList5 = 114,
    Quit = 190,
    // The table: 200-299
    AddRoms = 200,
    NamesFromTitles = 201, // File > "Names from Cartridge Titles", checked or not
    Undo = 210,
    MoveUp = 211,
    MoveDown = 212,
    SortByName = 213,
    CompactSaveBanks = 214,
    SaveMemory = 215, // the selected row's save memory, on or off
    MoveToTop = 216,
    MoveToBottom = 217,
    Rename = 218, // the selected row's name edited in place
    // The flash and its outputs: 300-399
    RemoveLeftoverPieces = 300,
    FlashMap = 310,
    WriteSaveMemory = 320,
    SplitSaveDump = 321,
    // File: importing 400-499
    ImportImage = 400,
    // Help: 900-999
    About = 900,
};

struct MenuItem {
    MenuCommand command{};
    std::string caption;  // "Open List..."; "&" is an ordinary character
    std::string shortcut; // "Ctrl+Shift+S", "Alt+Up", "F2": modifiers joined by "+", or ""
    int accessKey = -1;   // the byte of `caption` underlined as its access key (Alt+letter), -1 for none
    bool enabled = true;
    bool checkable = false; // shows a tick that follows `checked`
    bool checked = false;
    bool separatorBefore = false; // a line between this item and the one above
};

struct Menu {
    std::string caption; // "File"
    std::vector<MenuItem> items;
    int accessKey = -1; // as MenuItem::accessKey: "F" of "File" opens it with Alt+F
};

struct MenuBar {
    std::vector<Menu> menus;
    bool empty() const { return menus.empty(); }
};

// Gives every menu an access key unique on the bar and every item one unique in its menu: the first letter
// of a word where one is free, else any free letter or digit ("1" of the recent list "1 games.json").
void assignAccessKeys(MenuBar& bar);

// The caption in the toolkits' own markup: the access key after an "&", every other "&" doubled.
std::string markedCaption(const std::string& caption, int accessKey);

} // namespace romform
