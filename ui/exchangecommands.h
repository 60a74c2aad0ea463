#pragma once

#include "document.h"
#include "tableformat.h"

#include <QObject>
#include <QStringList>

#include <optional>

class EditSession;

// ファイル > "エクスポート..." and "インポート...": the tables to and from spreadsheet files. Import
// changes only the open document (nothing reaches the disk before a save) and is one undo step.
class ExchangeCommands : public QObject
{
    Q_OBJECT

public:
    explicit ExchangeCommands(EditSession& session);

    // Asks what to export and where, then writes it.
    void exportTables();
    // Asks for one or more files, then imports them.
    void importTables();

    // Writes one table to the file `path`, or all five into the folder `path` (nullopt); a failure is
    // shown. True when written.
    bool exportTo(std::optional<TableId> table, FileFormat format, const QString& path);
    // Checks every file first: one that is not one of the five tables changes nothing at all and is
    // named in the message. Then sends the cells through the commit rules as one undo step and tells
    // what was refused or skipped.
    void importFiles(const QStringList& paths);

private:
    void tell(const QString& text) const;
    bool hasImage() const;

    EditSession& m_session;
};
