#pragma once

#include <QString>

class Document;
class QCommandLineParser;
class QTextStream;

// What the subcommands share: opening an image without a window, and their argument handling.
namespace cli {

// Opens `path` into `doc` (grids set up and filled). On failure writes a message that starts with
// `command` to `err` and returns false. Opening clears a read-only flag for the window's sake; here
// the file's permissions are put back, since reading an image must not change it.
bool openImage(Document& doc, const QString& path, const QString& command, QTextStream& err);

// Parses `arguments` (the subcommand's name first). Returns false after writing either the help text
// to `out` (`helped` set) or the parser's complaint to `err`.
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, const QString& synopsis,
                    QTextStream& out, QTextStream& err, bool& helped);

// Writes "tavrin COMMAND: message" and the hint to ask for help; for usage errors.
void usageError(const QString& command, const QString& message, QTextStream& err);

} // namespace cli
