#include "citytable.h"

#include "codecs.h"
#include "grid.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowCount = CityTable::RecordCount + 1;
constexpr int ColCount = 23;
constexpr int CitiesPerScenario = 46;
// Columns 18 and 19 show bytes the game's meaning of which is unknown; 20 to 22 hold nothing.
constexpr int FirstReadOnlyCol = 18;

// The field of each editable column: its byte offset in the record, and its kind.
enum class FieldKind
{
    Word,
    Byte,
    LowNibble,
};

struct Field
{
    int offset;
    FieldKind kind;
    int cap;
};

// Columns 2 to 17. The grid order is not the record order (commerce before development; flood
// control before irrigation).
constexpr std::array<Field, 16> Fields{{
    {2, FieldKind::Word, 300},
    {4, FieldKind::Word, 655},
    {6, FieldKind::Word, 65535},
    {14, FieldKind::Word, 65535},
    {11, FieldKind::Byte, 255},
    {13, FieldKind::Byte, 255},
    {12, FieldKind::Byte, 255},
    {8, FieldKind::LowNibble, 15},
    {16, FieldKind::Byte, 255},
    {17, FieldKind::Byte, 255},
    {18, FieldKind::Word, 65535},
    {20, FieldKind::Word, 65535},
    {22, FieldKind::Word, 65535},
    {24, FieldKind::Byte, 255},
    {25, FieldKind::Byte, 255},
    {26, FieldKind::Byte, 255},
}};

constexpr int FirstFieldCol = 2;

// What the field's bytes can hold; the commit caps may be lower.
int widthLimit(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Word:
        return 0xFFFF;
    case FieldKind::Byte:
        return 0xFF;
    case FieldKind::LowNibble:
        return 0x0F;
    }
    return 0;
}

const Field* fieldOf(int col)
{
    if (col < FirstFieldCol || col >= FirstFieldCol + int(Fields.size()))
        return nullptr;
    return &Fields[std::size_t(col - FirstFieldCol)];
}

// Three names hold characters that code page 932 lacks; they are written by code point.
const std::array<QString, CitiesPerScenario>& cityNames()
{
    static const std::array<QString, CitiesPerScenario> names{
        u"襄平"_s,     u"北平"_s, u"代県"_s, u"晋陽"_s,   u"南皮"_s, u"平原"_s, u"\u9134"_s, u"北海"_s,
        u"濮陽"_s,     u"陳留"_s, u"洛陽"_s, u"弘農"_s,   u"長安"_s, u"安定"_s, u"天水"_s,   u"西涼"_s,
        u"下\u90B3"_s, u"徐州"_s, u"許昌"_s, u"\u8B59"_s, u"汝南"_s, u"宛"_s,   u"新野"_s,   u"襄陽"_s,
        u"上庸"_s,     u"江夏"_s, u"江陵"_s, u"武陵"_s,   u"長沙"_s, u"桂陽"_s, u"零陵"_s,   u"寿春"_s,
        u"建業"_s,     u"呉"_s,   u"会稽"_s, u"廬江"_s,   u"柴桑"_s, u"漢中"_s, u"下弁"_s,   u"梓潼"_s,
        u"成都"_s,     u"永安"_s, u"江州"_s, u"建寧"_s,   u"雲南"_s, u"南海"_s,
    };
    return names;
}

} // namespace

CityTable::CityTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::City) {}

QString CityTable::cityName(int k)
{
    if (k < 1 || k > CitiesPerScenario)
        return {};
    return cityNames()[std::size_t(k - 1)];
}

void CityTable::setUpGrid()
{
    Grid& g = grid();
    // Columns 18 to 22 have no header.
    setUpShape(RowCount, ColCount, 2,
               {u"No"_s, u"都市名"_s, u"人口*10000"_s, u"金*100"_s, u"米*100"_s, u"商業"_s, u"開発"_s, u"治水"_s,
                u"灌漑"_s, u"肥沃"_s, u"税率"_s, u"民忠"_s, u"弩"_s, u"強弩"_s, u"軍馬"_s, u"闘艦"_s, u"蒙衝"_s,
                u"走舸"_s});

    for (int n = 0; n < RecordCount; ++n) {
        g.setText(n + 1, 0, QString::number(n));
        g.setText(n + 1, 1, cityName(n % CitiesPerScenario + 1) % QString::number(n / CitiesPerScenario + 1));
    }

    g.setColWidth(0, 360);
    g.setColWidth(4, 1050);
    g.setColWidth(1, 615);
    g.setColWidth(2, 1050);
    g.setColWidth(3, 600);
    g.setColWidth(5, 600);
    for (int c = 6; c < ColCount; ++c)
        g.setColWidth(c, 480);
    for (int c = 12; c <= 14; ++c)
        g.setColWidth(c, 600);
}

void CityTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    for (int n = 0; n < RecordCount; ++n) {
        const qsizetype b = qsizetype(RecordSize) * n;
        for (int c = FirstFieldCol; c < FirstFieldCol + int(Fields.size()); ++c) {
            const Field& f = *fieldOf(c);
            int value = 0;
            switch (f.kind) {
            case FieldKind::Word:
                value = codecs::LittleEndianValue(byteAt(b + f.offset), byteAt(b + f.offset + 1), 0, 0);
                break;
            case FieldKind::Byte:
                value = byteAt(b + f.offset);
                break;
            case FieldKind::LowNibble:
                value = codecs::LowNibble(byteAt(b + f.offset));
                break;
            }
            g.setText(n + 1, c, QString::number(value));
        }
        showUnnamedBytes(n + 1, n);
    }
}

void CityTable::showComputedCells()
{
    Grid& g = grid();
    for (int row = g.fixedRows(); row < g.rows(); ++row) {
        bool ok = false;
        const int n = g.text(row, 0).toInt(&ok);
        if (ok && n >= 0 && n < RecordCount)
            showUnnamedBytes(row, n);
    }
}

void CityTable::showUnnamedBytes(int row, int record)
{
    const qsizetype b = qsizetype(RecordSize) * record;
    grid().setText(row, 18, codecs::DecimalText(byteAt(b + 9)));
    grid().setText(row, 19, QString::number(codecs::HighNibble(byteAt(b + 8))));
}

std::optional<QString> CityTable::checkText(int col, const QString& text) const
{
    const Field* field = fieldOf(col);
    if (!field)
        return std::nullopt;
    return codecs::CheckNumberText(text, field->cap);
}

void CityTable::storeCell()
{
    const std::optional<int> record = currentRecord();
    const Field* field = fieldOf(grid().col());
    if (!record || *record >= RecordCount || !field)
        return;
    const std::optional<double> number = codecs::TextToNumber(grid().text(grid().row(), grid().col()));
    if (!number)
        return;
    // Whole numbers outside the field are never stored: a negative or oversized value would spill
    // into the neighbouring byte or nibble.
    const double value = codecs::RoundHalfEven(*number);
    if (!(value >= 0.0 && value <= widthLimit(field->kind)))
        return;
    const int v = int(value);
    const qsizetype at = qsizetype(RecordSize) * *record + field->offset;
    switch (field->kind) {
    case FieldKind::Word:
        setByte(at, std::uint8_t(v & 0xFF));
        setByte(at + 1, std::uint8_t(v >> 8));
        break;
    case FieldKind::Byte:
        setByte(at, std::uint8_t(v));
        break;
    case FieldKind::LowNibble:
        setByte(at, std::uint8_t((byteAt(at) & 0xF0) | v));
        break;
    }
}

EditRule CityTable::editRule(int col) const
{
    if (col < FirstFieldCol || col >= FirstReadOnlyCol)
        return {};
    int length = 3;
    if (col == 4 || col == 5 || (col >= 12 && col <= 14))
        length = 5;
    else if (col == 9)
        length = 2;
    return {true, length, InputMode::Off};
}
