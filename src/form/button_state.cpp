#include "form/button_state.h"

namespace romform {

ButtonsEnabled buttonsEnabled(ButtonState state) {
    switch (state) {
    case ButtonState::Start:
        return {false, true, true};
    case ButtonState::Ready:
        return {true, true, true};
    case ButtonState::Compiled:
        return {false, true, true};
    case ButtonState::CompiledAndAdding:
        return {true, true, true};
    }
    return {false, false, false};
}

ButtonState afterFilePicked(ButtonState state) {
    switch (state) {
    case ButtonState::Start:
    case ButtonState::Ready:
        return ButtonState::Ready;
    case ButtonState::Compiled:
    case ButtonState::CompiledAndAdding:
        return ButtonState::CompiledAndAdding;
    }
    return state;
}

ButtonState afterTableChanged(ButtonState state) {
    switch (state) {
    case ButtonState::Compiled:
        return ButtonState::Start;
    case ButtonState::CompiledAndAdding:
        return ButtonState::Ready;
    case ButtonState::Start:
    case ButtonState::Ready:
        break;
    }
    return state;
}

const char* buttonStateName(ButtonState state) {
    switch (state) {
    case ButtonState::Start:
        return "Start";
    case ButtonState::Ready:
        return "Ready";
    case ButtonState::Compiled:
        return "Compiled";
    case ButtonState::CompiledAndAdding:
        return "Compiled and adding";
    }
    return "?";
}

} // namespace romform
