#include "comparison.h"

#include "editorstate.h"
#include "gridbatch.h"
#include "grid.h"
#include "table.h"
#include "tablefactory.h"
#include "tableformat.h"

#include <QVector>

#include <algorithm>

// One table of both sides, each a scratch grid filled in record order (the row of record n is n + 1),
// and the marks: one per record and column.
struct Comparison::Sheet
{
    Grid other;
    std::unique_ptr<Table> otherTable;
    Grid mine;
    std::unique_ptr<Table> mineTable;
    Grid taken;
    std::unique_ptr<Table> takenTable;
    qint64 unshown = 0;
    QVector<int> storedColumns;
    QVector<bool> marks;
    QVector<int> rowMarks;
    int count = 0;

    int cols() const { return other.cols(); }
    int records() const { return other.rows() - other.fixedRows(); }
};

Comparison::Comparison(Document& doc, CompareSide side)
    : m_doc(doc), m_side(std::move(side)), m_other(std::make_unique<EditorState>()),
      m_taken(std::make_unique<EditorState>())
{
    m_other->replaceBlocks(m_side.blocks());
    m_taken->replaceBlocks(m_side.blocks());
    for (const TableId id : AllTables) {
        auto sheet = std::make_unique<Sheet>();
        sheet->other.setRedraw(false);
        sheet->mine.setRedraw(false);
        sheet->otherTable = TableFactory::make(id, sheet->other, *m_other);
        sheet->otherTable->setUpGrid();
        sheet->otherTable->fillGrid();
        sheet->mineTable = TableFactory::make(id, sheet->mine, doc.state());
        sheet->mineTable->setUpGrid();
        sheet->taken.setRedraw(false);
        sheet->takenTable = TableFactory::make(id, sheet->taken, *m_taken);
        sheet->takenTable->setUpGrid();
        const int derived = TableFormat::of(id).derivedColumn;
        for (int c = 0; c < sheet->cols(); ++c)
            if (c != derived && sheet->otherTable->editRule(c).opensEditor)
                sheet->storedColumns.append(c);
        m_sheets[static_cast<std::size_t>(id)] = std::move(sheet);
        update(id);
    }
}

Comparison::~Comparison() = default;

void Comparison::update(TableId id)
{
    Sheet& s = sheet(id);
    s.mineTable->fillGrid();
    const int cols = s.cols();
    const int records = s.records();
    s.marks.fill(false, qsizetype(records) * cols);
    s.rowMarks.fill(0, records);
    s.count = 0;
    for (int n = 0; n < records; ++n) {
        const int row = n + s.other.fixedRows();
        for (const int c : std::as_const(s.storedColumns)) {
            if (s.mine.text(row, c) == s.other.text(row, c))
                continue;
            s.marks[qsizetype(n) * cols + c] = true;
            ++s.rowMarks[n];
            ++s.count;
        }
    }
    countUnshown(s);
}

void Comparison::countUnshown(Sheet& s)
{
    // As `tavrin diff` counts them: what differs after every marked cell has taken the other value.
    const BlockId block = s.mineTable->blockId();
    QByteArray& taken = m_taken->block(block);
    taken = m_doc.state().block(block);
    const QByteArray& other = m_other->block(block);
    if (s.count > 0) {
        s.takenTable->fillGrid();
        const int fixed = s.other.fixedRows();
        for (int n = 0; n < s.records(); ++n)
            if (s.rowMarks[n] > 0)
                for (const int c : std::as_const(s.storedColumns))
                    if (s.marks[qsizetype(n) * s.cols() + c])
                        s.takenTable->takeCell(n + fixed, c, s.other.text(n + fixed, c), other);
    }
    s.unshown = 0;
    for (qsizetype i = 0; i < taken.size() && i < other.size(); ++i)
        s.unshown += taken[i] != other[i] ? 1 : 0;
}

qint64 Comparison::unshownBytes() const
{
    qint64 sum = 0;
    for (const TableId id : AllTables)
        sum += sheet(id).unshown;
    return sum;
}

int Comparison::count(TableId id) const
{
    return sheet(id).count;
}

int Comparison::total() const
{
    int sum = 0;
    for (const TableId id : AllTables)
        sum += count(id);
    return sum;
}

std::optional<int> Comparison::recordOf(TableId id, int row) const
{
    const Grid& live = m_doc.grid(id);
    if (row < live.fixedRows() || row >= live.rows())
        return std::nullopt;
    int record = row - live.fixedRows();
    if (TableFormat::of(id).keyedByNumber) {
        bool ok = false;
        record = live.text(row, 0).toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (record < 0 || record >= sheet(id).records())
        return std::nullopt;
    return record;
}

bool Comparison::markedRecord(TableId id, int record, int col) const
{
    const Sheet& s = sheet(id);
    return col >= 0 && col < s.cols() && s.marks[qsizetype(record) * s.cols() + col];
}

bool Comparison::isMarked(TableId id, int row, int col) const
{
    const std::optional<int> record = recordOf(id, row);
    return record && markedRecord(id, *record, col);
}

std::optional<QString> Comparison::otherText(TableId id, int row, int col) const
{
    const std::optional<int> record = recordOf(id, row);
    if (!record || !markedRecord(id, *record, col))
        return std::nullopt;
    const Sheet& s = sheet(id);
    return s.other.text(*record + s.other.fixedRows(), col);
}

bool Comparison::rowHasMarks(TableId id, int row) const
{
    const std::optional<int> record = recordOf(id, row);
    return record && sheet(id).rowMarks[*record] > 0;
}

int Comparison::countIn(TableId id, int top, int left, int bottom, int right) const
{
    const Grid& live = m_doc.grid(id);
    int marked = 0;
    for (int row = std::min(top, bottom); row <= std::max(top, bottom); ++row) {
        if (live.isRowHidden(row) || !rowHasMarks(id, row))
            continue;
        for (int col = std::min(left, right); col <= std::max(left, right); ++col)
            marked += isMarked(id, row, col);
    }
    return marked;
}

int Comparison::take(TableId id, int top, int left, int bottom, int right)
{
    Table& table = m_doc.table(id);
    Grid& live = table.grid();
    const QByteArray& from = m_other->block(table.blockId());
    const GridBatch batch(live);
    int taken = 0;
    for (int row = std::min(top, bottom); row <= std::max(top, bottom); ++row) {
        if (live.isRowHidden(row) || !rowHasMarks(id, row))
            continue;
        for (int col = std::min(left, right); col <= std::max(left, right); ++col) {
            if (const std::optional<QString> text = otherText(id, row, col)) {
                table.takeCell(row, col, *text, from);
                ++taken;
            }
        }
    }
    return taken;
}

int Comparison::takeAll()
{
    const int taken = takeAllCells();
    // Once every cell holds the other side's value, what still differs belongs to no column.
    for (const TableId id : AllTables) {
        const BlockId block = m_doc.table(id).blockId();
        m_doc.state().block(block) = m_other->block(block);
    }
    return taken;
}

int Comparison::takeAllCells()
{
    int taken = 0;
    for (const TableId id : AllTables) {
        const Grid& live = m_doc.grid(id);
        // Hidden rows too: every difference goes, whatever a filter shows.
        Table& table = m_doc.table(id);
        const QByteArray& from = m_other->block(table.blockId());
        const GridBatch batch(table.grid());
        for (int row = live.fixedRows(); row < live.rows(); ++row)
            for (int col = 0; col < live.cols(); ++col)
                if (const std::optional<QString> text = otherText(id, row, col)) {
                    table.takeCell(row, col, *text, from);
                    ++taken;
                }
    }
    return taken;
}
