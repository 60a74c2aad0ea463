#include "officertable.h"

#include "codecs.h"
#include "codepage932.h"
#include "editorstate.h"
#include "grid.h"
#include "tablefields.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int ColumnCount = 20;
constexpr int NameColumn = 1;
constexpr int FaceColumn = 18;

constexpr qsizetype FaceOffset = 0;
constexpr qsizetype LifespanOffset = 4;
constexpr qsizetype WarOffset = 7;
constexpr qsizetype LandCommandOffset = 5;
constexpr qsizetype NavalCommandOffset = 6;
constexpr qsizetype IntelligenceOffset = 8;
constexpr qsizetype PoliticsOffset = 9;
constexpr qsizetype CharismaOffset = 10;
constexpr qsizetype NameOffset = 15;
constexpr int NameBytes = 6;
constexpr qsizetype ReadingOffset = 22;
constexpr int ReadingBytes = 8;

// Record offset of each column that shows one whole byte as a number; -1 elsewhere.
constexpr std::array<int, ColumnCount> ByteFieldOffset{-1, -1, -1, 7,  5,  6,  8,  9,  10, -1,
                                                       -1, -1, -1, 14, -1, 11, 12, 13, -1, -1};

// The largest number each numeric column accepts; 0 for the columns that are not numbers.
constexpr std::array<int, ColumnCount> NumberCap{0,  0,  0,  255, 255, 255, 255, 255, 255, 15,
                                                 15, 15, 15, 255, 8,   150, 100, 255, 0,   0};

// A nibble column and the record byte it shares with its partner (high column first).
struct NibblePair
{
    int highCol;
    int lowCol;
    qsizetype offset;
};
constexpr std::array<NibblePair, 2> NibblePairs{{{9, 10, 2}, {11, 12, 3}}};

// The order in which a whole row goes back into its record. The reading comes last, so a row whose
// reading cannot be stored still has every other field written.
constexpr std::array<int, 16> RowStoreOrder{3, 4, 5, 6, 7, 8, 9, 11, 13, 14, 15, 16, 17, 18, 1, 2};

const NibblePair* nibblePairOf(int col)
{
    for (const NibblePair& pair : NibblePairs)
        if (col == pair.highCol || col == pair.lowCol)
            return &pair;
    return nullptr;
}

QStringList headerTexts()
{
    return {u"No"_s, u"名前"_s, u"ルビ"_s, u"武力"_s, u"陸指"_s, u"水指"_s, u"知力"_s, u"政治"_s, u"魅力"_s,  u"野望"_s,
            u"運"_s, u"冷静"_s, u"勇猛"_s, u"生年"_s, u"寿命"_s, u"相性"_s, u"義理"_s, u"血縁"_s, u"顔グラ"_s};
}

} // namespace

OfficerTable::OfficerTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::Officer) {}

const TableFields& OfficerTable::fields()
{
    static const TableFields layout = [] {
        const QStringList headers = headerTexts();
        QVector<FieldColumn> columns(ColumnCount);
        for (int c = 0; c < ColumnCount; ++c) {
            FieldColumn& f = columns[c];
            f.header = c < headers.size() ? headers[c] : QString();
            // Every column but the record number and the derived marker is typed over and stored.
            f.stored = c > 0 && c < MarkerColumn;
            if (ByteFieldOffset[std::size_t(c)] >= 0) {
                f.kind = FieldKind::Number;
                f.offset = ByteFieldOffset[std::size_t(c)];
            } else if (const NibblePair* pair = nibblePairOf(c)) {
                f.kind = c == pair->highCol ? FieldKind::HighNibble : FieldKind::LowNibble;
                f.offset = pair->offset;
            }
        }
        columns[0].kind = FieldKind::Label;
        columns[NameColumn] = {headers[NameColumn], FieldKind::Hex, NameOffset, NameBytes, true};
        columns[ReadingColumn] = {headers[ReadingColumn], FieldKind::Reading, ReadingOffset, ReadingBytes, true};
        // The lower half of this byte is shown by no column.
        columns[LifespanColumn] = {headers[LifespanColumn], FieldKind::HighNibble, LifespanOffset, 1, true};
        columns[FaceColumn] = {headers[FaceColumn], FieldKind::Hex, FaceOffset, 2, true};
        columns[MarkerColumn].kind = FieldKind::Derived;
        columns[MarkerColumn].derived = &OfficerTable::classMarker;
        return TableFields(TableId::Officer, BlockId::Officer, RecordCount, RecordSize, 1, columns);
    }();
    return layout;
}

void OfficerTable::setUpGrid()
{
    Grid& g = grid();
    setUpShape(RecordCount + 1, ColumnCount, 1, headerTexts());
    g.setColAlignment(FaceColumn, ColumnAlignment::Right);
    g.setColWidth(0, 500);
    g.setColWidth(NameColumn, 1250);
    for (int c = 3; c <= 17; ++c)
        g.setColWidth(c, 500);
}

void OfficerTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspend(g);
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    for (int n = 0; n < RecordCount; ++n)
        for (int c = 0; c < ColumnCount; ++c)
            g.setText(n + 1, c, f.text(bytes, n, c));
}

QString OfficerTable::fieldText(qsizetype p, int col) const
{
    return fields().text(block(), int(p / RecordSize), col);
}

void OfficerTable::showComputedCells()
{
    Grid& g = grid();
    for (int row = g.fixedRows(); row < g.rows(); ++row) {
        bool ok = false;
        const int n = g.text(row, 0).toInt(&ok);
        if (ok && n >= 0 && n < RecordCount)
            g.setText(row, MarkerColumn, classMarker(block(), qsizetype(n) * RecordSize));
    }
}

QString OfficerTable::classMarker(const QByteArray& block, qsizetype offset)
{
    const auto at = [&block, offset](qsizetype field) -> int {
        const qsizetype i = offset + field;
        return (i >= 0 && i < block.size()) ? static_cast<std::uint8_t>(block[i]) : 0;
    };
    const int war = at(WarOffset);
    // A mean of the two commands plus charisma of at least 120, kept in whole numbers.
    const bool commander = war >= 70 && at(LandCommandOffset) + at(NavalCommandOffset) + 2 * at(CharismaOffset) >= 240;
    QString marker;
    if (war > 84 || commander)
        marker += u'将';
    if (at(IntelligenceOffset) > 79 || at(PoliticsOffset) > 79)
        marker += u'軍';
    return marker;
}

std::optional<QString> OfficerTable::checkText(int col, const QString& text) const
{
    if (text.isEmpty())
        return std::nullopt;
    if (col == NameColumn || col == FaceColumn) {
        const qsizetype digits = col == NameColumn ? 2 * NameBytes : 4;
        if (text.size() == digits && codecs::IsHexText(text))
            return text;
        return std::nullopt;
    }
    if (col == ReadingColumn) {
        // What the half-width katakana input mode would have typed; anything else that has no byte
        // is refused here rather than half stored later.
        const QString reading = CodePage932::toHalfWidth(text).left(ReadingBytes);
        if (!CodePage932::isSingleByteText(reading))
            return std::nullopt;
        return reading;
    }
    if (col >= 0 && col < ColumnCount && NumberCap[col] > 0)
        return codecs::CheckNumberText(text, NumberCap[col]);
    return text;
}

std::optional<qsizetype> OfficerTable::currentRecordOffset() const
{
    const std::optional<int> n = currentRecord();
    if (!n || *n >= RecordCount)
        return std::nullopt;
    return qsizetype(*n) * RecordSize;
}

void OfficerTable::storeCell()
{
    if (const std::optional<qsizetype> p = currentRecordOffset())
        storeField(*p, grid().col());
}

void OfficerTable::takeCell(int row, int col, const QString& text, const QByteArray& from)
{
    Table::takeCell(row, col, text, from);
    if (col != LifespanColumn || row < grid().fixedRows() || row >= grid().rows())
        return;
    bool ok = false;
    const int n = grid().text(row, 0).trimmed().toInt(&ok);
    if (!ok || n < 0 || n >= RecordCount)
        return;
    const qsizetype at = qsizetype(n) * RecordSize + LifespanOffset;
    setByte(at, byteIn(from, at));
}

void OfficerTable::storeRow()
{
    const std::optional<qsizetype> p = currentRecordOffset();
    if (!p)
        return;
    for (const int col : RowStoreOrder) {
        // A field whose cells still show what its bytes hold is left alone: writing 寿命 clears the
        // lower half of its byte, which no cell shows.
        if (showsItsBytes(*p, col))
            continue;
        if (!storeField(*p, col))
            break;
    }
    // The cells show what the bytes hold now, as a fresh fill would: a name typed in lower case or a
    // reading without its padding is no change, and a field that could not be stored shows its bytes.
    const int row = grid().row();
    for (int col = NameColumn; col < MarkerColumn; ++col)
        grid().setText(row, col, fieldText(*p, col));
}

bool OfficerTable::showsItsBytes(qsizetype p, int col) const
{
    const int row = grid().row();
    if (const NibblePair* pair = nibblePairOf(col))
        return grid().text(row, pair->highCol) == fieldText(p, pair->highCol) &&
               grid().text(row, pair->lowCol) == fieldText(p, pair->lowCol);
    return grid().text(row, col) == fieldText(p, col);
}

bool OfficerTable::storeField(qsizetype p, int col)
{
    const QString text = grid().text(grid().row(), col);
    if (col >= 0 && col < ColumnCount && ByteFieldOffset[col] >= 0) {
        const std::optional<std::uint8_t> value = codecs::DecimalToByte(text);
        if (!value)
            return false;
        setByte(p + ByteFieldOffset[col], *value);
        return true;
    }
    if (const NibblePair* pair = nibblePairOf(col))
        return storeNibbles(p + pair->offset, pair->highCol, pair->lowCol);
    switch (col) {
    case NameColumn:
        storeHexBytes(p + NameOffset, text, NameBytes);
        return true;
    case ReadingColumn:
        return storeReading(p + ReadingOffset);
    case LifespanColumn: {
        // The lower nibble of this byte is not shown; it is cleared whenever the lifespan is written.
        const std::optional<std::uint8_t> value = codecs::DecimalToByte(text);
        const std::optional<std::uint8_t> packed = value ? codecs::PackNibbles(*value, 0) : std::nullopt;
        if (!packed)
            return false;
        setByte(p + LifespanOffset, *packed);
        return true;
    }
    case FaceColumn:
        setByte(p + FaceOffset, static_cast<std::uint8_t>(codecs::ParseHexText(text.left(2))));
        setByte(p + FaceOffset + 1, static_cast<std::uint8_t>(codecs::ParseHexText(text.right(2))));
        return true;
    default:
        // The record number and the derived marker have no bytes of their own.
        return true;
    }
}

bool OfficerTable::storeNibbles(qsizetype offset, int highCol, int lowCol)
{
    const int row = grid().row();
    const std::optional<std::uint8_t> high = codecs::DecimalToByte(grid().text(row, highCol));
    const std::optional<std::uint8_t> low = codecs::DecimalToByte(grid().text(row, lowCol));
    // A low value above 15 would be masked into a different number than the cell shows.
    if (!high || !low || *low > 15)
        return false;
    const std::optional<std::uint8_t> packed = codecs::PackNibbles(*high, *low);
    if (!packed)
        return false;
    setByte(offset, *packed);
    return true;
}

void OfficerTable::storeHexBytes(qsizetype offset, const QString& text, int count)
{
    // A missing digit pair stores 0, so a short name never leaves stale bytes behind it.
    for (int k = 0; k < count; ++k)
        setByte(offset + k, static_cast<std::uint8_t>(codecs::ParseHexText(text.mid(2 * k, 2))));
}

bool OfficerTable::storeReading(qsizetype position)
{
    if (position < 0 || position + ReadingBytes > block().size())
        return false;
    const QString text = grid().text(grid().row(), ReadingColumn).left(ReadingBytes);
    // Every character is checked before the first byte is written: a reading is stored whole or not at all.
    if (!CodePage932::isSingleByteText(text))
        return false;
    for (int k = 0; k < ReadingBytes; ++k)
        setByte(position + k, k < text.size() ? *CodePage932::charToByte(text[k]) : std::uint8_t(0));
    return true;
}

void OfficerTable::sortGrid(int col)
{
    Grid& g = grid();
    if (col < 0 || col >= g.cols())
        return;
    g.setCol(col);
    const QString key = QString::number(col);
    const bool descending = g.tag() != key;
    g.sortNumeric(col, descending);
    g.setTag(descending ? key : QString());
    state().showCurrentPath();
}

void OfficerTable::setAllLifespans()
{
    // Rows by position: every row and record gets the same value, so the sort order does not matter.
    const RedrawSuspender suspend(grid());
    const std::uint8_t packed = *codecs::PackNibbles(7, 0);
    for (int n = 0; n < RecordCount; ++n) {
        grid().setText(n + 1, LifespanColumn, u"7"_s);
        setByte(qsizetype(n) * RecordSize + LifespanOffset, packed);
    }
}

EditRule OfficerTable::editRule(int col) const
{
    // The class marker is computed from five bytes and stores nothing: text typed or pasted there
    // would show what no byte holds, and be copied and exported as if it did.
    if (col <= 0 || col >= ColumnCount || col == MarkerColumn)
        return {};
    if (col == NameColumn)
        return {true, 2 * NameBytes, InputMode::Off};
    if (col == ReadingColumn)
        return {true, ReadingBytes, InputMode::HalfWidthKatakana};
    return {true, 4, InputMode::Off};
}
