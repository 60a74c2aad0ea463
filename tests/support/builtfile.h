#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

// A file of the build, given relative to the folder of the running test executable. The build passes
// relative paths so that a test file compiles to the same command in every clone, which lets the
// compiler cache serve a fresh clone from what another clone compiled.
inline QString builtFile(const char* relativePath)
{
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromUtf8(relativePath)));
}
