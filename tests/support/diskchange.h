#pragma once

#include "filebytes.h"
#include "blockcatalogue.h"
#include "imageform.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>

// What another program may do to an image while the editor has it open. The sample has a copier
// header; "size" keeps that form (any size but a whole number of kilobytes reads as one).
namespace diskchange {

// An officer byte, well inside the first table.
inline constexpr qint64 TableByte = 0xA8226 + 40;
// A byte of no table (between the officer and city tables).
inline constexpr qint64 OutsideByte = 0xAC07E;

inline bool keepTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

// Applies `kind` to the file at `path`; false when the change could not be made.
inline bool apply(const QString& path, const QString& kind)
{
    const QDateTime time = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    QByteArray bytes = readFileBytes(path);
    if (bytes.isEmpty())
        return false;
    if (kind == QLatin1String("size"))
        return writeFileBytes(path, bytes + QByteArray(1, '\0')) && keepTime(path, time);
    if (kind == QLatin1String("time"))
        return keepTime(path, time.addSecs(3600));
    if (kind == QLatin1String("table byte") || kind == QLatin1String("outside byte")) {
        const qint64 at = kind == QLatin1String("table byte") ? TableByte : OutsideByte;
        bytes[at] = char(bytes[at] ^ 0x5A);
        return writeFileBytes(path, bytes) && keepTime(path, time);
    }
    if (kind == QLatin1String("deleted"))
        return QFile::remove(path);
    if (kind == QLatin1String("other form"))
        return writeFileBytes(path, bytes.mid(CopierHeaderSize));
    if (kind == QLatin1String("truncated"))
        return writeFileBytes(path, bytes.left(1000));
    return kind == QLatin1String("nothing");
}

} // namespace diskchange
