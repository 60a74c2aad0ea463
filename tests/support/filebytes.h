#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// A whole file as bytes; empty when it cannot be read.
inline QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces a file's contents; true when every byte was written.
inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The offsets at which two byte strings differ, over their common length.
inline QList<qint64> differences(const QByteArray& a, const QByteArray& b)
{
    QList<qint64> at;
    for (qint64 i = 0; i < qMin(a.size(), b.size()); ++i)
        if (a.at(i) != b.at(i))
            at << i;
    return at;
}
