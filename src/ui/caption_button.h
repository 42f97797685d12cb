// A push button whose caption wraps within its box, as the window's narrow buttons ("Generate
// Compilation" in 73 pixels) need; the caption stays one text for tests and accessibility tools.
#pragma once

#include <QPushButton>

namespace romui {

class CaptionButton : public QPushButton {
    Q_OBJECT

  public:
    CaptionButton(const QString& caption, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace romui
