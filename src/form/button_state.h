// The three switchable buttons: "Find File", "Clear List", "Remove ROM" and "Generate Compilation" are
// always enabled; "Add ROM" waits for a file. A compiled table stays editable: a compilation places the ROMs
// without save memory anew, so every row added, removed or moved after one can be compiled again. Whether
// the outputs hold the table is the model's compiled(), not a button state.
#pragma once

namespace romform {

enum class ButtonState {
    WaitingForFile, // window load, a compilation: "Add ROM" waits until a file is picked
    FileHeld,       // a file was picked, or the list was cleared
};

struct ButtonsEnabled {
    bool addRom;
    bool removeRom;
    bool generateCompilation;

    bool operator==(const ButtonsEnabled&) const = default;
};

ButtonsEnabled buttonsEnabled(ButtonState state);

const char* buttonStateName(ButtonState state);

} // namespace romform
