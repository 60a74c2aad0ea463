#pragma once

#include "grid.h"

// A grid shaped like the editor's tables: a header row, `fixedCols` label columns, texts that name
// their cell ("r3c4") and the same width for every column.
inline void fillTestGrid(Grid& grid, int rows, int cols, int fixedCols, int widthTwips)
{
    grid.setRedraw(false);
    grid.setRows(rows);
    grid.setCols(cols);
    grid.setFixedCols(fixedCols);
    for (int c = 0; c < cols; ++c) {
        grid.setColWidth(c, widthTwips);
        grid.setText(0, c, QStringLiteral("H%1").arg(c));
        for (int r = 1; r < rows; ++r)
            grid.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    grid.setRedraw(true);
}
