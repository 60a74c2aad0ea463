#include "commandline.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <algorithm>

using namespace Qt::StringLiterals;

namespace commandline {

QStringList SplitWindowsCommandLine(const QString& line)
{
    if (!line.startsWith(u'"'))
        return line.split(u' ', Qt::KeepEmptyParts, Qt::CaseSensitive);
    const QString inner = line.mid(1, std::max<qsizetype>(line.size() - 2, 0));
    const QStringList pieces = inner.split(u"\"  \""_s, Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (pieces.size() != 1)
        return pieces;
    return inner.split(u"\" \""_s, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString ImagePathFromCommandLine(const QString& line, const QStringList& arguments)
{
    const QString split = SplitWindowsCommandLine(line).value(1);
    // A piece that names no file opened nothing before; Qt's reading of the line may name one.
    if (QFileInfo(split).isFile())
        return split;
    const QString parsed = arguments.value(1);
    return QFileInfo(parsed).isFile() ? parsed : split;
}

QString ImagePath(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return QString();
#ifdef Q_OS_WIN
    // The process's own command line, split as Windows programs of this kind always did; arguments
    // handed in by a caller other than the process itself (a second window, a test) count as given.
    if (arguments == QCoreApplication::arguments())
        return ImagePathFromCommandLine(QString::fromWCharArray(GetCommandLineW()), arguments);
    return arguments.at(1);
#else
    return arguments.at(1);
#endif
}

} // namespace commandline
