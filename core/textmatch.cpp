#include "textmatch.h"

#include "codepage932.h"
#include "grid.h"

namespace {

// Plain ASCII without NULs and without capitals is already folded; most cells are numbers.
bool isFolded(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0 || u >= 0x80 || (u >= u'A' && u <= u'Z'))
            return false;
    }
    return true;
}

} // namespace

QString TextMatch::fold(const QString& text)
{
    if (isFolded(text))
        return text;
    QString folded = CodePage932::toHalfWidth(text).toCaseFolded();
    folded.remove(QChar(0));
    return folded;
}

bool TextMatch::contains(const QString& text, const QString& foldedNeedle)
{
    if (foldedNeedle.isEmpty())
        return true;
    if (text.size() < foldedNeedle.size() && isFolded(text))
        return false;
    return fold(text).contains(foldedNeedle);
}

bool TextMatch::cellContains(const Grid& grid, int row, int col, const QString& foldedNeedle, const CellExtra& extra)
{
    if (contains(grid.text(row, col), foldedNeedle))
        return true;
    return extra && contains(extra(row, col), foldedNeedle);
}
