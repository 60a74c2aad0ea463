#include "rowfilter.h"

#include "grid.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct OpSpelling
{
    QStringView text;
    RowFilter::Op op;
};

// Two-character spellings first, so that <= is not read as < followed by =.
constexpr OpSpelling Spellings[] = {
    {u"!=", RowFilter::Op::NotEqual}, {u"<=", RowFilter::Op::LessOrEqual}, {u">=", RowFilter::Op::GreaterOrEqual},
    {u"=", RowFilter::Op::Equal},     {u"<", RowFilter::Op::Less},         {u">", RowFilter::Op::Greater},
};

bool holds(double cell, RowFilter::Op op, double number)
{
    switch (op) {
    case RowFilter::Op::Equal:
        return cell == number;
    case RowFilter::Op::NotEqual:
        return cell != number;
    case RowFilter::Op::Less:
        return cell < number;
    case RowFilter::Op::LessOrEqual:
        return cell <= number;
    case RowFilter::Op::Greater:
        return cell > number;
    case RowFilter::Op::GreaterOrEqual:
        return cell >= number;
    }
    return false;
}

std::optional<int> columnNamed(const Grid& grid, const QString& foldedName)
{
    for (int c = 0; c < grid.cols(); ++c)
        if (TextMatch::fold(grid.text(0, c)) == foldedName)
            return c;
    return std::nullopt;
}

} // namespace

QString RowFilter::differenceWord()
{
    return TextMatch::fold(u"相違"_s);
}

std::variant<RowFilter, QString> RowFilter::parse(const QString& text, const Grid& grid, RowTest differs)
{
    RowFilter filter;
    // Folding first turns the ideographic space into a space and full-width signs and digits into
    // the ASCII ones, so 武力＞＝９０ typed with the input method reads as 武力>=90.
    const QStringList words = TextMatch::fold(text).split(u' ', Qt::SkipEmptyParts);
    for (const QString& word : words) {
        qsizetype opAt = -1;
        for (qsizetype i = 0; i < word.size() && opAt < 0; ++i)
            if (QStringView(u"=!<>").contains(word[i]))
                opAt = i;
        // After a merge the marks are its conflicts, which 衝突 names.
        if (opAt < 0 && (word == differenceWord() || word == TextMatch::fold(u"衝突"_s))) {
            if (!differs)
                return u"「%1」で絞り込めるのは、比較している間だけです。"_s.arg(word);
            filter.m_differs = differs;
            continue;
        }
        if (opAt < 0) {
            filter.m_words << word;
            continue;
        }
        const OpSpelling* spelling = nullptr;
        for (const OpSpelling& each : Spellings)
            if (QStringView(word).sliced(opAt).startsWith(each.text)) {
                spelling = &each;
                break;
            }
        const QString name = word.first(opAt);
        if (!spelling || name.isEmpty())
            return u"「"_s + word + u"」は「列名 比較 数」(例: 武力>=90) の形ではありません。"_s;
        const std::optional<int> col = columnNamed(grid, name);
        if (!col)
            return u"「"_s + name + u"」という列はありません。"_s;
        const std::optional<double> number = Grid::numberIn(word.sliced(opAt + spelling->text.size()));
        if (!number)
            return u"「"_s + word + u"」の右側が数ではありません。"_s;
        filter.m_comparisons.push_back({*col, spelling->op, *number});
    }
    return filter;
}

bool RowFilter::matches(const Grid& grid, int row, const TextMatch::CellExtra& extra) const
{
    if (m_differs && !m_differs(row))
        return false;
    for (const Comparison& comparison : m_comparisons) {
        const std::optional<double> cell = Grid::numberIn(grid.text(row, comparison.col));
        if (!cell || !holds(*cell, comparison.op, comparison.number))
            return false;
    }
    for (const QString& word : m_words) {
        bool found = false;
        for (int c = 0; c < grid.cols() && !found; ++c)
            found = TextMatch::cellContains(grid, row, c, word, extra);
        if (!found)
            return false;
    }
    return true;
}

QVector<bool> RowFilter::hiddenRows(const Grid& grid, const TextMatch::CellExtra& extra) const
{
    QVector<bool> hidden(grid.rows(), false);
    if (isEmpty())
        return hidden;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        hidden[r] = !matches(grid, r, extra);
    return hidden;
}
