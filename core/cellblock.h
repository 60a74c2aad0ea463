#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A block of cell texts as the clipboard carries it: a tab between cells, CR LF, LF or CR between
// rows, and a line end after the last row that is not a row of its own.
class CellBlock
{
public:
    static CellBlock parse(const QString& text);

    const QList<QStringList>& rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // One row of one cell: the value a selection is filled with.
    bool isSingleValue() const { return m_rows.size() == 1 && m_rows.front().size() == 1; }
    qsizetype cellCount() const;

private:
    QList<QStringList> m_rows;
};
