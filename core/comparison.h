#pragma once

#include "compareside.h"
#include "document.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

// The open document compared with another side, cell by cell: in every table, each stored column
// (one the editor types into; not a label or a computed column) of each record whose value, as a fresh
// fill of this side's current bytes shows it, differs from the other side's is marked, and the other
// side's text is kept. Marks are kept by record (the number in column 0; the item grid's rows are its
// records), so they follow the officer rows through a sort. The grids' rows and columns are the live
// grids' coordinates throughout.
class Comparison
{
public:
    // Reads the other side's fields from `side` and marks every table of `doc`.
    Comparison(Document& doc, CompareSide side);
    ~Comparison();
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    const CompareSide& side() const { return m_side; }
    // After a save: the bytes outside the tables counted against the file as saved.
    void recountOutside(const QString& openedPath) { m_side.recountOutside(openedPath); }

    // Marks one table again from its current bytes, after an edit, an undo or a redo changed them.
    void update(TableId id);

    // One cell of a table by record, with the value the two sides started from.
    struct Cell
    {
        TableId table;
        int record;
        int col;
        QString baseText;
    };
    // From now on marks only these cells (while they still differ), as a merge shows its conflicts.
    void limitTo(const QList<Cell>& cells);
    // The starting value limitTo gave a marked cell; nullopt for any other cell.
    std::optional<QString> baseText(TableId id, int row, int col) const;

    int count(TableId id) const;
    int total() const;
    // Bytes of the tables that would still differ once every marked cell took the other side's value:
    // bytes no stored column shows (a flag between two fields, a read-only column, 寿命's other half).
    // takeAll() takes them too.
    qint64 unshownBytes() const;
    bool isMarked(TableId id, int row, int col) const;
    // The other side's text of a marked cell; nullopt for a cell that is not marked.
    std::optional<QString> otherText(TableId id, int row, int col) const;
    bool rowHasMarks(TableId id, int row) const;

    // The marked cells of the block from (top, left) to (bottom, right), either corner first, on rows the
    // grid shows.
    int countIn(TableId id, int top, int left, int bottom, int right) const;
    // Takes the other side's value into each of those cells, exactly as the other side stores it, and
    // returns how many; update() follows once the edit is recorded.
    int take(TableId id, int top, int left, int bottom, int right);
    // Takes every marked cell of every table, hidden rows and grids included, and returns how many.
    int takeAllCells();
    // takeAllCells, then the bytes of the tables that no column shows (a flag between two fields), so
    // that the five tables equal the other side's; returns the number of cells.
    int takeAll();

private:
    struct Sheet;

    // The record the live grid's row shows; nullopt for a header row or a row without one.
    std::optional<int> recordOf(TableId id, int row) const;
    bool markedRecord(TableId id, int record, int col) const;
    // The other side's block of the table.
    const QByteArray& otherBlock(TableId id) const;
    Sheet& sheet(TableId id) const { return *m_sheets[static_cast<std::size_t>(id)]; }

    Document& m_doc;
    CompareSide m_side;
    std::array<std::unique_ptr<Sheet>, 5> m_sheets;
};
