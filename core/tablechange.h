#pragma once

#include "document.h"

#include <QList>
#include <QString>
#include <QVector>

#include <cstdint>

class Table;

// What one edit did to one table, as a value: the block bytes and the cell texts it changed, each
// with its value before and after. Cells remember the record named in column 0 of their row, so the
// change finds them again after the rows were sorted.
class TableChange
{
public:
    struct Byte
    {
        qsizetype offset;
        std::uint8_t before;
        std::uint8_t after;
    };
    struct Cell
    {
        int row;
        int col;
        QString record;
        QString before;
        QString after;
    };
    enum class Side
    {
        Before,
        After,
    };

    TableChange() = default;
    TableChange(TableId table, QList<Byte> bytes, QList<Cell> cells, int focusRow, int focusCol, QString focusRecord);

    TableId table() const { return m_table; }
    const QList<Byte>& bytes() const { return m_bytes; }
    const QList<Cell>& cells() const { return m_cells; }
    bool changesBytes() const { return !m_bytes.isEmpty(); }

    // Puts one side of the change back: the bytes through the table's bounded byte writes, the cell
    // texts into the rows that now show their records. Returns the grid row of the cell the edit was
    // made on (found through its record again), or -1 when no row shows it any more.
    int apply(Table& table, Side side) const;
    // The grid row that shows the record the edit was made on now; -1 when none does.
    int focusRowIn(const Table& table) const;
    // The column of the cell the edit was made on.
    int focusColumn() const { return m_focusCol; }

private:
    TableId m_table = TableId::Officer;
    QList<Byte> m_bytes;
    QList<Cell> m_cells;
    int m_focusRow = -1;
    int m_focusCol = -1;
    QString m_focusRecord;
};

// Takes a copy of a table's block and cells when created; finish() compares them with the table as
// it is then and returns what changed. The copy is a few tens of kilobytes, so recording costs far less
// than the edit's own redraw.
class ChangeRecorder
{
public:
    ChangeRecorder(Table& table, TableId id);

    TableChange finish() const;

private:
    Table& m_table;
    TableId m_id;
    QByteArray m_block;
    QVector<QString> m_cells;
    int m_rows;
    int m_cols;
    int m_focusRow;
    int m_focusCol;
};
