#include "menutable.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

QMap<int, QAction*> MenuTable::build(QMenu& menu, const QList<MenuItem>& items, const std::function<void(int)>& clicked)
{
    QMap<int, QAction*> actions;
    for (const MenuItem& item : items) {
        // A separator carries no text: some styles draw a separator's text beside its line.
        QAction* action = item.caption == u"-"_s ? menu.addSeparator() : menu.addAction(item.caption);
        action->setShortcut(item.shortcut);
        action->setVisible(item.visible);
        const int index = item.index;
        QObject::connect(action, &QAction::triggered, &menu, [clicked, index] { clicked(index); });
        actions.insert(index, action);
    }
    return actions;
}
