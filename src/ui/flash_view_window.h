// The flash view's window, beside the main one: paints the model's flash picture and names the block under
// the pointer, below the grid and as a tooltip.
#pragma once

#include "form/window_model.h"

#include <QWidget>
#include <functional>

class QLabel;

namespace romui {

class FlashViewWindow : public QWidget {
    Q_OBJECT

  public:
    // `closed` runs when the user closes this window by its own title bar.
    FlashViewWindow(const romform::WindowModel& model, std::function<void()> closed, QWidget* parent);

    void showPicture(); // the model's picture as it is now

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    const romform::WindowModel& model_;
    std::function<void()> closed_;
    romform::FlashPicture picture_;
    QLabel* pointed_ = nullptr;
    bool closingFromModel_ = false;

  public:
    // Hides the window because the model says so, without reporting it back as the user's close.
    void hideFromModel();
};

} // namespace romui
