#include "grid.h"

#include <algorithm>
#include <optional>

std::optional<double> Grid::numberIn(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) ? 1 : 0;
    qsizetype digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

Grid::Grid(QObject* parent) : QObject(parent) {}

void Grid::setRows(int rows)
{
    resize(std::max(rows, 0), m_cols);
}

void Grid::setCols(int cols)
{
    resize(m_rows, std::max(cols, 0));
}

void Grid::resize(int rows, int cols)
{
    if (rows == m_rows && cols == m_cols)
        return;
    QVector<QString> cells(qsizetype(rows) * cols);
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            cells[r * cols + c] = m_cells[index(r, c)];
    m_cells = std::move(cells);
    // A reshaped grid has no original to compare with until the next fill marks one.
    m_original.clear();
    const bool hadHidden = hasHiddenRows();
    m_hidden.clear();
    m_hiddenCount = 0;
    m_widths.resize(cols, DefaultColumnWidth);
    m_alignments.resize(cols, ColumnAlignment::Default);
    m_rows = rows;
    m_cols = cols;
    // A shrink pulls the current cell back inside; an empty dimension leaves it for the next resize.
    // Every row is shown again, so a grid that had no current cell has one.
    if (rows > 0)
        m_row = m_rowSel = m_row < 0 ? std::min(m_fixedRows, rows - 1) : std::min(m_row, rows - 1);
    if (cols > 0)
        m_col = m_colSel = std::min(m_col, cols - 1);
    announceRefresh();
    if (hadHidden)
        Q_EMIT hiddenRowsChanged();
}

void Grid::setFixedRows(int rows)
{
    m_fixedRows = std::max(rows, 0);
    announceRefresh();
}

void Grid::setFixedCols(int cols)
{
    m_fixedCols = std::max(cols, 0);
    announceRefresh();
}

QString Grid::text(int row, int col) const
{
    return contains(row, col) ? m_cells[index(row, col)] : QString();
}

void Grid::setText(int row, int col, const QString& text)
{
    if (!contains(row, col))
        return;
    QString& cell = m_cells[index(row, col)];
    if (cell == text)
        return;
    cell = text;
    if (m_redraw)
        Q_EMIT cellChanged(row, col);
}

int Grid::colWidth(int col) const
{
    return (col >= 0 && col < m_cols) ? m_widths[col] : DefaultColumnWidth;
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols)
        return;
    m_widths[col] = twips;
    announceRefresh();
}

ColumnAlignment Grid::colAlignment(int col) const
{
    return (col >= 0 && col < m_cols) ? m_alignments[col] : ColumnAlignment::Default;
}

void Grid::setColAlignment(int col, ColumnAlignment alignment)
{
    if (col < 0 || col >= m_cols)
        return;
    m_alignments[col] = alignment;
    announceRefresh();
}

void Grid::setCurrentCell(int row, int col)
{
    if (!contains(row, col))
        return;
    // Qt's own moves (a header click selects the whole column, hidden rows included), a block's corner
    // and any caller alike end on a shown row, so that nothing typed reaches a record the user cannot see.
    if (isRowHidden(row)) {
        const int below = nextShownRow(row, 1);
        const int above = nextShownRow(row, -1);
        row = below < m_rows ? below : (above >= m_fixedRows ? above : -1);
        if (row < 0) {
            m_col = m_colSel = col;
            clearCurrentCell();
            return;
        }
    }
    const bool moved = row != m_row || col != m_col;
    const bool collapsed = m_rowSel != row || m_colSel != col;
    m_row = m_rowSel = row;
    m_col = m_colSel = col;
    if (moved)
        Q_EMIT currentCellChanged(row, col);
    else if (collapsed)
        Q_EMIT selectionChanged();
}

Grid::StoreTarget::StoreTarget(Grid& grid, int row, int col)
    : m_grid(grid), m_row(grid.m_row), m_col(grid.m_col), m_rowSel(grid.m_rowSel), m_colSel(grid.m_colSel)
{
    if (!grid.contains(row, col))
        return;
    grid.m_row = grid.m_rowSel = row;
    grid.m_col = grid.m_colSel = col;
}

Grid::StoreTarget::~StoreTarget()
{
    m_grid.m_row = m_row;
    m_grid.m_col = m_col;
    m_grid.m_rowSel = m_rowSel;
    m_grid.m_colSel = m_colSel;
}

void Grid::clearCurrentCell()
{
    if (m_row < 0)
        return;
    m_row = m_rowSel = -1;
    Q_EMIT currentCellChanged(m_row, m_col);
}

void Grid::setSelectionEnd(int rowSel, int colSel)
{
    if (!hasCurrentCell() || !contains(rowSel, colSel) || (rowSel == m_rowSel && colSel == m_colSel))
        return;
    m_rowSel = rowSel;
    m_colSel = colSel;
    Q_EMIT selectionChanged();
}

QString Grid::clip() const
{
    const int top = std::min(m_row, m_rowSel);
    const int bottom = std::max(m_row, m_rowSel);
    const int left = std::min(m_col, m_colSel);
    const int right = std::max(m_col, m_colSel);
    QString out;
    bool first = true;
    for (int r = top; r <= bottom; ++r) {
        if (isRowHidden(r))
            continue;
        if (!first)
            out += QLatin1Char('\r');
        first = false;
        for (int c = left; c <= right; ++c) {
            if (c > left)
                out += QLatin1Char('\t');
            out += text(r, c);
        }
    }
    return out;
}

void Grid::setRedraw(bool on)
{
    if (m_redraw == on)
        return;
    m_redraw = on;
    if (on)
        Q_EMIT refreshed();
}

void Grid::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    Q_EMIT visibilityChanged(visible);
}

void Grid::sortNumeric(int col, bool descending)
{
    if (col < 0 || col >= m_cols || m_rows <= m_fixedRows)
        return;
    struct Key
    {
        std::optional<double> number;
        QString text;
        int row;
    };
    QVector<Key> keys;
    keys.reserve(m_rows - m_fixedRows);
    for (int r = m_fixedRows; r < m_rows; ++r)
        keys.push_back({numberIn(text(r, col)), text(r, col), r});
    // The whole grid is sorted, hidden rows too: they keep their mark and stay hidden, and clearing
    // a filter shows the whole grid in the order the user asked for.
    std::stable_sort(keys.begin(), keys.end(), [descending](const Key& a, const Key& b) {
        if (a.number.has_value() != b.number.has_value())
            return a.number.has_value();
        if (a.number)
            return descending ? *a.number > *b.number : *a.number < *b.number;
        const int order = a.text.compare(b.text);
        return descending ? order > 0 : order < 0;
    });
    const auto reorder = [&](QVector<QString>& rows) {
        QVector<QString> sorted = rows;
        for (int i = 0; i < keys.size(); ++i)
            std::copy_n(rows.cbegin() + index(keys[i].row, 0), m_cols, sorted.begin() + index(m_fixedRows + i, 0));
        rows = std::move(sorted);
    };
    reorder(m_cells);
    if (!m_original.isEmpty())
        reorder(m_original);
    // Under a filter the row at the current cell's place may now be a hidden one: the current cell
    // follows its record, whose row keeps its mark. With every row shown it keeps its place, as
    // spreadsheets do.
    const int from = m_row;
    if (!m_hidden.isEmpty()) {
        QVector<bool> hidden = m_hidden;
        for (int i = 0; i < keys.size(); ++i) {
            hidden[m_fixedRows + i] = m_hidden[keys[i].row];
            if (keys[i].row == from) {
                m_row = m_rowSel = m_fixedRows + i;
                m_colSel = m_col;
            }
        }
        m_hidden = std::move(hidden);
    }
    announceRefresh();
    if (m_row != from)
        Q_EMIT currentCellChanged(m_row, m_col);
}

QString Grid::originalText(int row, int col) const
{
    if (!contains(row, col) || m_original.isEmpty())
        return {};
    return m_original[index(row, col)];
}

bool Grid::isChanged(int row, int col) const
{
    return contains(row, col) && !m_original.isEmpty() && m_original[index(row, col)] != m_cells[index(row, col)];
}

void Grid::markAllOriginal()
{
    m_original = m_cells;
    Q_EMIT originalsMarked();
}

void Grid::announceRefresh()
{
    if (m_redraw)
        Q_EMIT refreshed();
}

bool Grid::isRowHidden(int row) const
{
    return row >= 0 && row < m_hidden.size() && m_hidden[row];
}

int Grid::shownRowCount() const
{
    return std::max(m_rows - m_fixedRows, 0) - m_hiddenCount;
}

void Grid::setHiddenRows(const QVector<bool>& hidden)
{
    QVector<bool> flags(m_rows, false);
    int count = 0;
    for (int r = m_fixedRows; r < std::min<qsizetype>(m_rows, hidden.size()); ++r)
        if (hidden[r]) {
            flags[r] = true;
            ++count;
        }
    if (count == 0)
        flags.clear();
    // Sizes first: comparing two empty lists hands memcmp a null pointer.
    if (flags.size() == m_hidden.size() && (flags.isEmpty() || flags == m_hidden))
        return;
    m_hidden = std::move(flags);
    m_hiddenCount = count;
    const bool moved = keepCurrentOnShownRow();
    Q_EMIT hiddenRowsChanged();
    if (moved)
        Q_EMIT currentCellChanged(m_row, m_col);
}

bool Grid::keepCurrentOnShownRow()
{
    if (m_row >= 0 && !isRowHidden(m_row))
        return false;
    const int first = nextShownRow(m_fixedRows - 1, 1);
    const int row = first < m_rows ? first : -1;
    if (row == m_row)
        return false;
    m_row = m_rowSel = row;
    m_colSel = m_col;
    return true;
}

void Grid::showAllRows()
{
    setHiddenRows({});
}

int Grid::nextShownRow(int row, int step) const
{
    const int direction = step < 0 ? -1 : 1;
    for (int r = row + direction; r >= 0 && r < m_rows; r += direction)
        if (!isRowHidden(r))
            return r;
    return direction < 0 ? -1 : m_rows;
}
