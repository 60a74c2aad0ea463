#include "citytable.h"

#include "codecs.h"
#include "grid.h"
#include "tablefields.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowCount = CityTable::RecordCount + 1;
constexpr int ColCount = 23;
constexpr int CitiesPerScenario = 46;
// Columns 18 and 19 show bytes the game's meaning of which is unknown; 20 to 22 hold nothing.
constexpr int FirstReadOnlyCol = 18;

// The field of each editable column: its byte offset in the record, and its kind.
enum class Storage
{
    Word,
    Byte,
    LowNibble,
};

struct Field
{
    int offset;
    Storage kind;
    int cap;
};

// Columns 2 to 17. The grid order is not the record order (commerce before development; flood
// control before irrigation).
constexpr std::array<Field, 16> Fields{{
    {2, Storage::Word, 300},
    {4, Storage::Word, 655},
    {6, Storage::Word, 65535},
    {14, Storage::Word, 65535},
    {11, Storage::Byte, 255},
    {13, Storage::Byte, 255},
    {12, Storage::Byte, 255},
    {8, Storage::LowNibble, 15},
    {16, Storage::Byte, 255},
    {17, Storage::Byte, 255},
    {18, Storage::Word, 65535},
    {20, Storage::Word, 65535},
    {22, Storage::Word, 65535},
    {24, Storage::Byte, 255},
    {25, Storage::Byte, 255},
    {26, Storage::Byte, 255},
}};

constexpr int FirstFieldCol = 2;

// What the field's bytes can hold; the commit caps may be lower.
int widthLimit(Storage kind)
{
    switch (kind) {
    case Storage::Word:
        return 0xFFFF;
    case Storage::Byte:
        return 0xFF;
    case Storage::LowNibble:
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

// Columns 18 to 22 have no header.
QStringList headerTexts()
{
    return {u"No"_s,   u"都市名"_s, u"人口*10000"_s, u"金*100"_s, u"米*100"_s, u"商業"_s,
            u"開発"_s, u"治水"_s,   u"灌漑"_s,       u"肥沃"_s,   u"税率"_s,   u"民忠"_s,
            u"弩"_s,   u"強弩"_s,   u"軍馬"_s,       u"闘艦"_s,   u"蒙衝"_s,   u"走舸"_s};
}

QString cityLabel(int record)
{
    return CityTable::cityName(record % CitiesPerScenario + 1) % QString::number(record / CitiesPerScenario + 1);
}

} // namespace

const TableFields& CityTable::fields()
{
    static const TableFields layout = [] {
        const QStringList headers = headerTexts();
        QVector<FieldColumn> columns(ColCount);
        for (int c = 0; c < headers.size(); ++c)
            columns[c].header = headers[c];
        columns[0].kind = FieldKind::Label;
        columns[1].kind = FieldKind::Label;
        columns[1].label = &cityLabel;
        for (int c = FirstFieldCol; c < FirstFieldCol + int(Fields.size()); ++c) {
            const Field& f = *fieldOf(c);
            FieldColumn& column = columns[c];
            column.stored = true;
            column.offset = f.offset;
            column.kind = f.kind == Storage::LowNibble ? FieldKind::LowNibble : FieldKind::Number;
            column.width = f.kind == Storage::Word ? 2 : 1;
        }
        // Shown, never typed over: byte 9, and the upper half of byte 8, whose lower half is stored.
        columns[18].kind = FieldKind::Number;
        columns[18].offset = 9;
        columns[19].kind = FieldKind::HighNibble;
        columns[19].offset = 8;
        return TableFields(TableId::City, BlockId::City, RecordCount, RecordSize, 2, columns);
    }();
    return layout;
}

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
    setUpShape(RowCount, ColCount, 2, headerTexts());

    for (int n = 0; n < RecordCount; ++n) {
        g.setText(n + 1, 0, QString::number(n));
        g.setText(n + 1, 1, cityLabel(n));
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
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    // The label columns were set once with the grid.
    for (int n = 0; n < RecordCount; ++n)
        for (int c = FirstFieldCol; c < ColCount; ++c)
            if (f.column(c).kind != FieldKind::None)
                g.setText(n + 1, c, f.text(bytes, n, c));
}

void CityTable::showComputedCells()
{
    Grid& g = grid();
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    for (int row = g.fixedRows(); row < g.rows(); ++row) {
        bool ok = false;
        const int n = g.text(row, 0).toInt(&ok);
        if (!ok || n < 0 || n >= RecordCount)
            continue;
        for (int c = FirstFieldCol; c < ColCount; ++c)
            if (f.column(c).kind != FieldKind::None && !f.column(c).stored)
                g.setText(row, c, f.text(bytes, n, c));
    }
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
    case Storage::Word:
        setByte(at, std::uint8_t(v & 0xFF));
        setByte(at + 1, std::uint8_t(v >> 8));
        break;
    case Storage::Byte:
        setByte(at, std::uint8_t(v));
        break;
    case Storage::LowNibble:
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
