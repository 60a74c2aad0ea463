#pragma once

#include "document.h"
#include "fileresult.h"
#include "namelist.h"
#include "tableformat.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Writes tables as spreadsheet files: the header row, then one line per record in record order (never
// the view's sort order), each cell as a fresh fill of the blocks shows it, in the file's encoding.
class TableExport
{
public:
    // The header row and the records of one table, cells already in their file encoding. The
    // placement names come from `names` when given (an empty list: none), otherwise from the names
    // the document shows.
    static QList<QStringList> rows(Document& doc, TableId id, const NameList* names = nullptr);
    // The whole file as text: LF line ends, a byte order mark first for CSV, the records' cells marked
    // where a spreadsheet would change them (TableFormat::markCell).
    static QString text(Document& doc, TableId id, FileFormat format);
    static QByteArray bytes(Document& doc, TableId id, FileFormat format);

    // Writes one table to `path`, replacing it as a whole or not at all.
    static FileResult writeFile(Document& doc, TableId id, FileFormat format, const QString& path);
    // Writes the five tables into `folder` (made when missing) under their own names
    // (officers.tsv ...), all or none: every file is checked before any is written, and a run that
    // fails leaves nothing behind; the message names the file that could not be written.
    static FileResult writeFolder(Document& doc, const QString& folder, FileFormat format);
};
