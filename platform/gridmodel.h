#pragma once

#include "grid.h"

#include <QAbstractTableModel>
#include <QColor>

#include <functional>
#include <optional>

// Shows a Grid to Qt's item views: row 0 of the grid is the horizontal header, the grid's rows from
// 1 on are the model's rows from 0 on, columns are the same. The shape is taken at each refresh of
// the grid, so the views never see it change under them while the grid's drawing is off.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Grid rows above the first model row: the header row.
    static constexpr int HeaderRows = 1;
    // True for a cell that differs from the image it is compared with (see setCompareSource).
    static constexpr int ComparedRole = Qt::UserRole + 1;

    explicit GridModel(Grid& grid, QObject* parent = nullptr);

    Grid& grid() const { return m_grid; }

    // Text a cell's tooltip shows besides "元の値: …" (the officer's name from the list, say), asked for
    // each time the tooltip is; empty text adds nothing.
    using ToolTipSource = std::function<QString(int gridRow, int col)>;
    void setToolTipSource(ToolTipSource source) { m_toolTipSource = std::move(source); }
    // The other side's text of a cell that differs from it in a comparison; nullopt for any other cell.
    // An empty source ends the marks. Either way every cell is drawn again.
    using CompareSource = std::function<std::optional<QString>(int gridRow, int col)>;
    void setCompareSource(CompareSource source);
    // For a compared cell, the value both sides started from (after a merge); the tooltip then reads
    // "元の値: 80 / 比較先: 95".
    void setCompareBaseSource(CompareSource source) { m_compareBaseSource = std::move(source); }
    // The marks changed (an edit, an undo): every cell is drawn again.
    void refreshMarks();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static int toGridRow(int modelRow) { return modelRow + HeaderRows; }
    static int toModelRow(int gridRow) { return gridRow - HeaderRows; }

    // Cell text as shown: the NUL padding some fields carry is not drawn.
    static QString displayText(const QString& text);
    // The background of a cell whose value differs from the file: a translucent amber that stays readable
    // over light and dark palettes alike.
    static QColor changedCellTint();
    // The frame and corner of a cell that differs from the compared image: a magenta that neither the
    // amber tint nor the blue selection hides.
    static QColor comparedCellMark();
    // Qt alignment of a grid column for a text; `Default` puts numbers right and other text left.
    static Qt::Alignment alignmentFor(ColumnAlignment alignment, const QString& text);

private:
    void onCellChanged(int row, int col);
    void onRefreshed();
    void onOriginalsMarked();

    QString toolTip(int row, int col) const;

    Grid& m_grid;
    ToolTipSource m_toolTipSource;
    CompareSource m_compareSource;
    CompareSource m_compareBaseSource;
    int m_rows = 0;
    int m_cols = 0;
};
