#include "tableexport.h"

#include "atomicfile.h"
#include "delimitedtext.h"
#include "grid.h"
#include "placementtable.h"
#include "tablefactory.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <memory>

using namespace Qt::StringLiterals;

QList<QStringList> TableExport::rows(Document& doc, TableId id, const NameList* names)
{
    // A scratch grid filled from the blocks: the file shows the bytes, in record order, whatever the
    // view's sort order or the way a value was typed.
    Grid scratch;
    scratch.setRedraw(false);
    const std::unique_ptr<Table> table = TableFactory::make(id, scratch, doc.state());
    table->setUpGrid();
    table->fillGrid();
    if (id == TableId::Placement && names) {
        static_cast<PlacementTable&>(*table).fillNames(*names);
    } else if (id == TableId::Placement) {
        // The names come from the name list, not from the block: take them from the live grid.
        const Grid& live = doc.grid(id);
        QHash<QString, QString> shown;
        for (int row = live.fixedRows(); row < live.rows(); ++row)
            shown.insert(live.text(row, 0), live.text(row, 1));
        for (int row = scratch.fixedRows(); row < scratch.rows(); ++row)
            scratch.setText(row, 1, shown.value(scratch.text(row, 0)));
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
    const QList<QStringList> table = rows(doc, id);
    for (qsizetype row = 0; row < table.size(); ++row) {
        QStringList cells = table[row];
        // The header row is the editor's own text; records may hold anything an image holds.
        if (row > 0)
            for (QString& cell : cells)
                cell = TableFormat::markCell(cell);
        out += DelimitedText::line(cells, format) + u'\n';
    }
    return out;
}

QByteArray TableExport::bytes(Document& doc, TableId id, FileFormat format)
{
    return text(doc, id, format).toUtf8();
}

FileResult TableExport::writeFile(Document& doc, TableId id, FileFormat format, const QString& path)
{
    if (QFileInfo(path).isDir())
        return FileResult::failed(u"%1 はフォルダーです。ファイル名を指定してください。"_s.arg(QDir::toNativeSeparators(path)));
    return atomicfile::replace(path, bytes(doc, id, format));
}

namespace {

// The folders that making `folder` would create, the outermost first.
QStringList missingFolders(const QString& folder)
{
    QStringList missing;
    for (QFileInfo at(QFileInfo(folder).absoluteFilePath()); !at.exists() && !at.isRoot(); at = QFileInfo(at.path()))
        missing.prepend(at.filePath());
    return missing;
}

void removeFolders(const QStringList& made)
{
    for (auto it = made.crbegin(); it != made.crend(); ++it)
        QDir().rmdir(*it);
}

} // namespace

FileResult TableExport::writeFolder(Document& doc, const QString& folder, FileFormat format)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return FileResult::failed(u"%1 はフォルダーではありません。"_s.arg(shown));
    // A run that fails leaves nothing behind, the folders it made included.
    const QStringList made = missingFolders(folder);
    if (!QDir().mkpath(folder)) {
        removeFolders(made);
        return FileResult::failed(u"フォルダー %1 を作れません。"_s.arg(shown));
    }
    const QDir dir(folder);
    QList<atomicfile::Content> files;
    for (const TableId id : AllTables)
        files.append({dir.filePath(TableFormat::of(id).fileName(format)), bytes(doc, id, format)});
    const FileResult written = atomicfile::replaceAll(files);
    if (!written.isDone())
        removeFolders(made);
    return written;
}
