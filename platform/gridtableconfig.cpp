#include "gridtableconfig.h"

#include <QHeaderView>
#include <QTableView>

void configureGridTable(QTableView& view)
{
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionMode(QAbstractItemView::ContiguousSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectItems);
    view.setWordWrap(false);
    view.setCornerButtonEnabled(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setMinimumSectionSize(0);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}
