#include "tablechange.h"

#include "grid.h"
#include "table.h"

namespace {

// The row that shows `record` now: the remembered row when it still does, else the first row whose
// column 0 names it (the officer rows may have been sorted since).
int rowOfRecord(const Grid& grid, int rememberedRow, const QString& record)
{
    if (grid.text(rememberedRow, 0) == record)
        return rememberedRow;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        if (grid.text(r, 0) == record)
            return r;
    return -1;
}

} // namespace

TableChange::TableChange(TableId table, QList<Byte> bytes, QList<Cell> cells, int focusRow, int focusCol,
                         QString focusRecord)
    : m_table(table), m_bytes(std::move(bytes)), m_cells(std::move(cells)), m_focusRow(focusRow), m_focusCol(focusCol),
      m_focusRecord(std::move(focusRecord))
{
}

int TableChange::apply(Table& table, Side side) const
{
    const bool before = side == Side::Before;
    for (const Byte& byte : m_bytes)
        table.restoreByte(byte.offset, before ? byte.before : byte.after);
    Grid& grid = table.grid();
    {
        // One refresh for the whole change instead of one per cell.
        const RedrawSuspender quiet(grid);
        for (const Cell& cell : m_cells) {
            const int row = rowOfRecord(grid, cell.row, cell.record);
            if (row >= grid.fixedRows())
                grid.setText(row, cell.col, before ? cell.before : cell.after);
        }
    }
    return focusRowIn(table);
}

int TableChange::focusRowIn(const Table& table) const
{
    return rowOfRecord(table.grid(), m_focusRow, m_focusRecord);
}

ChangeRecorder::ChangeRecorder(Table& table, TableId id)
    : m_table(table), m_id(id), m_block(table.block()), m_rows(table.grid().rows()), m_cols(table.grid().cols()),
      m_focusRow(table.grid().row()), m_focusCol(table.grid().col())
{
    const Grid& grid = table.grid();
    m_cells.reserve(qsizetype(m_rows) * m_cols);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            m_cells.push_back(grid.text(r, c));
}

TableChange ChangeRecorder::finish() const
{
    const QByteArray& now = m_table.block();
    QList<TableChange::Byte> bytes;
    for (qsizetype i = 0; i < std::min(now.size(), m_block.size()); ++i)
        if (now[i] != m_block[i])
            bytes.push_back({i, std::uint8_t(m_block[i]), std::uint8_t(now[i])});

    const Grid& grid = m_table.grid();
    QList<TableChange::Cell> cells;
    // Edits never reshape a grid; a reshaped one has no cell-by-cell change to record.
    if (grid.rows() == m_rows && grid.cols() == m_cols) {
        for (int r = grid.fixedRows(); r < m_rows; ++r) {
            for (int c = 0; c < m_cols; ++c) {
                const QString& was = m_cells[qsizetype(r) * m_cols + c];
                QString is = grid.text(r, c);
                if (is != was)
                    cells.push_back({r, c, grid.text(r, 0), was, std::move(is)});
            }
        }
    }
    return TableChange(m_id, std::move(bytes), std::move(cells), m_focusRow, m_focusCol,
                       m_cells.value(qsizetype(m_focusRow) * m_cols));
}
