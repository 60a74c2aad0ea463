#pragma once

#include <QString>

// Whether a test row's file exists only on Unix: device files (/dev/zero, /dev/full) and symbolic
// links. On Windows QFile::link makes a .lnk shortcut, an ordinary file, so those rows test nothing there.
inline bool needsUnixFiles(const QString& kind)
{
#ifdef Q_OS_UNIX
    Q_UNUSED(kind);
    return false;
#else
    return kind.contains(QStringLiteral("dev ")) || kind.contains(QStringLiteral("/dev/")) ||
           (kind.contains(QStringLiteral("link")) && !kind.contains(QStringLiteral("hard link")));
#endif
}

#define SKIP_IF_UNIX_ONLY(kind)                                                                                      \
    do {                                                                                                             \
        if (needsUnixFiles(kind))                                                                                    \
            QSKIP("Windows has no device files, and QFile::link makes a .lnk shortcut, not a symbolic link");       \
    } while (false)
