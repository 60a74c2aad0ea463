#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// A temporary folder in memory (/dev/shm) where the system has one, so that a target that writes
// files for every input waits on no disk, and the flush to disk at the end of a save costs nothing.
class FuzzTempDir : public QTemporaryDir
{
public:
    FuzzTempDir() : QTemporaryDir(templatePath()) {}

private:
    static QString templatePath()
    {
        const QFileInfo memory(QStringLiteral("/dev/shm"));
        const QString base = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
        return base + QStringLiteral("/tavrin-fuzz-XXXXXX");
    }
};
