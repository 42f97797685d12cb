// The window's widgets, one per entry of the model's control table: its kind of widget, its object name,
// its place, its caption or start text, its visibility and the focus order.
#include "ui/caption_button.h"
#include "ui/form1.h"
#include "ui/qt_text.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyledItemDelegate>

namespace romui {

namespace {

// The design font is ten pixels high (form1.cpp): a sign with its margins fits in a row of that text.
constexpr int kWarningSignPixels = 8;

using romform::Control;
using romform::ControlKind;

QWidget* makeTextBox(QWidget* client, const Control& control) {
    auto* box = new QLineEdit(shown(control.text), client);
    box->setReadOnly(control.readOnly);
    return box;
}

QWidget* makeLabel(QWidget* client, const Control& control) {
    auto* label = new QLabel(shown(control.text), client);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QWidget* makeButton(QWidget* client, const Control& control) {
    auto* button = new CaptionButton(shown(control.text), client);
    button->setAutoDefault(false);
    return button;
}

// Rows as high as their text whether or not a sign stands before it: the seven columns are separate lists
// whose rows must stay side by side.
class EvenRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.features &= ~QStyleOptionViewItem::HasDecoration;
        plain.icon = QIcon();
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        return style->sizeFromContents(QStyle::CT_ItemViewItem, &plain, QSize(), widget);
    }
};

QWidget* makeList(QWidget* client, const Control& control) {
    auto* list = new QListWidget(client);
    list->setItemDelegate(new EvenRowDelegate(list));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    // Like the design's list boxes: one text per row within the column's width, no sideways scrolling.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A name's warning sign no taller than its text, so that the columns' rows stay side by side.
    list->setIconSize(QSize(kWarningSignPixels, kWarningSignPixels));
    if (control.keepsTextEnd) {
        list->setTextElideMode(Qt::ElideLeft);
    }
    return list;
}

// A one-pixel line that covers both of its ends; it lies beneath the controls.
QWidget* makeLine(QWidget* client, const Control& control) {
    auto* line = new QFrame(client);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    const romform::TwipLine& ends = control.ends;
    const int left = pixels(std::min(ends.x1, ends.x2));
    const int top = pixels(std::min(ends.y1, ends.y2));
    if (ends.y1 == ends.y2) {
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(left, top, pixels(std::abs(ends.x2 - ends.x1)) + 1, 1);
    } else {
        line->setFrameShape(QFrame::VLine);
        line->setGeometry(left, top, 1, pixels(std::abs(ends.y2 - ends.y1)) + 1);
    }
    line->lower();
    return line;
}

QWidget* makeControl(QWidget* client, const Control& control) {
    switch (control.kind) {
    case ControlKind::TextBox:
        return makeTextBox(client, control);
    case ControlKind::Label:
        return makeLabel(client, control);
    case ControlKind::Button:
        return makeButton(client, control);
    case ControlKind::CheckBox:
        return new QCheckBox(shown(control.text), client);
    case ControlKind::ListBox:
        return makeList(client, control);
    case ControlKind::Line:
        return makeLine(client, control);
    }
    return nullptr;
}

} // namespace

void Form1::createControls() {
    for (const Control& control : romform::controlTable()) {
        QWidget* made = makeControl(client_, control);
        made->setObjectName(shown(control.name));
        if (control.kind != ControlKind::Line) {
            made->setGeometry(twipRect(control.box));
        }
        if (!control.visible) {
            made->setVisible(false);
        }
        controls_[romform::indexOf(control.id)] = made;
    }
}

void Form1::chainFocusOrder() {
    // The table lists the controls in tab order. Labels and lines never take the focus; Qt itself skips
    // what is disabled or hidden, as "Add ROM" at start, List7 and "Debug".
    QWidget* previous = nullptr;
    for (const Control& control : romform::controlTable()) {
        if (!control.takesFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget(control.id));
        }
        previous = widget(control.id);
    }
}

} // namespace romui
