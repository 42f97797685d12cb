// The three switchable buttons, "Add ROM", "Remove ROM" and "Generate Compilation", follow one of four
// states; "Find File" and "Clear List" are always enabled. A compiled table stays editable: a compilation
// places the ROMs without save memory anew, so every row added, removed or moved after one can be compiled
// again.
#pragma once

namespace romform {

enum class ButtonState {
    Start,            // window load: nothing picked yet
    Ready,            // a file was picked, or the list was cleared
    Compiled,         // after a compilation: the outputs hold the table; "Add ROM" waits for a file
    CompiledAndAdding // a file picked after a compilation: the outputs still hold the table
};

struct ButtonsEnabled {
    bool addRom;
    bool removeRom;
    bool generateCompilation;

    bool operator==(const ButtonsEnabled&) const = default;
};

ButtonsEnabled buttonsEnabled(ButtonState state);

// "Find File" with a path: "Add ROM" is enabled.
ButtonState afterFilePicked(ButtonState state);

// The table changed: the outputs no longer hold it, and the states of a compiled table go back to those of
// a draft, with or without a file picked.
ButtonState afterTableChanged(ButtonState state);

const char* buttonStateName(ButtonState state);

} // namespace romform
