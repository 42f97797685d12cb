#include "ui/caption_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace romui {

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void CaptionButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect textBox = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(textBox, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(), caption,
                         QPalette::ButtonText);
}

} // namespace romui
