#include "gridfind.h"

#include "grid.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool hasNumberColumn(const Grid& grid)
{
    return grid.text(0, 0) == u"No"_s;
}

} // namespace

std::optional<GridFind::Hit> GridFind::find(const Grid& grid, int row, int col, bool forward, const QString& text,
                                            const TextMatch::CellExtra& extra, bool includeStart)
{
    const QString needle = TextMatch::fold(text);
    if (needle.isEmpty())
        return std::nullopt;
    return findCell(
        grid, row, col, forward,
        [&grid, &needle, &extra](int r, int c) { return TextMatch::cellContains(grid, r, c, needle, extra); },
        includeStart);
}

std::optional<GridFind::Hit> GridFind::findCell(const Grid& grid, int row, int col, bool forward,
                                                const CellTest& test, bool includeStart)
{
    const int first = grid.fixedRows();
    const int rows = grid.rows() - first;
    const int cols = grid.cols();
    if (rows <= 0 || cols <= 0)
        return std::nullopt;
    const qsizetype total = qsizetype(rows) * cols;
    // Cells are counted in reading order from the first data cell; a start in the header row counts
    // as the cell before the first.
    const bool fromHeader = row < first;
    const qsizetype start =
        fromHeader ? (forward ? total - 1 : 0)
                   : qsizetype(std::min(row, grid.rows() - 1) - first) * cols + std::clamp(col, 0, cols - 1);
    const qsizetype step = forward ? 1 : -1;
    const qsizetype from = includeStart && !fromHeader ? 0 : 1;
    for (qsizetype k = from; k <= total; ++k) {
        const qsizetype at = ((start + step * k) % total + total) % total;
        const int r = int(at / cols) + first;
        const int c = int(at % cols);
        if (grid.isRowHidden(r))
            continue;
        if (test(r, c)) {
            // Past the end going forward the position drops to or below the start, going back it rises.
            const bool passedEnd = k > 0 && (forward ? at <= start : at >= start);
            // From the header row the first cell is no wrap; only a full round back to it would be.
            return Hit{r, c, fromHeader ? k == total : passedEnd};
        }
    }
    return std::nullopt;
}

std::optional<int> GridFind::rowOfRecord(const Grid& grid, int record)
{
    if (!hasNumberColumn(grid)) {
        const int row = grid.fixedRows() + record;
        return record >= 0 && row < grid.rows() ? std::optional<int>(row) : std::nullopt;
    }
    const QString number = QString::number(record);
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        if (grid.text(r, 0) == number)
            return r;
    return std::nullopt;
}

std::optional<int> GridFind::recordOfRow(const Grid& grid, int row)
{
    if (row < grid.fixedRows() || row >= grid.rows())
        return std::nullopt;
    if (!hasNumberColumn(grid))
        return row - grid.fixedRows();
    bool ok = false;
    const int n = grid.text(row, 0).toInt(&ok);
    return ok && n >= 0 ? std::optional<int>(n) : std::nullopt;
}

std::optional<std::pair<int, int>> GridFind::recordRange(const Grid& grid)
{
    if (grid.rows() <= grid.fixedRows())
        return std::nullopt;
    if (!hasNumberColumn(grid))
        return std::pair{0, grid.rows() - grid.fixedRows() - 1};
    std::optional<std::pair<int, int>> range;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        bool ok = false;
        const int n = grid.text(r, 0).toInt(&ok);
        if (!ok)
            continue;
        range = range ? std::pair{std::min(range->first, n), std::max(range->second, n)} : std::pair{n, n};
    }
    return range;
}
