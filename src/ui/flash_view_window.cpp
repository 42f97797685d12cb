#include "ui/flash_view_window.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace romui {

namespace {

constexpr int kPointedLineHeight = 20;
constexpr int kLabelFontPixels = 10;

QColor colourOf(const romform::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QRect rectOf(const romform::PixelRect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

} // namespace

FlashViewWindow::FlashViewWindow(const romform::WindowModel& model, std::function<void()> closed,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), closed_(std::move(closed)) {
    setObjectName("FlashView");
    setFixedSize(romform::kFlashViewWidth, romform::kFlashViewHeight + kPointedLineHeight);
    setMouseTracking(true);
    pointed_ = new QLabel(this);
    pointed_->setObjectName("FlashViewPointed");
    pointed_->setGeometry(romform::kFlashGridX, romform::kFlashViewHeight, romform::kFlashGridWidth,
                          kPointedLineHeight);
    showPicture();
}

void FlashViewWindow::showPicture() {
    setWindowTitle(QString::fromStdString(model_.flashViewCaption()));
    picture_ = model_.flashPicture();
    update();
}

void FlashViewWindow::hideFromModel() {
    closingFromModel_ = true;
    close();
    closingFromModel_ = false;
}

void FlashViewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font = painter.font();
    font.setPixelSize(kLabelFontPixels);
    painter.setFont(font);
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
        painter.drawText(rectOf(run.rect).adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromStdString(run.label));
    }
    for (const auto& label : picture_.rowLabels) {
        painter.setPen(Qt::black);
        painter.drawText(rectOf(label.rect), Qt::AlignVCenter | Qt::AlignRight,
                         QString::fromStdString(label.text));
        const int y = label.rect.y;
        painter.setPen(QPen(QColor(0x26, 0x32, 0x38), label.pieceStarts ? 3 : 1));
        painter.drawLine(label.pieceStarts ? 0 : romform::kFlashGridX, y,
                         romform::kFlashGridX + romform::kFlashGridWidth, y);
    }
}

void FlashViewWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pointed_->setText(QString::fromStdString(model_.flashPointText(at.x(), at.y())));
    QWidget::mouseMoveEvent(event);
}

bool FlashViewWindow::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string text = model_.flashPointText(help->pos().x(), help->pos().y());
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
