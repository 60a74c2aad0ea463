#pragma once

#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"
#include "imageblocks.h"
#include "table.h"
#include "tablefactory.h"
#include "tableformat.h"

#include <QString>
#include <QStringList>

#include <cstddef>

// One row's cell texts, left to right.
inline QStringList rowTexts(const Grid& grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.cols(); ++c)
        texts << grid.text(row, c);
    return texts;
}

// Every cell text of every table, table by table and row by row.
inline QStringList allCells(const Document& document)
{
    QStringList cells;
    for (const TableId id : AllTables) {
        const Grid& grid = document.grid(id);
        for (int row = 0; row < grid.rows(); ++row)
            cells << rowTexts(grid, row);
    }
    return cells;
}

// The cells of `id` that do not show what a fresh fill of the block shows for their record ("row,col:
// shown/filled"); the placement names, which come from the name list, are left out.
inline QStringList staleCells(Document& document, TableId id)
{
    const Grid& live = document.grid(id);
    Grid fresh;
    const std::unique_ptr<Table> table = TableFactory::make(id, fresh, document.state());
    table->setUpGrid();
    table->fillGrid();
    QStringList stale;
    for (int row = live.fixedRows(); row < live.rows(); ++row) {
        const int record = TableFormat::of(id).keyedByNumber ? live.text(row, 0).toInt() : row - live.fixedRows();
        for (int c = id == TableId::Placement ? 2 : 0; c < live.cols(); ++c)
            if (const QString filled = fresh.text(record + fresh.fixedRows(), c); live.text(row, c) != filled)
                stale << QStringLiteral("%1,%2: %3/%4").arg(row).arg(c).arg(live.text(row, c), filled);
    }
    return stale;
}

// Everything a user could see of a document, to show that an operation left it as it was.
struct DocumentSnapshot
{
    QString path;
    QString caption;
    Blocks blocks;
    QStringList cells;

    static DocumentSnapshot of(const Document& document)
    {
        DocumentSnapshot s{document.state().currentPath(), document.state().caption(), {}, allCells(document)};
        for (const BlockSpec& range : BlockCatalogue)
            s.blocks[std::size_t(range.id)] = document.state().block(range.id);
        return s;
    }
    bool operator==(const DocumentSnapshot&) const = default;
};
