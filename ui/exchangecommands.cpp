#include "exchangecommands.h"

#include "editsession.h"
#include "exchangereport.h"
#include "exportdialog.h"
#include "filedialogs.h"
#include "okmessagebox.h"
#include "tableexport.h"
#include "tableimport.h"

#include <QFileDialog>

using namespace Qt::StringLiterals;

ExchangeCommands::ExchangeCommands(EditSession& session) : QObject(&session), m_session(session) {}

bool ExchangeCommands::hasImage() const
{
    return !m_session.document().state().currentPath().isEmpty();
}

void ExchangeCommands::tell(const QString& text) const
{
    OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), text);
}

void ExchangeCommands::exportTables()
{
    // Like the saves, nothing to write before an image is open.
    if (!hasImage())
        return;
    ExportDialog dialog(&m_session.window());
    dialog.setTable(m_session.visibleTable());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<TableId> table = dialog.table();
    const FileFormat format = dialog.format();
    QString path;
    if (table) {
        const QString extension = TableFormat::extension(format);
        const FileFilter filter{extension.toUpper() + u" ファイル(*."_s + extension + u')', u"*."_s + extension};
        path = FileDialogs::showSaveDialog(&m_session.window(), u"エクスポート"_s, {filter},
                                           TableFormat::of(*table).fileName(format));
    } else {
        path = QFileDialog::getExistingDirectory(&m_session.window(), u"エクスポート先のフォルダー"_s);
    }
    if (!path.isEmpty())
        exportTo(table, format, path);
}

bool ExchangeCommands::exportTo(std::optional<TableId> table, FileFormat format, const QString& path)
{
    Document& document = m_session.document();
    const FileResult written = table ? TableExport::writeFile(document, *table, format, path)
                                     : TableExport::writeFolder(document, path, format);
    if (written.isFailed())
        tell(written.message());
    return written.isDone();
}

void ExchangeCommands::importTables()
{
    if (!hasImage())
        return;
    const QStringList paths = QFileDialog::getOpenFileNames(
        &m_session.window(), u"インポート"_s, QString(),
        u"表のファイル (*.tsv *.csv);;TSV ファイル (*.tsv);;CSV ファイル (*.csv);;すべてのファイル (*)"_s);
    if (!paths.isEmpty())
        importFiles(paths);
}

void ExchangeCommands::importFiles(const QStringList& paths)
{
    if (!hasImage() || paths.isEmpty())
        return;
    Document& document = m_session.document();
    QList<TableImport::CheckedFile> files;
    QList<TableId> tables;
    for (const QString& path : paths) {
        QString error;
        std::optional<TableImport::CheckedFile> checked = TableImport::check(document, path, &error);
        if (!checked) {
            tell(error + u"\nインポートは行いませんでした。"_s);
            return;
        }
        if (!tables.contains(checked->table))
            tables << checked->table;
        files << std::move(*checked);
    }

    QList<ExchangeReport> reports;
    m_session.record(tables, u"インポート"_s, [&] {
        for (const TableImport::CheckedFile& file : files)
            reports << TableImport::apply(document, file);
    });
    int stored = 0;
    QStringList problems;
    for (qsizetype i = 0; i < reports.size(); ++i) {
        stored += reports[i].stored();
        if (reports[i].hasProblems())
            problems << files[i].path + u":\n"_s + reports[i].message();
    }
    if (stored > 0)
        document.state().showCurrentPath();
    // A file whose values all equal the tables changes nothing, which is worth saying too.
    tell(problems.isEmpty() ? ExchangeReport::importedMessage(stored) : problems.join(u"\n\n"_s));
}
