#include "placementtable.h"

#include "codecs.h"
#include "grid.h"
#include "tablefields.h"
#include "namelist.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowCount = PlacementTable::RecordCount + 1;
constexpr int Scenarios = 6;
constexpr int FieldsPerRecord = 4;
constexpr int RecordSize = 4;
constexpr int NameCol = 1;
constexpr int FirstFieldCol = 2;
constexpr int ColCount = FirstFieldCol + Scenarios * FieldsPerRecord;

// The block offset that column `col` (2 to 25) of record n shows.
qsizetype offsetOf(int n, int col)
{
    const int s = (col - FirstFieldCol) / FieldsPerRecord;
    const int k = (col - FirstFieldCol) % FieldsPerRecord;
    return qsizetype(s) * PlacementTable::ScenarioSize + qsizetype(RecordSize) * n + k;
}

bool isFieldCol(int col)
{
    return col >= FirstFieldCol && col < ColCount;
}

QStringList headerTexts()
{
    static const std::array<QString, FieldsPerRecord> words{u"兵士"_s, u"身分"_s, u"忠誠"_s, u"所在"_s};
    QStringList headers{u"No"_s, u"名前"_s};
    for (int c = FirstFieldCol; c < ColCount; ++c) {
        const int s = (c - FirstFieldCol) / FieldsPerRecord + 1;
        headers << (u'S' % QString::number(s) % words[std::size_t((c - FirstFieldCol) % FieldsPerRecord)]);
    }
    return headers;
}

} // namespace

const TableFields& PlacementTable::fields()
{
    static const TableFields layout = [] {
        const QStringList headers = headerTexts();
        QVector<FieldColumn> columns(ColCount);
        for (int c = 0; c < ColCount; ++c)
            columns[c] = {headers[c], FieldKind::Number, offsetOf(0, c), 1, true};
        columns[0] = {headers[0], FieldKind::Label};
        // The names come from the name list, not from the block.
        columns[NameCol] = {headers[NameCol], FieldKind::None};
        return TableFields(TableId::Placement, BlockId::Placement, RecordCount, RecordSize, 2, columns);
    }();
    return layout;
}

PlacementTable::PlacementTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::Placement) {}

void PlacementTable::setUpGrid()
{
    Grid& g = grid();
    const QStringList headers = headerTexts();
    setUpShape(RowCount, ColCount, 2, headers);

    g.setColWidth(0, 360);
    for (int c = FirstFieldCol; c < ColCount; ++c)
        g.setColWidth(c, 630);
}

void PlacementTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    // The name column belongs to the name list and is left as it is.
    for (int n = 0; n < RecordCount; ++n)
        for (int c = 0; c < ColCount; ++c)
            if (c != NameCol)
                g.setText(n + 1, c, f.text(bytes, n, c));
}

std::optional<QString> PlacementTable::checkText(int col, const QString& text) const
{
    if (!isFieldCol(col))
        return std::nullopt;
    return codecs::CheckNumberText(text, 255);
}

void PlacementTable::storeCell()
{
    const std::optional<int> record = currentRecord();
    const int c = grid().col();
    if (!record || *record >= RecordCount || !isFieldCol(c))
        return;
    if (const std::optional<std::uint8_t> value = codecs::DecimalToByte(grid().text(grid().row(), c)))
        setByte(offsetOf(*record, c), *value);
}

EditRule PlacementTable::editRule(int col) const
{
    if (!isFieldCol(col))
        return {};
    return {true, 3, InputMode::Off};
}

void PlacementTable::readUTF8(const QString& path)
{
    if (const std::optional<NameList> names = NameList::read(path))
        fillNames(*names);
}

void PlacementTable::fillNames(const NameList& names)
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    for (int n = 0; n < RecordCount; ++n)
        g.setText(n + 1, NameCol, names.name(n));
}
