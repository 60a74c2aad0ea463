#include "tableimport.h"

#include "delimitedtext.h"
#include "grid.h"
#include "gridbatch.h"
#include "table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QStringList headerCells(const Grid& grid)
{
    QStringList cells;
    for (int col = 0; col < grid.cols(); ++col)
        cells << TableFormat::encodeCell(grid.text(0, col));
    return cells;
}

// True when `given` is the header row `expected`, or the start of it where only empty header cells are
// left out: spreadsheets save no column that is empty on every line, header included.
bool headerMatches(const QStringList& expected, const QStringList& given)
{
    if (given.size() > expected.size() || given != expected.mid(0, given.size()))
        return false;
    return std::all_of(expected.cbegin() + given.size(), expected.cend(), [](const QString& c) { return c.isEmpty(); });
}

// The line (from 1) of the first byte that is not UTF-8, or 0 when every line is.
int firstBadUtf8Line(const QByteArray& data)
{
    int number = 1;
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The decoder works when its result is turned into a string, not when it is called.
        const QString decoded = decoder.decode(QByteArrayView(data).sliced(start, end - start));
        if (decoder.hasError())
            return number;
        start = end + 1;
        ++number;
    }
    return 0;
}

// The row of the live grid that shows each record key.
QHash<QString, int> rowsByKey(const Grid& grid)
{
    QHash<QString, int> rows;
    for (int row = grid.fixedRows(); row < grid.rows(); ++row)
        rows.insert(grid.text(row, 0).trimmed(), row);
    return rows;
}

} // namespace

FileFormat TableImport::formatOf(const QString& path)
{
    return path.endsWith(u".csv"_s, Qt::CaseInsensitive) ? FileFormat::Csv : FileFormat::Tsv;
}

std::optional<TableImport::CheckedFile> TableImport::check(const Document& doc, const QString& path, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto fail = [error](const QString& message) -> std::optional<CheckedFile> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(u"%1 が見つかりません。"_s.arg(shown));
    if (info.isDir())
        return fail(u"%1 はフォルダーです。表のファイルを指定してください。"_s.arg(shown));
    if (!info.isFile())
        return fail(u"%1 は普通のファイルではありません。"_s.arg(shown));
    if (info.size() > MaximumFileSize)
        return fail(u"%1 は大きすぎます (%2 バイト)。表のファイルではありません。"_s.arg(shown).arg(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"%1 を読めません: %2"_s.arg(shown, file.errorString()));
    // Read one byte past the limit, so a file that grew since the size check is still caught.
    const QByteArray data = file.read(MaximumFileSize + 1);
    if (data.size() > MaximumFileSize)
        return fail(u"%1 は大きすぎます。表のファイルではありません。"_s.arg(shown));
    return checkData(doc, data, formatOf(path), path, error);
}

std::optional<TableImport::CheckedFile> TableImport::checkData(const Document& doc, const QByteArray& data,
                                                               FileFormat format, const QString& path,
                                                               QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto fail = [error, &shown](int line, const QString& message) -> std::optional<CheckedFile> {
        if (error)
            *error = line > 0 ? u"%1: %2 行目: %3"_s.arg(shown).arg(line).arg(message) : shown + u": "_s + message;
        return std::nullopt;
    };
    if (const int bad = firstBadUtf8Line(data))
        return fail(bad, u"UTF-8 の文字ではないバイトがあります。UTF-8 で保存し直してください。"_s);
    QString text = QString::fromUtf8(data);
    // Spreadsheet programs add a byte order mark to either form; it is not part of the first cell.
    if (text.startsWith(QChar(DelimitedText::ByteOrderMark)))
        text.remove(0, 1);
    QString parseError;
    const std::optional<QList<DelimitedText::Line>> lines = DelimitedText::parse(text, format, &parseError);
    if (!lines) {
        if (error)
            *error = shown + u": "_s + parseError;
        return std::nullopt;
    }
    if (lines->isEmpty())
        return fail(0, u"空のファイルです。"_s);

    std::optional<TableId> found;
    for (const TableId id : AllTables)
        if (headerMatches(headerCells(doc.grid(id)), lines->front().cells))
            found = id;
    if (!found) {
        return fail(lines->front().number,
                    u"見出しが officers、cities、items、forces、placement のどの表とも一致しません。"_s);
    }
    const Grid& grid = doc.grid(*found);
    const TableFormat& tableFormat = TableFormat::of(*found);
    const int recordCount = grid.rows() - grid.fixedRows();
    // Cells past the header's width were empty on every line; they are not sent anywhere.
    const qsizetype width = lines->front().cells.size();
    QHash<QString, int> labels;
    if (!tableFormat.keyedByNumber)
        for (int row = grid.fixedRows(); row < grid.rows(); ++row)
            labels.insert(grid.text(row, 0), row);

    CheckedFile checked{path, *found, {}};
    QHash<QString, int> seen;
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const DelimitedText::Line& line = (*lines)[i];
        if (line.cells.size() != width) {
            return fail(line.number,
                        u"セルが %1 個あります。この表の行は %2 個のセルです。"_s.arg(line.cells.size()).arg(width));
        }
        QStringList cells = line.cells;
        for (QString& cell : cells)
            cell = TableFormat::unmarkCell(cell);
        QString key = cells.front().trimmed();
        if (tableFormat.keyedByNumber) {
            bool ok = false;
            const int n = key.toInt(&ok);
            if (!ok || n < 0 || n >= recordCount) {
                return fail(line.number, u"番号「%1」は 0 から %2 の範囲にありません。"_s.arg(key).arg(recordCount - 1));
            }
            key = QString::number(n);
        } else if (!labels.contains(key)) {
            return fail(line.number, u"「%1」はこの表の行にありません。"_s.arg(key));
        }
        const auto previous = seen.constFind(key);
        if (previous != seen.cend())
            return fail(line.number, u"「%1」の行は %2 行目にもあります。"_s.arg(key).arg(*previous));
        seen.insert(key, line.number);
        checked.records.append({line.number, key, cells});
    }
    return checked;
}

ExchangeReport TableImport::apply(Document& doc, const CheckedFile& file)
{
    ExchangeReport report;
    Table& table = doc.table(file.table);
    Grid& grid = doc.grid(file.table);
    const TableFormat& format = TableFormat::of(file.table);
    const QHash<QString, int> rows = rowsByKey(grid);
    const GridBatch batch(grid);
    for (const Record& record : file.records) {
        const int row = rows.value(record.key, -1);
        for (int col = 0; col < record.cells.size(); ++col) {
            if (col == format.derivedColumn || !table.editRule(col).opensEditor)
                continue;
            const QString& cell = record.cells[col];
            // Equal texts are never sent: a value above its column's cap, as an image may hold, would
            // otherwise come back capped.
            if (row >= 0 && cell == TableFormat::encodeCell(grid.text(row, col))) {
                report.addUnchanged();
                continue;
            }
            QString text = TableFormat::decodeCell(cell);
            if (col == format.paddedColumn && text.size() < format.paddedWidth)
                text += QString(format.paddedWidth - text.size(), QChar(u'\0'));
            report.add(table.commitText(row, col, text), grid, row, col, cell);
        }
    }
    return report;
}

TableImport::Result TableImport::importFile(Document& doc, const QString& path)
{
    QString error;
    const std::optional<CheckedFile> checked = check(doc, path, &error);
    if (!checked)
        return {FileResult::failed(error), std::nullopt, {}};
    return {FileResult::done(), checked->table, apply(doc, *checked)};
}
