#include "gridcelldelegate.h"

#include "gridmodel.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(GridModel::ComparedRole).toBool())
        return;
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    if (cell.width() < 4 || cell.height() < 4)
        return;
    painter->save();
    const QColor mark = GridModel::comparedCellMark();
    painter->setPen(QPen(mark, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    // The corner tells a marked cell at a glance even where the frame meets the grid lines.
    const int corner = std::min({cell.width(), cell.height(), 5});
    painter->setPen(Qt::NoPen);
    painter->setBrush(mark);
    painter->drawPolygon(QPolygon({cell.topRight() - QPoint(corner, 0), cell.topRight() + QPoint(1, 0),
                                   cell.topRight() + QPoint(1, corner + 1)}));
    painter->restore();
}
