#pragma once

#include <QStyledItemDelegate>

// Draws a grid cell as Qt's own delegate does (text, the changed-cell tint, the selection) and, over
// that, the mark of a cell that differs from a compared image: a frame and a filled top-right corner
// in GridModel::comparedCellMark(), so that tint and mark show together.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
