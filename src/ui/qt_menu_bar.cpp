#include "ui/qt_menu_bar.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace romui {

namespace {

// Alt and the access key open a menu or choose an item; any other "&" is shown as it is.
QString caption(const std::string& text, int accessKey) {
    return QString::fromStdString(romform::markedCaption(text, accessKey));
}

} // namespace

void fillMenuBar(QMenuBar& bar, const romform::MenuBar& menus,
                 const std::function<void(romform::MenuCommand)>& chosen) {
    // The old menus go later, not now: the item chosen may be the one whose command rebuilt the bar.
    for (QAction* action : bar.actions()) {
        if (QMenu* old = action->menu()) {
            old->deleteLater();
        }
    }
    bar.clear();
    for (const auto& menu : menus.menus) {
        QMenu* shown = bar.addMenu(caption(menu.caption, menu.accessKey));
        // A menu is a window of its own and takes the application's font, not the bar's: the items are
        // written in the controls' font the bar has from the main window.
        shown->setFont(bar.font());
        for (const auto& item : menu.items) {
            if (item.separatorBefore) {
                shown->addSeparator();
            }
            QAction* action = shown->addAction(caption(item.caption, item.accessKey));
            action->setShortcut(
                QKeySequence(QString::fromStdString(item.shortcut), QKeySequence::PortableText));
            action->setEnabled(item.enabled);
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            const romform::MenuCommand command = item.command;
            QObject::connect(action, &QAction::triggered, &bar, [chosen, command] { chosen(command); });
        }
    }
}

} // namespace romui
