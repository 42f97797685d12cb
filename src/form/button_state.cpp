#include "form/button_state.h"

namespace romform {

ButtonsEnabled buttonsEnabled(ButtonState state) {
    return {state == ButtonState::FileHeld, true, true};
}

const char* buttonStateName(ButtonState state) {
    return state == ButtonState::FileHeld ? "File held" : "Waiting for a file";
}

} // namespace romform
