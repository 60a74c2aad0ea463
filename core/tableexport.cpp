#include "tableexport.h"

#include "delimitedtext.h"
#include "grid.h"
#include "table.h"
#include "tablefactory.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <memory>

using namespace Qt::StringLiterals;

QList<QStringList> TableExport::rows(Document& doc, TableId id)
{
    // A scratch grid filled from the blocks: the file shows the bytes, in record order, whatever the
    // view's sort order or the way a value was typed.
    Grid scratch;
    scratch.setRedraw(false);
    const std::unique_ptr<Table> table = TableFactory::make(id, scratch, doc.state());
    table->setUpGrid();
    table->fillGrid();
    if (id == TableId::Placement) {
        // The names come from the name list, not from the block: take them from the live grid.
        const Grid& live = doc.grid(id);
        QHash<QString, QString> names;
        for (int row = live.fixedRows(); row < live.rows(); ++row)
            names.insert(live.text(row, 0), live.text(row, 1));
        for (int row = scratch.fixedRows(); row < scratch.rows(); ++row)
            scratch.setText(row, 1, names.value(scratch.text(row, 0)));
    }
    QList<QStringList> out;
    out.reserve(scratch.rows());
    for (int row = 0; row < scratch.rows(); ++row) {
        QStringList cells;
        cells.reserve(scratch.cols());
        for (int col = 0; col < scratch.cols(); ++col)
            cells.append(TableFormat::encodeCell(scratch.text(row, col)));
        out.append(cells);
    }
    return out;
}

QString TableExport::text(Document& doc, TableId id, FileFormat format)
{
    QString out;
    if (format == FileFormat::Csv)
        out += QChar(DelimitedText::ByteOrderMark);
    for (const QStringList& cells : rows(doc, id))
        out += DelimitedText::line(cells, format) + u'\n';
    return out;
}

QByteArray TableExport::bytes(Document& doc, TableId id, FileFormat format)
{
    return text(doc, id, format).toUtf8();
}

FileResult TableExport::writeFile(Document& doc, TableId id, FileFormat format, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir())
        return FileResult::failed(u"%1 はフォルダーです。ファイル名を指定してください。"_s.arg(shown));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failed(u"%1 に書き込めません: %2"_s.arg(shown, file.errorString()));
    const QByteArray data = bytes(doc, id, format);
    if (file.write(data) != data.size() || !file.commit())
        return FileResult::failed(u"%1 に書き込めません: %2"_s.arg(shown, file.errorString()));
    return FileResult::done();
}

FileResult TableExport::writeFolder(Document& doc, const QString& folder, FileFormat format)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return FileResult::failed(u"%1 はフォルダーではありません。"_s.arg(shown));
    if (!QDir().mkpath(folder))
        return FileResult::failed(u"フォルダー %1 を作れません。"_s.arg(shown));
    const QDir dir(folder);
    for (const TableId id : AllTables) {
        const FileResult written = writeFile(doc, id, format, dir.filePath(TableFormat::of(id).fileName(format)));
        if (!written.isDone())
            return written;
    }
    return FileResult::done();
}
