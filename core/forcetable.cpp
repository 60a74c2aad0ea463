#include "forcetable.h"

#include "codecs.h"
#include "grid.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowCount = ForceTable::RecordCount + 1;
constexpr int ColCount = 4;
constexpr int RulerCol = 1;
constexpr int HomeCol = 2;
constexpr int UnnamedCol = 3;
// The largest officer number and city number that name a real ruler and home base; anything above
// means "none" and is stored as all bits set.
constexpr int LastOfficer = 531;
constexpr int LastCity = 46;

} // namespace

ForceTable::ForceTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::Force) {}

void ForceTable::setUpGrid()
{
    Grid& g = grid();
    setUpShape(RowCount, ColCount, 1, {u"No"_s, u"君主"_s, u"本拠"_s, u"？"_s});
    g.setColWidth(0, 360);
}

void ForceTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    for (int n = 0; n < RecordCount; ++n) {
        const qsizetype b = qsizetype(RecordSize) * n;
        g.setText(n + 1, 0, QString::number(n));
        g.setText(n + 1, RulerCol, QString::number(codecs::LittleEndianValue(byteAt(b), byteAt(b + 1), 0, 0)));
        g.setText(n + 1, HomeCol, codecs::DecimalText(byteAt(b + 2)));
        g.setText(n + 1, UnnamedCol, codecs::DecimalText(byteAt(b + 3)));
    }
}

std::optional<QString> ForceTable::checkText(int col, const QString& text) const
{
    switch (col) {
    case RulerCol:
        return codecs::CheckNumberText(text, LastOfficer, QString::number(0xFFFF));
    case HomeCol:
        return codecs::CheckNumberText(text, LastCity, QString::number(0xFF));
    case UnnamedCol:
        return codecs::CheckNumberText(text, 255);
    default:
        return std::nullopt;
    }
}

void ForceTable::storeCell()
{
    const std::optional<int> record = currentRecord();
    const int c = grid().col();
    if (!record || *record >= RecordCount)
        return;
    const QString t = grid().text(grid().row(), c);
    const qsizetype b = qsizetype(RecordSize) * *record;
    if (c == RulerCol) {
        const std::optional<double> number = codecs::TextToNumber(t);
        if (!number)
            return;
        const double value = codecs::RoundHalfEven(*number);
        // A negative ruler has no 16-bit form; storing its wrapped bits would name a wrong officer.
        if (!(value >= 0.0 && value <= 0xFFFF))
            return;
        const int v = int(value);
        setByte(b, std::uint8_t(v & 0xFF));
        setByte(b + 1, std::uint8_t(v >> 8));
    } else if (c == HomeCol || c == UnnamedCol) {
        if (const std::optional<std::uint8_t> value = codecs::DecimalToByte(t))
            setByte(b + c, *value);
    }
}

EditRule ForceTable::editRule(int col) const
{
    if (col < RulerCol || col >= ColCount)
        return {};
    return {true, col == RulerCol ? 5 : 3, InputMode::Off};
}
