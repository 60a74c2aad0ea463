#pragma once

#include <QString>

// The desktop's open-with-default-action service.
class Shell
{
public:
    Shell() = delete;

    // Opens a local file, or an address with a scheme (https://...), with the desktop's default
    // application. Returns whether the desktop took the request.
    static bool ShellOpen(const QString& fileOrAddress);
    // The part of `path` before its last separator; empty when there is none. Both "\" and "/"
    // separate: Qt hands out paths with "/" on every platform, and "\" is the Windows separator.
    static QString DirectoryOfPath(const QString& path);
};
