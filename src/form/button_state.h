// The three switchable buttons, "Add ROM", "Remove ROM" and "Generate Compilation", follow one of four
// states; "Find File" and "Clear List" are always enabled.
#pragma once

namespace romform {

enum class ButtonState {
    Start,            // window load: nothing picked yet
    Ready,            // a file was picked, or the list was cleared
    Compiled,         // after a compilation: the table is final until "Clear List"
    CompiledAndAdding // a file picked after a compilation: rows may be added, not removed or compiled
};

struct ButtonsEnabled {
    bool addRom;
    bool removeRom;
    bool generateCompilation;

    bool operator==(const ButtonsEnabled&) const = default;
};

ButtonsEnabled buttonsEnabled(ButtonState state);

// "Find File" with a path: enables "Add ROM" alone, so a compiled table stays locked.
ButtonState afterFilePicked(ButtonState state);

const char* buttonStateName(ButtonState state);

} // namespace romform
