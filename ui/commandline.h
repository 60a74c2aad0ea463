#pragma once

#include <QString>
#include <QStringList>

// The image named on the command line.
namespace commandline {

// Splits a complete Windows command line (program path included) the way the editor always has:
// a line that starts with a double quote loses its first and last character and is split at
// `"  "` (quote, two spaces, quote), or at `" "` when that gives a single piece; any other line is
// split at every space. Exact and case-sensitive; empty pieces are kept.
QStringList SplitWindowsCommandLine(const QString& line);

// The image path in `arguments` (the program first, as QCoreApplication::arguments() gives them);
// empty when there is none. On Windows the process's own command line is split as above, so that
// paths keep their spaces exactly as the shell passed them; elsewhere the first argument is taken.
QString ImagePath(const QStringList& arguments);

} // namespace commandline
