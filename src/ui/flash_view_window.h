// The flash view's window, beside the main one: paints the model's flash picture scaled to the window and
// names the block under the pointer, below the grid and as a tooltip.
#pragma once

#include "form/window_model.h"

#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

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
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    romform::FlashViewFit fit() const;
    QPoint picturePoint(QPoint windowPoint) const;
    void showPointed();
    void placeBesideMainWindow();

    const romform::WindowModel& model_;
    std::function<void()> closed_;
    romform::FlashPicture picture_;
    QLabel* pointed_ = nullptr;
    std::optional<QPoint> pointer_; // the picture's point the pointer last rested on
    bool closingFromModel_ = false;

  public:
    // Hides the window because the model says so, without reporting it back as the user's close.
    void hideFromModel();
};

} // namespace romui
