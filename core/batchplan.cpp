#include "batchplan.h"

#include "batchprogram.h"
#include "codecs.h"
#include "grid.h"
#include "gridbatch.h"
#include "gridfind.h"
#include "table.h"
#include "tablefields.h"

#include <QHash>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A computed value as a user would type it: fixed notation, since the commit rule reads no exponent,
// and six decimals, so that 55*1.1 reads 60.5 and rounds as a typed 60.5 does rather than as the
// 60.50000000000001 the arithmetic gives.
QString typedForm(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == u"-0"_s ? u"0"_s : text;
}

// The row's name in messages: "No 12", or the item's label in the grid without numbers.
QString recordName(const Grid& grid, int row)
{
    const QString header = grid.text(0, 0);
    return header.isEmpty() ? grid.text(row, 0) : header + u' ' + grid.text(row, 0);
}

QString refusedBecause(const Grid& grid, int row, const QString& what)
{
    return recordName(grid, row) + u" の"_s + what + u"何も変えていません。"_s;
}

} // namespace

BatchPlan::ValueSource BatchPlan::fieldValues(TableId id, const QByteArray& block)
{
    // The bytes themselves, read as a fill reads them: what the row holds before the batch, whatever
    // its cells were last told.
    const TableFields& fields = TableFields::of(id);
    return [&fields, &block](int record, int col) -> std::optional<double> {
        if (record < 0 || record >= fields.recordCount())
            return std::nullopt;
        return Grid::numberIn(fields.text(block, record, col));
    };
}

std::variant<BatchPlan, QString> BatchPlan::make(const Table& table, const BatchProgram& program,
                                                 const ValueSource& values)
{
    BatchPlan plan;
    const Grid& grid = table.grid();
    for (int row = grid.fixedRows(); row < grid.rows(); ++row) {
        const std::optional<int> record = GridFind::recordOfRow(grid, row);
        if (grid.isRowHidden(row) || !record)
            continue;
        const auto valueOf = [&values, record](int col) { return values(*record, col); };
        bool rowChanged = false;
        for (int k = 0; k < program.assignmentCount(); ++k) {
            const int col = program.target(k);
            const BatchProgram::Result result = program.evaluate(k, valueOf);
            if (result.fault == BatchProgram::Fault::DivisionByZero)
                return refusedBecause(grid, row, u"計算で 0 による割り算になります。"_s);
            if (result.fault == BatchProgram::Fault::NotANumber)
                return refusedBecause(grid, row, u"「"_s + grid.text(0, result.col) + u"」が数ではありません。"_s);
            const std::optional<double> before = valueOf(col);
            if (!std::isfinite(result.value))
                return refusedBecause(grid, row, u"「"_s + grid.text(0, col) + u"」の計算結果が大きすぎます。"_s);
            // A value the record already holds stays as it is, even above the cap.
            if (before && *before == result.value)
                continue;
            const QString text = typedForm(result.value);
            const std::optional<QString> accepted = table.checkText(col, text);
            if (!accepted)
                return refusedBecause(
                    grid, row, u"「"_s + grid.text(0, col) + u"」が "_s + text + u" になり、入力できない値です。"_s);
            const std::optional<double> stored = codecs::TextToNumber(*accepted);
            if (before && stored && *before == *stored)
                continue;
            if (stored && *stored != codecs::RoundHalfEven(result.value))
                ++plan.m_cut;
            plan.m_changes.push_back({row, col, text});
            rowChanged = true;
        }
        plan.m_rows += rowChanged ? 1 : 0;
    }
    return plan;
}

QString BatchPlan::counts(const QString& verb) const
{
    if (m_changes.isEmpty())
        return u"変わるセルはありません"_s;
    QString text = u"%1 行、%2 セル"_s.arg(m_rows).arg(m_changes.size()) + verb;
    if (m_cut > 0)
        text += u"（上限で %1 セルを切り詰め）"_s.arg(m_cut);
    return text;
}

QString BatchPlan::previewText() const
{
    return counts(u"が変わります"_s);
}

QString BatchPlan::doneText() const
{
    return counts(u"を変更しました"_s);
}

void BatchPlan::apply(Table& table) const
{
    const GridBatch batch(table.grid());
    for (const Change& change : m_changes)
        table.commitText(change.row, change.col, change.text);
}
