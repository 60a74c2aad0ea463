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
// empty when there is none. On Windows the process's own command line is read through
// ImagePathFromCommandLine; elsewhere the first argument is taken.
QString ImagePath(const QStringList& arguments);

// The image named by a complete Windows command line: piece 1 of the split above wherever it names a
// file, as it always has; where it names none (a launcher quotes only the arguments that hold spaces,
// so `"C:\…\tavrin-editor.exe" C:\roms\game.smc` splits into one piece), the first of `arguments`,
// which Qt parsed from the same line. Empty when neither gives anything.
QString ImagePathFromCommandLine(const QString& line, const QStringList& arguments);

} // namespace commandline
