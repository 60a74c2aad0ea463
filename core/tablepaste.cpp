#include "tablepaste.h"

#include "cellblock.h"
#include "grid.h"
#include "gridbatch.h"
#include "table.h"

#include <algorithm>

ExchangeReport TablePaste::paste(Table& table, const QString& text, CellRange* covered)
{
    const Grid& grid = table.grid();
    // With no row shown there is no current cell, and no place the user chose.
    if (!grid.hasCurrentCell())
        return {};
    const int top = std::min(grid.row(), grid.rowSel());
    const int left = std::min(grid.col(), grid.colSel());
    const CellBlock block = CellBlock::parse(text);
    const bool selection = grid.row() != grid.rowSel() || grid.col() != grid.colSel();
    if (block.isSingleValue() && selection) {
        return fill(table, block.rows().front().front(), top, left, std::max(grid.row(), grid.rowSel()),
                    std::max(grid.col(), grid.colSel()));
    }
    return pasteAt(table, block, top, left, covered);
}

ExchangeReport TablePaste::pasteAt(Table& table, const CellBlock& block, int top, int left, CellRange* covered)
{
    ExchangeReport report;
    const Grid& grid = table.grid();
    const GridBatch batch(table.grid());
    CellRange range;
    // Under a filter the block goes into consecutive shown rows, as the user sees them.
    int row = grid.isRowHidden(top) ? grid.nextShownRow(top, 1) : top;
    for (int r = 0; r < block.rows().size(); ++r, row = grid.nextShownRow(row, 1)) {
        const QStringList& cells = block.rows()[r];
        for (int c = 0; c < cells.size(); ++c) {
            const int col = left + c;
            report.add(table.commitText(row, col, cells[c]), grid, row, col, cells[c]);
        }
        if (row >= grid.fixedRows() && row < grid.rows() && !cells.isEmpty() && left < grid.cols()) {
            range.top = range.isEmpty() ? row : range.top;
            range.left = left;
            range.bottom = row;
            range.right = std::max(range.right, std::min(left + int(cells.size()) - 1, grid.cols() - 1));
        }
    }
    if (covered)
        *covered = range;
    return report;
}

ExchangeReport TablePaste::fill(Table& table, const QString& value, int top, int left, int bottom, int right)
{
    ExchangeReport report;
    const GridBatch batch(table.grid());
    for (int row = top; row <= bottom; ++row) {
        // Rows a filter hides are not part of what the user selected.
        if (table.grid().isRowHidden(row))
            continue;
        for (int col = left; col <= right; ++col)
            report.add(table.commitText(row, col, value), table.grid(), row, col, value);
    }
    return report;
}
