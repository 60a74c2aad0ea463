#include "cellblock.h"

CellBlock CellBlock::parse(const QString& text)
{
    CellBlock block;
    qsizetype end = text.size();
    if (text.endsWith(u"\r\n"))
        end -= 2;
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        end -= 1;
    if (end == 0)
        return block;
    qsizetype start = 0;
    while (start <= end) {
        qsizetype stop = start;
        while (stop < end && text[stop] != u'\r' && text[stop] != u'\n')
            ++stop;
        block.m_rows.append(text.mid(start, stop - start).split(u'\t'));
        if (stop >= end)
            break;
        // A CR LF pair is one line end; a lone CR or LF is one too.
        start = stop + ((text[stop] == u'\r' && stop + 1 < end && text[stop + 1] == u'\n') ? 2 : 1);
        if (start > end)
            break;
    }
    return block;
}

qsizetype CellBlock::cellCount() const
{
    qsizetype count = 0;
    for (const QStringList& row : m_rows)
        count += row.size();
    return count;
}
