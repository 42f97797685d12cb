// The control table of the window: every control at its place in twips, with its caption or start text,
// its start state and the focus order.
#include "ui/caption_button.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace romui {

namespace {

QLineEdit* makeTextBox(QWidget* window, const char* name, const QString& text, const QRect& box) {
    auto* textBox = new QLineEdit(text, window);
    textBox->setObjectName(name);
    textBox->setGeometry(box);
    return textBox;
}

QLabel* makeLabel(QWidget* window, const char* name, const QString& caption, const QRect& box) {
    auto* label = new QLabel(caption, window);
    label->setObjectName(name);
    label->setGeometry(box);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QPushButton* makeButton(QWidget* window, const char* name, const QString& caption, const QRect& box) {
    auto* button = new CaptionButton(caption, window);
    button->setObjectName(name);
    button->setGeometry(box);
    button->setAutoDefault(false);
    return button;
}

QListWidget* makeList(QWidget* window, const char* name, const QRect& box) {
    auto* list = new QListWidget(window);
    list->setObjectName(name);
    list->setGeometry(box);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    // Like the design's list boxes: one text per row within the column's width, no sideways scrolling.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

// A drawn line from (x1, y1) to (x2, y2) in twips; the design's lines are all horizontal or vertical.
QFrame* makeLine(QWidget* window, const char* name, int x1, int y1, int x2, int y2) {
    auto* line = new QFrame(window);
    line->setObjectName(name);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    const int left = pixels(std::min(x1, x2));
    const int top = pixels(std::min(y1, y2));
    if (y1 == y2) {
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(left, top, pixels(std::abs(x2 - x1)) + 1, 1);
    } else {
        line->setFrameShape(QFrame::VLine);
        line->setGeometry(left, top, 1, pixels(std::abs(y2 - y1)) + 1);
    }
    return line;
}

} // namespace

void Form1::createControls() {
    // The lines lie beneath the controls, framing the hint text and the right-hand button panel.
    lines_ = {
        makeLine(this, "Line1", 9720, 360, 4320, 360), makeLine(this, "Line2", 4320, 0, 9720, 0),
        makeLine(this, "Line3", 9720, 360, 9720, 0),   makeLine(this, "Line4", 4320, 360, 4320, 0),
        makeLine(this, "Line5", 9840, 0, 11160, 0),    makeLine(this, "Line6", 11160, 4680, 11160, 0),
        makeLine(this, "Line7", 9840, 0, 9840, 4680),  makeLine(this, "Line8", 11160, 4680, 9840, 4680)};

    // In focus order.
    Text1 = makeTextBox(this, "Text1", QString(), twipRect(120, 480, 1935, 375));
    labels_[0] = makeLabel(this, "Label1", "ROM Name (16chr MAX)", twipRect(120, 120, 1935, 255));
    labels_[1] = makeLabel(this, "Label2", "File Name", twipRect(2160, 120, 855, 255));
    Text2 = makeTextBox(this, "Text2", " ", twipRect(2160, 480, 1935, 375));
    Command1 = makeButton(this, "Command1", "Find File", twipRect(3120, 120, 975, 255));
    Command2 = makeButton(this, "Command2", "Add ROM", twipRect(9960, 120, 1095, 495));
    auto& lists = columnLists_;
    lists[0] = makeList(this, "List1", twipRect(120, 1080, 1935, 5130));
    lists[1] = makeList(this, "List2", twipRect(2160, 1080, 1935, 5130));
    lists[1]->setTextElideMode(Qt::ElideLeft); // a long path still shows its file name
    Command3 = makeButton(this, "Command3", "Clear List", twipRect(9960, 840, 1095, 615));
    labels_[2] = makeLabel(this, "Label3", "ROM Size (Blocks)", twipRect(4320, 480, 855, 495));
    lists[2] = makeList(this, "List3", twipRect(4200, 1080, 1215, 5130));
    Check1 = new QCheckBox("Save?", this);
    Check1->setObjectName("Check1");
    Check1->setGeometry(twipRect(5520, 600, 855, 495));
    lists[3] = makeList(this, "List4", twipRect(5520, 1080, 735, 5130));
    labels_[3] = makeLabel(this, "Label4", "Save Bank #", twipRect(6480, 720, 975, 375));
    lists[4] = makeList(this, "List5", twipRect(6360, 1080, 1215, 5130));
    labels_[4] = makeLabel(this, "Label5", "Assigned Flash Location", twipRect(7800, 720, 1935, 255));
    lists[5] = makeList(this, "List6", twipRect(7680, 1080, 2055, 5130));
    // The complement column is filled and read like the others but never seen: its heading lies below the
    // client area and its list right of it, hidden as well.
    labels_[5] = makeLabel(this, "Label6", "Complement", twipRect(4680, 6480, 975, 375));
    lists[6] = makeList(this, "List7", twipRect(11400, 1080, 2055, 5130));
    lists[6]->setVisible(false);
    Command4 = makeButton(this, "Command4", "Generate Compilation", twipRect(9960, 2520, 1095, 615));
    // The counter boxes always show the table's counts, so the user cannot type into them.
    Text3 = makeTextBox(this, "Text3", "0", twipRect(9960, 3720, 495, 285));
    Text3->setReadOnly(true);
    Text4 = makeTextBox(this, "Text4", "0", twipRect(9960, 4320, 495, 285));
    Text4->setReadOnly(true);
    labels_[6] = makeLabel(this, "Label7", "Number of ROMS", twipRect(9960, 3240, 975, 375));
    labels_[7] = makeLabel(this, "Label8", "Pages", twipRect(9960, 4080, 615, 255));
    Command5 = makeButton(this, "Command5", "Remove ROM", twipRect(9960, 1680, 1095, 615));
    Command6 = makeButton(this, "Command6", "Debug", twipRect(9840, 5040, 855, 495));
    Command6->setVisible(false);
    labels_[8] = makeLabel(this, "Label9", kSaveHint, twipRect(4440, 120, 5055, 255));
}

void Form1::chainFocusOrder() {
    // Labels never take the focus; Qt skips the disabled "Add ROM" and the hidden List7 and "Debug".
    const auto& lists = columnLists_;
    QWidget* const order[] = {Text1,    Text2,    Command1, Command2, lists[0], lists[1],
                              Command3, lists[2], Check1,   lists[3], lists[4], lists[5],
                              lists[6], Command4, Text3,    Text4,    Command5, Command6};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace romui
