// Typed text into every table's commit rule and store, the way the cell editor sends it, over grids
// filled from the sample image, mixed with officer sorts and whole-row stores. After each step:
// no other block changed, nothing outside the edited record changed, a column without bytes stored
// nothing; at the end, every stored cell's text is what its bytes show once the grid is filled again.
//
// Under the sanitizers a fill of a large table costs milliseconds and an officer sort about one,
// where an edit with its checks costs microseconds. So those run for a fixed share of inputs, chosen
// by a hash of the input so that a failing input fails again when run alone: the large tables are
// filled again to check them in one input of FullCheckShare, and sorts run in one input of
// SortShare; the small tables are checked after every input.
//
// Input: records of [op][table][row: 2 bytes][column][text: mode, length, bytes] (see FuzzInput).

#include "blockcatalogue.h"
#include "codecs.h"
#include "document.h"
#include "fuzzinput.h"
#include "grid.h"
#include "officertable.h"
#include "sampleimage.h"
#include "table.h"
#include "tableblock.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

namespace {

using Blocks = std::array<QByteArray, 5>;

constexpr int MaxSteps = 32;
constexpr std::uint32_t FullCheckShare = 32;
constexpr std::uint32_t SortShare = 8;

[[noreturn]] void fail(const char* what, TableId id, int row, int col, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_tables: %s (table %d, row %d, column %d) %s\n", what, int(id), row, col,
                 qUtf8Printable(detail));
    std::abort();
}

// The document, set up and filled once. Between inputs the blocks are copied back and the rows an
// input touched are set back from a copy of the cells (every row after a sort or a fill): the copy
// shares the strings, so this costs far less than a fill.
struct World
{
    Document document;
    Blocks sample;
    std::array<QStringList, 5> pristine;
    std::array<std::set<int>, 5> touchedRows;
    std::array<bool, 5> allRowsTouched{};

    World()
    {
        const QByteArray image = SampleImage::generate();
        for (const BlockSpec& range : BlockCatalogue)
            sample[std::size_t(range.id)] = image.mid(range.position, range.size);
        document.setUpGrids();
        document.state().replaceBlocks(sample);
        document.fillGrids();
        for (const TableId id : AllTables) {
            const Grid& grid = document.grid(id);
            for (int row = 0; row < grid.rows(); ++row)
                for (int col = 0; col < grid.cols(); ++col)
                    pristine[std::size_t(id)] << grid.text(row, col);
        }
    }

    void touch(TableId id, int row) { touchedRows[std::size_t(id)].insert(row); }
    void touchAll(TableId id) { allRowsTouched[std::size_t(id)] = true; }

    void reset()
    {
        document.state().replaceBlocks(sample);
        for (const TableId id : AllTables) {
            std::set<int>& rows = touchedRows[std::size_t(id)];
            bool& all = allRowsTouched[std::size_t(id)];
            if (rows.empty() && !all)
                continue;
            Grid& grid = document.grid(id);
            if (all) {
                for (int row = 0; row < grid.rows(); ++row)
                    restoreRow(grid, id, row);
            } else {
                for (const int row : rows)
                    restoreRow(grid, id, row);
            }
            grid.setTag(QString());
            rows.clear();
            all = false;
        }
    }

    void restoreRow(Grid& grid, TableId id, int row)
    {
        const QStringList& cells = pristine[std::size_t(id)];
        for (int col = 0; col < grid.cols(); ++col)
            grid.setText(row, col, cells[qsizetype(row) * grid.cols() + col]);
    }

    Blocks blocks() const
    {
        Blocks out;
        for (const BlockSpec& range : BlockCatalogue)
            out[std::size_t(range.id)] = document.state().block(range.id);
        return out;
    }
};

World& world()
{
    static World instance;
    return instance;
}

// The columns whose cells are written into bytes; the rest (numbers, labels, names from the name
// list, the derived officer marker) store nothing.
bool hasBytes(TableId id, int col)
{
    switch (id) {
    case TableId::Officer:
        return col >= 1 && col <= 18;
    case TableId::City:
        return col >= 2 && col <= 17;
    case TableId::Item:
        return col >= 1 && col <= 4;
    case TableId::Force:
        return col >= 1 && col <= 3;
    case TableId::Placement:
        return col >= 2 && col <= 25;
    }
    return false;
}

// The record a row stands for: the number in column 0, or the row position for items.
std::optional<int> recordOf(const Grid& grid, TableId id, int row)
{
    if (id == TableId::Item)
        return row >= 1 && row <= 13 ? std::optional<int>(row - 1) : std::nullopt;
    bool ok = false;
    const int n = grid.text(row, 0).trimmed().toInt(&ok);
    if (!ok || n < 0 || n >= grid.rows() - 1)
        return std::nullopt;
    return n;
}

// The block bytes an edit of (record, col) may change, as [first, last).
std::pair<qsizetype, qsizetype> footprint(TableId id, int record, int col)
{
    switch (id) {
    case TableId::Officer:
    case TableId::City:
        return {qsizetype(record) * 30, qsizetype(record) * 30 + 30};
    case TableId::Item:
        return {qsizetype(record) * 18, qsizetype(record) * 18 + 18};
    case TableId::Force:
        return {qsizetype(record) * 25, qsizetype(record) * 25 + 25};
    case TableId::Placement: {
        const qsizetype at = qsizetype((col - 2) / 4) * 2124 + 4 * qsizetype(record) + (col - 2) % 4;
        return {at, at + 1};
    }
    }
    return {0, 0};
}

// Whether `shown` (what a fill shows for the bytes) is the text the commit rule put in the cell.
bool agrees(TableId id, int col, const QString& accepted, const QString& shown)
{
    if (id == TableId::Officer && col == OfficerTable::ReadingColumn)
        return shown == accepted + QString(8 - accepted.size(), QChar(0));
    const bool hex = (id == TableId::Officer && (col == 1 || col == 18)) || (id == TableId::Item && col == 4);
    if (hex)
        return shown == accepted.toUpper();
    return shown == accepted;
}

void checkOnlyFootprintChanged(const Blocks& before, const Blocks& after, TableId id, std::optional<int> record,
                               int row, int col)
{
    const std::size_t own = std::size_t(blockOfTable(id));
    for (std::size_t b = 0; b < before.size(); ++b)
        if (b != own && before[b] != after[b])
            fail("another block changed", id, row, col);
    if (before[own].size() != after[own].size())
        fail("the block changed size", id, row, col);
    const auto [from, to] =
        record && hasBytes(id, col) ? footprint(id, *record, col) : std::pair<qsizetype, qsizetype>{0, 0};
    // The last city record is one byte short of a whole record: the footprint may pass the end.
    const qsizetype size = before[own].size();
    const qsizetype first = std::min(from, size);
    const qsizetype last = std::min(to, size);
    const char* was = before[own].constData();
    const char* now = after[own].constData();
    if (std::memcmp(was, now, std::size_t(first)) == 0 &&
        std::memcmp(was + last, now + last, std::size_t(size - last)) == 0)
        return;
    qsizetype at = 0;
    while (at < size && (was[at] == now[at] || (at >= first && at < last)))
        ++at;
    fail("a byte outside the edited record changed", id, row, col, QString::number(at));
}

// What a cell must show once its table is filled again, for every cell an input stored.
using Expectations = std::map<std::tuple<TableId, int, int>, QString>;

void edit(World& w, Expectations& expected, TableId id, int row, int col, const QString& text)
{
    Table& table = w.document.table(id);
    Grid& grid = w.document.grid(id);
    // The commit rule must take any text in any column, on or off the grid.
    const std::optional<QString> accepted = table.checkText(col, text);
    if (!accepted || row < 1 || row >= grid.rows() || col < 0 || col >= grid.cols())
        return;
    const std::optional<int> record = recordOf(grid, id, row);
    const Blocks before = w.blocks();
    grid.setCurrentCell(row, col);
    const bool editable = table.editRule(col).opensEditor;
    // Where the editor cannot open, the cell keeps its text; a store there must write nothing.
    if (editable)
        grid.setText(row, col, *accepted);
    table.storeCell();
    w.touch(id, row);
    const Blocks after = w.blocks();
    checkOnlyFootprintChanged(before, after, id, record, row, col);
    if (!hasBytes(id, col) || !editable) {
        if (before != after)
            fail("a column without bytes stored something", id, row, col);
        return;
    }
    if (record)
        expected[{id, *record, col}] = *accepted;
}

bool isSmall(TableId id)
{
    return id == TableId::Item || id == TableId::Force;
}

// Fills each table that was edited again (record n into row n + 1, undoing any sort) and compares
// the cells the input stored with what their bytes now show; the large tables only when `full`.
void checkCellsAgreeWithBytes(World& w, const Expectations& expected, bool full)
{
    std::array<bool, 5> filled{};
    for (const auto& [cell, accepted] : expected) {
        const auto& [id, record, col] = cell;
        if (!full && !isSmall(id))
            continue;
        if (!filled[std::size_t(id)]) {
            w.document.table(id).fillGrid();
            w.touchAll(id);
            filled[std::size_t(id)] = true;
        }
        const QString shown = w.document.grid(id).text(record + 1, col);
        if (!agrees(id, col, accepted, shown))
            fail("the cell and its bytes disagree", id, record + 1, col, accepted + QStringLiteral(" / ") + shown);
    }
}

void storeRow(World& w, int row)
{
    Grid& grid = w.document.grid(TableId::Officer);
    if (row < 1 || row >= grid.rows())
        return;
    const std::optional<int> record = recordOf(grid, TableId::Officer, row);
    const Blocks before = w.blocks();
    const QString lifespanCell = grid.text(row, OfficerTable::LifespanColumn);
    grid.setCurrentCell(row, 1);
    w.document.officers().storeRow();
    w.touch(TableId::Officer, row);
    const Blocks after = w.blocks();
    checkOnlyFootprintChanged(before, after, TableId::Officer, record, row, 1);
    // The grid shows what the block holds, so a row store writes the same bytes back. A field whose
    // cell reads exactly as its bytes is not written at all; a lifespan typed another way ("03") is,
    // which clears the hidden low nibble of its byte.
    QByteArray expected = before[std::size_t(BlockId::Officer)];
    if (record) {
        const qsizetype lifespan = qsizetype(*record) * 30 + 4;
        if (lifespanCell != QString::number(quint8(expected[lifespan]) >> 4))
            expected[lifespan] = char(expected[lifespan] & 0xF0);
    }
    if (after[std::size_t(BlockId::Officer)] != expected)
        fail("a row store of unedited cells changed the record", TableId::Officer, row, 1);
}

void sort(World& w, int col)
{
    Grid& grid = w.document.grid(TableId::Officer);
    const Blocks before = w.blocks();
    w.document.officers().sortGrid(col);
    w.touchAll(TableId::Officer);
    if (w.blocks() != before)
        fail("a sort changed a block", TableId::Officer, 0, col);
    // Whole rows move: every record number is still there once.
    std::vector<bool> seen(std::size_t(OfficerTable::RecordCount), false);
    for (int row = 1; row < grid.rows(); ++row) {
        const std::optional<int> n = recordOf(grid, TableId::Officer, row);
        if (!n || seen[std::size_t(*n)])
            fail("a sort lost or doubled a record", TableId::Officer, row, col);
        seen[std::size_t(*n)] = true;
    }
}

// The codecs on their own, for every text an input carries and one byte of it.
void checkCodecs(const QString& text, std::uint8_t b)
{
    const auto bad = [&text](const char* what) { fail(what, TableId::Officer, -1, -1, text); };
    const std::optional<double> number = codecs::TextToNumber(text);
    if (number && !std::isfinite(*number))
        bad("TextToNumber gave a number that is not finite");
    const std::optional<std::uint8_t> byte = codecs::DecimalToByte(text);
    const double rounded = number ? codecs::RoundHalfEven(*number) : -1.0;
    const bool fits = number && rounded >= 0.0 && rounded <= 255.0;
    if (byte.has_value() != fits || (byte && double(*byte) != rounded))
        bad("DecimalToByte disagrees with TextToNumber");
    // A commit rule's text is the canonical decimal of a value within the cap, or the cap's text.
    if (const std::optional<QString> accepted = codecs::CheckNumberText(text, 255)) {
        const std::optional<std::uint8_t> value = codecs::DecimalToByte(*accepted);
        if (!value || codecs::DecimalText(*value) != *accepted)
            bad("CheckNumberText accepted a text that is no byte");
    }
    const std::int64_t hex = codecs::ParseHexText(text);
    if (!codecs::IsHexText(text) || text.isEmpty() || text.size() > 8) {
        if (hex != 0)
            bad("ParseHexText read a number from text that is no hex");
    } else if (quint32(hex) != text.toUInt(nullptr, 16)) {
        bad("ParseHexText misread hex text");
    }

    if (codecs::DecimalToByte(codecs::DecimalText(b)) != b)
        bad("a byte's decimal text does not read back");
    const QString hexText = codecs::HexByteText(b);
    if (hexText.size() != 2 || codecs::ParseHexText(hexText) != b)
        bad("a byte's hex text does not read back");
    if (codecs::PackNibbles(codecs::HighNibble(b), codecs::LowNibble(b)) != b)
        bad("a byte's nibbles do not pack back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    World& w = world();
    w.reset();
    FuzzInput in(data, size);
    const std::uint32_t hash = in.hash();
    const bool full = hash % FullCheckShare == 0;
    const bool sorts = hash % SortShare == 0;
    Expectations expected;
    for (int step = 0; step < MaxSteps && !in.atEnd(); ++step) {
        const int op = in.byte() % 4;
        const TableId id = AllTables[in.byte() % AllTables.size()];
        const Grid& grid = w.document.grid(id);
        const int row = int(in.word() % std::uint16_t(grid.rows() + 2)) - 1;
        const int col = int(in.byte() % (grid.cols() + 2)) - 1;
        const QString text = in.text();
        checkCodecs(text, std::uint8_t(row));
        if (op == 2 && id == TableId::Officer)
            storeRow(w, row);
        else if (op == 3 && id == TableId::Officer && sorts)
            sort(w, col);
        else if (op == 3 && id == TableId::Officer)
            continue;
        else
            edit(w, expected, id, row, col, text);
    }
    checkCellsAgreeWithBytes(w, expected, full);
    return 0;
}
