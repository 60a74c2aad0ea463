#pragma once

#include "textmatch.h"

#include <functional>
#include <optional>
#include <utility>

class Grid;

// Finds the next or previous data cell whose text contains a text, in reading order (along the row,
// then to the next row), over the rows that are shown, wrapping at either end.
class GridFind
{
public:
    struct Hit
    {
        int row;
        int col;
        // The search passed the last cell (or the first, going back) to reach it.
        bool wrapped;
    };

    // Searches from the cell after (row, col), or before it going back; with `includeStart` the cell
    // itself is tried first (a find that grows as the text is typed stays where it is while it
    // still matches). The start cell, tried last otherwise, is found again after a full round.
    static std::optional<Hit> find(const Grid& grid, int row, int col, bool forward, const QString& text,
                                   const TextMatch::CellExtra& extra, bool includeStart = false);
    // The same walk for the next cell that `test` accepts (a marked difference, say).
    using CellTest = std::function<bool(int row, int col)>;
    static std::optional<Hit> findCell(const Grid& grid, int row, int col, bool forward, const CellTest& test,
                                       bool includeStart = false);

    // The row that shows record `record`: the row whose No column holds that number where the grid
    // has one (officer rows may be sorted), else the record's place after the header rows.
    static std::optional<int> rowOfRecord(const Grid& grid, int record);
    // The other way round: the record a data row shows; nullopt for a header row or a No that is not a
    // whole number.
    static std::optional<int> recordOfRow(const Grid& grid, int row);
    // The lowest and highest record number the grid shows; nullopt for a grid without records.
    static std::optional<std::pair<int, int>> recordRange(const Grid& grid);
};
