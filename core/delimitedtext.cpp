#include "delimitedtext.h"

using namespace Qt::StringLiterals;

namespace {

bool needsQuotes(const QString& cell, FileFormat format)
{
    if (format == FileFormat::Tsv)
        return cell.startsWith(u'"');
    for (const QChar c : cell)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return false;
}

bool isBlank(const QStringList& cells)
{
    return cells.size() == 1 && cells.front().isEmpty();
}

void dropTrailingBlankLines(QList<DelimitedText::Line>& lines)
{
    while (!lines.isEmpty() && isBlank(lines.back().cells))
        lines.removeLast();
}

} // namespace

QString DelimitedText::line(const QStringList& cells, FileFormat format)
{
    const QChar separator = format == FileFormat::Tsv ? u'\t' : u',';
    QString out;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += separator;
        if (needsQuotes(cells[i], format))
            out += u'"' + QString(cells[i]).replace(u"\""_s, u"\"\""_s) + u'"';
        else
            out += cells[i];
    }
    return out;
}

std::optional<QList<DelimitedText::Line>> DelimitedText::parse(const QString& text, FileFormat format,
                                                               QString* error)
{
    const QChar separator = format == FileFormat::Tsv ? u'\t' : u',';
    QList<Line> lines;
    QStringList cells;
    QString cell;
    int lineNumber = 1;
    int recordStart = 1;
    bool quoted = false;
    // After a closing quote only a comma or a line end may follow.
    bool closed = false;
    const auto endCell = [&] {
        cells.append(cell);
        cell.clear();
        closed = false;
    };
    const auto endRecord = [&] {
        endCell();
        lines.append({recordStart, cells});
        cells.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                    closed = true;
                }
            } else {
                if (c == u'\n')
                    ++lineNumber;
                cell += c;
            }
            continue;
        }
        if (c == separator) {
            endCell();
        } else if (c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) {
            if (c == u'\r')
                ++i;
            endRecord();
            recordStart = ++lineNumber;
        } else if (closed) {
            if (error)
                *error = u"%1 行目: 引用符で囲んだセルの後に余分な文字があります。"_s.arg(lineNumber);
            return std::nullopt;
        } else if (c == u'"' && cell.isEmpty()) {
            quoted = true;
        } else {
            cell += c;
        }
    }
    if (quoted) {
        if (error)
            *error = u"%1 行目: 引用符が閉じられていません。"_s.arg(recordStart);
        return std::nullopt;
    }
    if (!cell.isEmpty() || !cells.isEmpty() || closed)
        endRecord();
    dropTrailingBlankLines(lines);
    return lines;
}
