#include "comparison.h"

#include "editorstate.h"
#include "gridbatch.h"
#include "grid.h"
#include "table.h"
#include "tablefields.h"
#include "tableformat.h"

#include <QHash>
#include <QVector>

#include <algorithm>

// The marks of one table, one per record and column, found through the table's fields.
struct Comparison::Sheet
{
    const TableFields* fields = nullptr;
    qint64 unshown = 0;
    QVector<int> storedColumns;
    QVector<bool> marks;
    QVector<int> rowMarks;
    int count = 0;
    // When limited: the only cells that may be marked, by record * cols + col, with their base text.
    std::optional<QHash<qsizetype, QString>> only;

    int cols() const { return fields->columnCount(); }
    int records() const { return fields->recordCount(); }
};

Comparison::Comparison(Document& doc, CompareSide side) : m_doc(doc), m_side(std::move(side))
{
    for (const TableId id : AllTables) {
        auto sheet = std::make_unique<Sheet>();
        sheet->fields = &TableFields::of(id);
        for (int c = 0; c < sheet->cols(); ++c)
            if (sheet->fields->column(c).stored)
                sheet->storedColumns.append(c);
        m_sheets[static_cast<std::size_t>(id)] = std::move(sheet);
        update(id);
    }
}

Comparison::~Comparison() = default;

const QByteArray& Comparison::otherBlock(TableId id) const
{
    return m_side.blocks()[static_cast<std::size_t>(TableFields::of(id).blockId())];
}

void Comparison::update(TableId id)
{
    Sheet& s = sheet(id);
    const QByteArray& mine = m_doc.state().block(s.fields->blockId());
    const QByteArray& other = otherBlock(id);
    const int cols = s.cols();
    const int records = s.records();
    s.marks.fill(false, qsizetype(records) * cols);
    s.rowMarks.fill(0, records);
    s.count = 0;
    for (int n = 0; n < records; ++n) {
        for (const int c : std::as_const(s.storedColumns)) {
            // Two fields that hold the same bits show the same text; only those that differ are read.
            const std::optional<FieldBits> bits = s.fields->bits(n, c);
            if (bits && s.fields->value(mine, *bits) == s.fields->value(other, *bits))
                continue;
            if (s.only && !s.only->contains(qsizetype(n) * cols + c))
                continue;
            if (s.fields->text(mine, n, c) == s.fields->text(other, n, c))
                continue;
            s.marks[qsizetype(n) * cols + c] = true;
            ++s.rowMarks[n];
            ++s.count;
        }
    }
    // After a merge the other side differs in this side's own edits as well; only the conflicts are
    // the comparison's business then.
    s.unshown = s.only ? 0 : s.fields->unshownDifferences(mine, other);
}

qint64 Comparison::unshownBytes() const
{
    qint64 sum = 0;
    for (const TableId id : AllTables)
        sum += sheet(id).unshown;
    return sum;
}

void Comparison::limitTo(const QList<Cell>& cells)
{
    for (const TableId id : AllTables)
        sheet(id).only.emplace();
    for (const Cell& cell : cells) {
        Sheet& s = sheet(cell.table);
        s.only->insert(qsizetype(cell.record) * s.cols() + cell.col, cell.baseText);
    }
    for (const TableId id : AllTables)
        update(id);
}

std::optional<QString> Comparison::baseText(TableId id, int row, int col) const
{
    const std::optional<int> record = recordOf(id, row);
    const Sheet& s = sheet(id);
    if (!record || !s.only || !markedRecord(id, *record, col))
        return std::nullopt;
    return s.only->value(qsizetype(*record) * s.cols() + col);
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
    return sheet(id).fields->text(otherBlock(id), *record, col);
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
    const QByteArray& from = otherBlock(id);
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
    // After a merge, taking everything means every conflict: copying whole blocks would undo the
    // edits of this side that the merge kept.
    if (sheet(TableId::Officer).only)
        return taken;
    // Once every cell holds the other side's value, what still differs belongs to no column.
    for (const TableId id : AllTables) {
        const BlockId block = m_doc.table(id).blockId();
        m_doc.state().block(block) = otherBlock(id);
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
        const QByteArray& from = otherBlock(id);
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
