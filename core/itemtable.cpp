#include "itemtable.h"

#include "codecs.h"
#include "grid.h"
#include "tablefields.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowCount = ItemTable::RecordCount + 1;
constexpr int ColCount = 5;
constexpr int NameCol = 4;
constexpr int NameOffset = 5;
constexpr int NameBytes = 12;
// Columns 1 to 3 show bytes 2 to 4 of the record.
constexpr int ValueOffset = 1;

QStringList headerTexts()
{
    return {u"アイテム名"_s, u"忠誠"_s, u"知力,武力"_s, u"政治,退却"_s, u"名前（16進）"_s};
}

QString itemLabel(int n)
{
    static const std::array<QString, ItemTable::RecordCount> labels{
        u"孫子の兵法書"_s, u"孟徳新書"_s, u"遁甲天書三巻"_s, u"太平要術の書"_s, u"青釭の剣"_s,
        u"倚天の剣"_s,     u"七星の剣"_s, u"青竜偃月刀"_s,   u"赤兎馬"_s,       u"的蘆"_s,
        u"爪黄飛電"_s,     u"青嚢書"_s,   u"玉璽"_s,
    };
    return n >= 0 && n < ItemTable::RecordCount ? labels[std::size_t(n)] : QString();
}

} // namespace

const TableFields& ItemTable::fields()
{
    static const TableFields layout = [] {
        const QStringList headers = headerTexts();
        QVector<FieldColumn> columns(ColCount);
        for (int c = 0; c < ColCount; ++c)
            columns[c] = {headers[c], FieldKind::Number, c + ValueOffset, 1, true};
        columns[0] = {headers[0], FieldKind::Label, 0, 1, false, &itemLabel};
        columns[NameCol] = {headers[NameCol], FieldKind::Hex, NameOffset, NameBytes, true};
        return TableFields(TableId::Item, BlockId::Item, RecordCount, RecordSize, 1, columns);
    }();
    return layout;
}

ItemTable::ItemTable(Grid& grid, EditorState& state) : Table(grid, state, BlockId::Item) {}

void ItemTable::setUpGrid()
{
    Grid& g = grid();
    setUpShape(RowCount, ColCount, 1, headerTexts());

    for (int n = 0; n < RecordCount; ++n)
        g.setText(n + 1, 0, itemLabel(n));

    g.setColWidth(0, 1250);
    g.setColWidth(NameCol, 2500);
    g.setColAlignment(NameCol, ColumnAlignment::Right);
}

QString ItemTable::itemNameText(int n) const
{
    return fields().text(block(), n, NameCol);
}

void ItemTable::fillGrid()
{
    Grid& g = grid();
    const RedrawSuspender suspended(g);
    const QByteArray& bytes = block();
    const TableFields& f = fields();
    // The labels were set once with the grid.
    for (int n = 0; n < RecordCount; ++n)
        for (int c = 1; c < ColCount; ++c)
            g.setText(n + 1, c, f.text(bytes, n, c));
}

std::optional<QString> ItemTable::checkText(int col, const QString& text) const
{
    if (col == NameCol) {
        if (text.size() == 2 * NameBytes && codecs::IsHexText(text))
            return text;
        return std::nullopt;
    }
    if (col < 1 || col > NameCol)
        return std::nullopt;
    return codecs::CheckNumberText(text, 255);
}

void ItemTable::storeCell()
{
    // Items are never re-sorted, so the row position is the record.
    const int n = grid().row() - 1;
    const int c = grid().col();
    if (n < 0 || n >= RecordCount)
        return;
    const QString t = grid().text(grid().row(), c);
    const qsizetype b = qsizetype(RecordSize) * n;
    if (c >= 1 && c < NameCol) {
        if (const std::optional<std::uint8_t> value = codecs::DecimalToByte(t))
            setByte(b + c + ValueOffset, *value);
    } else if (c == NameCol) {
        // A short or broken name would otherwise store zeros over the rest of the name.
        if (t.size() != 2 * NameBytes || !codecs::IsHexText(t))
            return;
        for (int i = 0; i < NameBytes; ++i)
            setByte(b + NameOffset + i, std::uint8_t(codecs::ParseHexText(t.mid(2 * i, 2))));
    }
}

EditRule ItemTable::editRule(int col) const
{
    if (col < 1 || col > NameCol)
        return {};
    return {true, col == NameCol ? 2 * NameBytes : 3, InputMode::Off};
}
