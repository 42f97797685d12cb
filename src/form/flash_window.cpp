// The flash view's window: opened and closed from the View menu, drawn from the flash plan of the table as
// it stands, so that it follows every change live.
#include "form/window_model.h"
#include "plan/plan_status.h"

namespace romform {

FlashPicture WindowModel::flashPicture() const {
    return romform::flashPicture(flashPlan());
}

std::string WindowModel::flashViewCaption() const {
    return std::string("Flash Map - ") + kWindowCaption;
}

std::string WindowModel::flashPointText(int x, int y) const {
    const auto block = blockAtPoint(x, y);
    return block ? romc::blockStatus(flashPlan(), *block) : std::string();
}

Reaction WindowModel::toggleFlashView() {
    flashViewOpen_ = !flashViewOpen_;
    Reaction reaction;
    reaction.refresh.add(WindowPart::FlashView).add(WindowPart::MenuBar);
    return reaction;
}

Reaction WindowModel::flashViewClosed() {
    if (!flashViewOpen_) {
        return {};
    }
    return toggleFlashView();
}

} // namespace romform
