#include "table.h"

#include "editorstate.h"
#include "grid.h"

Table::Table(Grid& grid, EditorState& state, BlockId block) : m_grid(grid), m_state(state), m_block(block) {}

QByteArray& Table::block() const
{
    return m_state.block(m_block);
}

CommitOutcome Table::commitText(int row, int col, const QString& text)
{
    Grid& g = m_grid;
    // A typed-over record number or label would make later stores of the row land in another record.
    if (row < g.fixedRows() || row >= g.rows() || col < 0 || col >= g.cols() || !editRule(col).opensEditor)
        return CommitOutcome::Skipped;
    const std::optional<QString> accepted = checkText(col, text);
    if (!accepted)
        return CommitOutcome::Refused;
    storeText(row, col, *accepted);
    return CommitOutcome::Stored;
}

void Table::takeCell(int row, int col, const QString& text, const QByteArray&)
{
    const Grid& g = m_grid;
    if (row < g.fixedRows() || row >= g.rows() || col < 0 || col >= g.cols() || !editRule(col).opensEditor)
        return;
    storeText(row, col, text);
}

void Table::storeText(int row, int col, const QString& text)
{
    Grid& g = m_grid;
    // The stores read the grid's current cell, so it has to stand on the target while they run, even
    // on a row a filter hides (an import, a take); the user's current cell and selection come back after.
    const Grid::StoreTarget target(g, row, col);
    g.setText(row, col, text);
    storeCell();
}

void Table::setUpShape(int rows, int cols, int fixedCols, const QStringList& headers)
{
    m_grid.setRedraw(false);
    m_grid.setRows(rows);
    m_grid.setCols(cols);
    m_grid.setFixedRows(1);
    m_grid.setFixedCols(fixedCols);
    for (int c = 0; c < headers.size(); ++c)
        m_grid.setText(0, c, headers[c]);
}

int Table::firstEditableColumn() const
{
    for (int c = 0; c < m_grid.cols(); ++c)
        if (editRule(c).opensEditor)
            return c;
    return -1;
}

std::uint8_t Table::byteAt(qsizetype offset) const
{
    return byteIn(block(), offset);
}

std::uint8_t Table::byteIn(const QByteArray& bytes, qsizetype offset)
{
    return (offset >= 0 && offset < bytes.size()) ? static_cast<std::uint8_t>(bytes[offset]) : 0;
}

void Table::setByte(qsizetype offset, std::uint8_t value)
{
    QByteArray& bytes = block();
    if (offset >= 0 && offset < bytes.size())
        bytes[offset] = static_cast<char>(value);
}

std::optional<int> Table::currentRecord() const
{
    bool ok = false;
    const int n = m_grid.text(m_grid.row(), 0).trimmed().toInt(&ok);
    if (!ok || n < 0)
        return std::nullopt;
    return n;
}
