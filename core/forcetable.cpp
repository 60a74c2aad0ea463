#include "forcetable.h"

#include "codecs.h"
#include "grid.h"
#include "tablefields.h"

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

const TableFields& ForceTable::fields()
{
    static const TableFields layout(TableId::Force, BlockId::Force, RecordCount, RecordSize, 1,
                                    {{u"No"_s, FieldKind::Label},
                                     {u"君主"_s, FieldKind::Number, 0, 2, true},
                                     {u"本拠"_s, FieldKind::Number, 2, 1, true},
                                     {u"？"_s, FieldKind::Number, 3, 1, true}});
    return layout;
}

ForceTable::ForceTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::Force) {}

void ForceTable::setUpGrid()
{
    Grid& g = grid();
    QStringList headers;
    for (int c = 0; c < ColCount; ++c)
        headers << fields().column(c).header;
    setUpShape(RowCount, ColCount, 1, headers);
    g.setColWidth(0, 360);
}

void ForceTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    for (int n = 0; n < RecordCount; ++n)
        for (int c = 0; c < ColCount; ++c)
            g.setText(n + 1, c, f.text(bytes, n, c));
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
