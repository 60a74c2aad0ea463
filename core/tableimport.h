#pragma once

#include "document.h"
#include "exchangereport.h"
#include "fileresult.h"
#include "tableformat.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Reads spreadsheet files written by TableExport (or edited since) back into a document. A file is
// checked whole before anything changes: one that is not one of the five tables changes nothing.
class TableImport
{
public:
    // Largest file taken; the biggest table is well under a megabyte.
    static constexpr qint64 MaximumFileSize = 16LL * 1024 * 1024;

    // One data line: the line number, the record's key in the label column, and its cells.
    struct Record
    {
        int line;
        QString key;
        QStringList cells;
    };

    // A file that passed every check, ready to apply.
    struct CheckedFile
    {
        QString path;
        TableId table;
        QList<Record> records;
    };

    // The outcome of importFile: a failure (nothing changed) or the report of the cells sent.
    struct Result
    {
        FileResult file;
        std::optional<TableId> table;
        ExchangeReport report;
    };

    // Reads `path` (CSV when its name ends in .csv, TSV otherwise) and finds the table by its header
    // line. Nothing changes. On failure `error` names the file and, where there is one, the line.
    static std::optional<CheckedFile> check(const Document& doc, const QString& path, QString* error);
    // The same for file contents already in memory; `path` only names them in messages.
    static std::optional<CheckedFile> checkData(const Document& doc, const QByteArray& data, FileFormat format,
                                                const QString& path, QString* error);
    // Sends every cell that differs from what its grid shows through the table's commit path; cells
    // in columns that are not typed over (labels) or that every fill computes are left alone.
    static ExchangeReport apply(Document& doc, const CheckedFile& file);
    // check, then apply.
    static Result importFile(Document& doc, const QString& path);

    // The form a file name asks for: CSV for .csv, TSV for anything else.
    static FileFormat formatOf(const QString& path);
};
