#pragma once

#include <QDir>
#include <QString>
#include <QStringBuilder>

// The window's caption while `path` is the open file: the file as the system spells it (backslashes
// on Windows, whatever spelling it was opened by).
inline QString captionNaming(const QString& path)
{
    return QStringLiteral("Tavrinエディター [") % QDir::toNativeSeparators(path) % QLatin1Char(']');
}
