#include "menutable.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

QMap<int, QAction*> MenuTable::build(QMenu& menu, const QList<MenuItem>& items, const std::function<void(int)>& clicked)
{
    QMap<int, QAction*> actions;
    for (const MenuItem& item : items) {
        QAction* action = menu.addAction(item.caption);
        if (item.caption == u"-"_s)
            action->setSeparator(true);
        action->setShortcut(item.shortcut);
        action->setVisible(item.visible);
        const int index = item.index;
        QObject::connect(action, &QAction::triggered, &menu, [clicked, index] { clicked(index); });
        actions.insert(index, action);
    }
    return actions;
}
