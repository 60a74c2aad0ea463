#pragma once

#include "blockcatalogue.h"
#include "document.h"
#include "grid.h"
#include "imageblocks.h"

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
