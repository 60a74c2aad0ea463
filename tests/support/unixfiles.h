#pragma once

#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// A named pipe at `path`; false where the system has none.
inline bool makeFifo(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// A second name for `target`; false where the system cannot give one.
inline bool makeHardLink(const QString& target, const QString& link)
{
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
#else
    Q_UNUSED(target);
    Q_UNUSED(link);
    return false;
#endif
}
