#include "exchangereport.h"

#include "grid.h"

using namespace Qt::StringLiterals;

namespace {

const QString Outside = u"表の外"_s;
constexpr qsizetype ShownTextLength = 24;

// Control characters would break the message's lines; their pictures (␉, ␊, ␀ ...) say what they were.
QString printable(const QString& text)
{
    QString out = text.left(ShownTextLength);
    for (QChar& c : out) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    if (text.size() > ShownTextLength)
        out += u'…';
    return out;
}

} // namespace

void ExchangeReport::add(CommitOutcome outcome, const Grid& grid, int row, int col, const QString& text)
{
    switch (outcome) {
    case CommitOutcome::Stored:
        ++m_stored;
        return;
    case CommitOutcome::Refused:
        ++m_refused;
        break;
    case CommitOutcome::Skipped:
        ++m_skipped;
        break;
    }
    // Only the cells the message names are kept: a paste of a whole sheet onto a corner of the grid
    // would otherwise hold every cell that fell outside.
    if (m_cells.size() >= ListedCells)
        return;
    const bool rowInside = row >= 0 && row < grid.rows();
    const bool colInside = col >= 0 && col < grid.cols();
    QString header = colInside ? grid.text(0, col) : Outside;
    if (colInside && header.isEmpty())
        header = u"%1列目"_s.arg(col + 1);
    m_cells.append({outcome, rowInside ? rowLabel(grid, row) : Outside, header, text});
}

QString ExchangeReport::rowLabel(const Grid& grid, int row)
{
    if (row < grid.fixedRows())
        return u"見出し"_s;
    QStringList parts;
    for (int c = 0; c < std::max(grid.fixedCols(), 1); ++c) {
        const QString label = grid.text(row, c).trimmed();
        if (!label.isEmpty())
            parts << label;
    }
    return parts.join(u' ');
}

QString ExchangeReport::message() const
{
    if (!hasProblems())
        return {};
    QString text = u"%1 個のセルを書き込みました。"_s.arg(m_stored);
    if (m_refused > 0)
        text += u"\n%1 個のセルは値が受け付けられませんでした。"_s.arg(m_refused);
    if (m_skipped > 0)
        text += u"\n%1 個のセルは編集できない列か表の外なので飛ばしました。"_s.arg(m_skipped);
    text += u'\n';
    for (qsizetype i = 0; i < m_cells.size() && i < ListedCells; ++i) {
        const Cell& cell = m_cells[i];
        const QString what = cell.outcome == CommitOutcome::Refused ? u"受け付けられません"_s : u"飛ばしました"_s;
        text += u"\n・%1 / %2: 「%3」 %4"_s.arg(cell.rowLabel, cell.header, printable(cell.text), what);
    }
    if (const int more = m_refused + m_skipped - int(m_cells.size()); more > 0)
        text += u"\n・ほか %1 個"_s.arg(more);
    return text;
}

QString ExchangeReport::importedMessage(int stored)
{
    return u"%1 個の値を取り込みました。"_s.arg(stored);
}
