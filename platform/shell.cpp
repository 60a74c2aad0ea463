#include "shell.h"

#include <QDesktopServices>
#include <QUrl>

bool Shell::ShellOpen(const QString& fileOrAddress)
{
    if (fileOrAddress.isEmpty())
        return false;
    const QUrl address(fileOrAddress);
    // A one-letter scheme is a Windows drive ("C:"), not an address.
    if (address.isValid() && address.scheme().size() > 1)
        return QDesktopServices::openUrl(address);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileOrAddress));
}

QString Shell::DirectoryOfPath(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (path[i] == u'\\' || path[i] == u'/')
            return path.left(i);
    return QString();
}
