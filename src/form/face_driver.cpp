#include "form/face_driver.h"

namespace romform {

void FaceDriver::load() {
    handle(Loaded{});
}

void FaceDriver::handle(const UserEvent& event) {
    if (showing_) {
        return;
    }
    apply(model_->handle(event));
}

bool FaceDriver::closeRequested() {
    if (closeAgreed_) {
        closeAgreed_ = false;
        return true;
    }
    Reaction reaction = model_->requestClose();
    const bool closes = reaction.closeWindow;
    reaction.closeWindow = false; // this is the close already: the face's event says it
    apply(reaction);
    return closes;
}

void FaceDriver::showControl(ControlId id) {
    view_->showState(id, model_->enabled(id), model_->visible(id));
    switch (control(id).kind) {
    case ControlKind::TextBox:
        view_->showText(id, model_->text(id));
        break;
    case ControlKind::CheckBox:
        view_->showTick(id, model_->checked(id));
        break;
    case ControlKind::ListBox:
        view_->showRows(id, model_->rows(id), model_->selectedRow(id));
        break;
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Line:
        break;
    }
}

void FaceDriver::apply(const Reaction& reaction) {
    showing_ = true;
    for (const auto& control : controlTable()) {
        if (reaction.refresh.has(control.id)) {
            showControl(control.id);
        }
    }
    if (reaction.refresh.has(WindowPart::Caption)) {
        view_->showCaption(model_->caption());
    }
    if (reaction.refresh.has(WindowPart::MenuBar)) {
        view_->showMenuBar(model_->menuBar());
    }
    if (reaction.refresh.has(WindowPart::StatusLine)) {
        view_->showStatusLine(model_->statusText());
    }
    if (reaction.refresh.has(WindowPart::FlashView)) {
        view_->showFlashView(model_->flashViewOpen());
    }
    showing_ = false;
    if (reaction.editName) {
        view_->editName(*reaction.editName);
    }
    if (reaction.focus) {
        view_->moveFocus(*reaction.focus);
    }
    if (reaction.message) {
        view_->showMessage(*reaction.message);
    }
    if (reaction.closeWindow) {
        closeAgreed_ = true;
        view_->startClose();
    }
}

} // namespace romform
