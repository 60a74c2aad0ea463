#pragma once

#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

class QAction;
class QMenu;

// One entry of a menu's item array. Items are addressed by their index, never by their position;
// the caption "-" makes a separator, which shows its line only.
struct MenuItem
{
    int index;
    QString caption;
    QKeySequence shortcut = {};
    bool visible = true;
};

// Builds a menu from its item array.
class MenuTable
{
public:
    MenuTable() = delete;

    // Adds the items to `menu` in the order given and returns their actions by index; choosing an
    // item calls `clicked` with the item's index.
    static QMap<int, QAction*> build(QMenu& menu, const QList<MenuItem>& items,
                                     const std::function<void(int)>& clicked);
};
