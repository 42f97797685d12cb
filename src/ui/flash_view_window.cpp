#include "ui/flash_view_window.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <cmath>

namespace romui {

namespace {

QColor colourOf(const romform::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QRect rectOf(const romform::PixelRect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

// The faces' sans fonts, whose widths the picture's labels are measured against.
QFont labelFont(int pixels) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Arial"});
    font.setPixelSize(std::max(1, pixels));
    return font;
}

void drawText(QPainter& painter, const romform::FlashText& text) {
    const Qt::Alignment across = text.align == romform::TextAlign::Left     ? Qt::AlignLeft
                                 : text.align == romform::TextAlign::Centre ? Qt::AlignHCenter
                                                                            : Qt::AlignRight;
    // Clipped to its box: a font wider than the one measured still keeps a label inside its run.
    painter.save();
    painter.setClipRect(rectOf(text.rect));
    painter.drawText(rectOf(text.rect), across | Qt::AlignVCenter, QString::fromStdString(text.text));
    painter.restore();
}

} // namespace

FlashViewWindow::FlashViewWindow(const romform::WindowModel& model, std::function<void()> closed,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), closed_(std::move(closed)) {
    setObjectName("FlashView");
    setMouseTracking(true);
    pointed_ = new QLabel(this);
    pointed_->setObjectName("FlashViewPointed");
    showPicture();
    resize(picture_.width, picture_.height);
    setMinimumSize(picture_.width / 4, picture_.height / 4);
}

void FlashViewWindow::showPicture() {
    setWindowTitle(QString::fromStdString(model_.flashViewCaption()));
    picture_ = model_.flashPicture();
    // The block under a resting pointer may now hold another row, or the same row under a new letter.
    showPointed();
    update();
}

void FlashViewWindow::hideFromModel() {
    closingFromModel_ = true;
    close();
    closingFromModel_ = false;
}

romform::FlashViewFit FlashViewWindow::fit() const {
    return romform::fitFlashView(picture_, width(), height());
}

QPoint FlashViewWindow::picturePoint(QPoint windowPoint) const {
    const romform::FlashViewFit shown = fit();
    return {shown.pictureX(windowPoint.x()), shown.pictureY(windowPoint.y())};
}

void FlashViewWindow::showPointed() {
    pointed_->setText(pointer_ ? QString::fromStdString(model_.flashPointText(pointer_->x(), pointer_->y()))
                               : QString());
}

void FlashViewWindow::placeBesideMainWindow() {
    QWidget* main = parentWidget();
    if (main == nullptr || main->screen() == nullptr) {
        return;
    }
    const QRect mainFrame = main->frameGeometry();
    const QRect work = main->screen()->availableGeometry();
    // This window is not framed yet; the main window's frame is the best guess of its own.
    const QSize frameExtra = mainFrame.size() - main->size();
    const romform::FlashViewFrame place = romform::placeFlashView(
        picture_, {mainFrame.x(), mainFrame.y(), mainFrame.width(), mainFrame.height()},
        {work.x(), work.y(), work.width(), work.height()}, frameExtra.width(), frameExtra.height(), 1.0);
    resize(place.clientWidth, place.clientHeight);
    move(place.frame.x, place.frame.y);
}

void FlashViewWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        placeBesideMainWindow();
    }
    QWidget::showEvent(event);
}

void FlashViewWindow::resizeEvent(QResizeEvent* event) {
    const romform::FlashViewFit shown = fit();
    const romform::PixelRect& line = picture_.pointLine;
    pointed_->setFont(labelFont(static_cast<int>(std::lround(romform::kFlashPointFontPixels * shown.scale))));
    pointed_->setGeometry(static_cast<int>(std::lround(shown.x + line.x * shown.scale)),
                          static_cast<int>(std::lround(shown.y + line.y * shown.scale)),
                          static_cast<int>(std::lround(line.width * shown.scale)),
                          static_cast<int>(std::lround(line.height * shown.scale)));
    QWidget::resizeEvent(event);
}

void FlashViewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const romform::FlashViewFit shown = fit();
    painter.translate(shown.x, shown.y);
    painter.scale(shown.scale, shown.scale);
    painter.setFont(labelFont(romform::kFlashLabelFontPixels));
    painter.setPen(QPen(Qt::white, 0.6));
    for (const auto& cell : picture_.cells) {
        painter.setBrush(colourOf(cell.fill));
        painter.drawRect(rectOf(cell.rect));
    }
    painter.setBrush(Qt::NoBrush);
    for (const auto& run : picture_.runs) {
        QPen frame(colourOf(run.frame), 1.4);
        frame.setStyle(run.draft ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(frame);
        painter.drawRect(rectOf(run.rect).adjusted(0, 0, -1, -1));
        painter.setPen(colourOf(run.text));
        drawText(painter, run.label);
    }
    const QColor lines(0x26, 0x32, 0x38);
    for (const auto& label : picture_.rowLabels) {
        painter.setPen(Qt::black);
        drawText(painter, label.bank);
        painter.setPen(Qt::darkGray);
        drawText(painter, label.firstBlock);
        const int y = label.bank.rect.y;
        painter.setPen(QPen(lines, label.pieceStarts ? 3 : 1));
        painter.drawLine(label.pieceStarts ? 0 : romform::kFlashGridX, y,
                         romform::kFlashGridX + romform::kFlashGridWidth, y);
    }
    painter.setPen(Qt::darkGray);
    for (const auto& number : picture_.axis) {
        drawText(painter, number);
    }
    for (const auto& entry : picture_.legend) {
        QPen frame(colourOf(entry.frame), 1.4);
        frame.setStyle(entry.dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(frame);
        painter.setBrush(colourOf(entry.fill));
        painter.drawRect(rectOf(entry.swatch).adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        drawText(painter, entry.words);
    }
}

void FlashViewWindow::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = picturePoint(event->position().toPoint());
    showPointed();
    QWidget::mouseMoveEvent(event);
}

bool FlashViewWindow::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint at = picturePoint(help->pos());
        const std::string text = model_.flashPointText(at.x(), at.y());
        if (text.empty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(text), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void FlashViewWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!closingFromModel_ && closed_) {
        closed_();
    }
}

} // namespace romui
