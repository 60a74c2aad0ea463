#include "tableformat.h"

#include "codepage932.h"
#include "officertable.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int ReadingBytes = 8;

const std::array<TableFormat, 5>& formats()
{
    static const std::array<TableFormat, 5> all{{
        {TableId::Officer, u"officers"_s, true, OfficerTable::ReadingColumn, ReadingBytes, OfficerTable::MarkerColumn},
        {TableId::City, u"cities"_s, true, -1, 0, -1},
        {TableId::Item, u"items"_s, false, -1, 0, -1},
        {TableId::Force, u"forces"_s, true, -1, 0, -1},
        {TableId::Placement, u"placement"_s, true, -1, 0, -1},
    }};
    return all;
}

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

const TableFormat& TableFormat::of(TableId id)
{
    for (const TableFormat& format : formats())
        if (format.id == id)
            return format;
    return formats().front();
}

std::optional<TableId> TableFormat::byName(const QString& name)
{
    for (const TableFormat& format : formats())
        if (format.name == name)
            return format.id;
    return std::nullopt;
}

std::optional<FileFormat> TableFormat::formatByName(const QString& name)
{
    const QString lower = name.toLower();
    if (lower == u"tsv"_s)
        return FileFormat::Tsv;
    if (lower == u"csv"_s)
        return FileFormat::Csv;
    return std::nullopt;
}

QString TableFormat::extension(FileFormat format)
{
    return format == FileFormat::Csv ? u"csv"_s : u"tsv"_s;
}

QString TableFormat::encodeCell(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isNull())
        --end;
    QString out = text.left(end);
    for (QChar& c : out)
        if (isControl(c.unicode()))
            c = QChar(char16_t(CodePage932::PrivateUseBase + c.unicode()));
    return out;
}

QString TableFormat::markCell(const QString& cell)
{
    if (cell.isEmpty())
        return cell;
    // What any spreadsheet reads back as the same digits: no sign, no leading zero, no exponent, and
    // well within the digits a number keeps.
    const bool plainNumber = cell.size() <= 5 && (cell == u"0"_s || cell.front() != u'0') &&
                             std::all_of(cell.cbegin(), cell.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const char16_t first = cell.front().unicode();
    const bool spreadsheetMayRead = first < 0x80 || (first >= 0xFF01 && first <= 0xFF5E) || cell.front().isSpace();
    return !plainNumber && spreadsheetMayRead ? QChar(TextMark) + cell : cell;
}

QString TableFormat::unmarkCell(const QString& cell)
{
    return cell.startsWith(QChar(TextMark)) ? cell.mid(1) : cell;
}

QString TableFormat::decodeCell(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        // Only the stand-ins of control characters come back; those of other bytes are what the
        // reading column itself shows for them.
        if (u >= CodePage932::PrivateUseBase && u < CodePage932::PrivateUseBase + 0x80 &&
            isControl(char16_t(u - CodePage932::PrivateUseBase)))
            c = QChar(char16_t(u - CodePage932::PrivateUseBase));
    }
    return out;
}
