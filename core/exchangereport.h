#pragma once

#include "table.h"

#include <QList>
#include <QString>

// What a paste or an import did with its cells: how many were stored, left alone, refused or skipped,
// and which ones were refused or skipped, so that one message can tell the user.
class ExchangeReport
{
public:
    // One refused or skipped cell, named the way the user sees it.
    struct Cell
    {
        CommitOutcome outcome;
        QString rowLabel;
        QString header;
        QString text;
    };

    // How many problem cells message() lists before it only counts the rest.
    static constexpr int ListedCells = 5;

    // Counts the outcome; a refused or skipped cell is also remembered under the grid's row label and
    // column header (or "表の外" for a cell outside the grid).
    void add(CommitOutcome outcome, const Grid& grid, int row, int col, const QString& text);
    // A cell whose text already was what the grid shows, so nothing was sent.
    void addUnchanged() { ++m_unchanged; }

    int stored() const { return m_stored; }
    int refused() const { return m_refused; }
    int skipped() const { return m_skipped; }
    int unchanged() const { return m_unchanged; }
    // The first ListedCells refused or skipped cells, in the order they were met.
    const QList<Cell>& problemCells() const { return m_cells; }
    bool hasProblems() const { return m_refused > 0 || m_skipped > 0; }

    // The counts and the first few refused or skipped cells, in Japanese; empty when there is no problem.
    QString message() const;
    // What an import that met no problem says: how many values it changed.
    static QString importedMessage(int stored);
    // The label columns of `row` joined by a space, as the user recognises the row.
    static QString rowLabel(const Grid& grid, int row);

private:
    int m_stored = 0;
    int m_refused = 0;
    int m_skipped = 0;
    int m_unchanged = 0;
    QList<Cell> m_cells;
};
