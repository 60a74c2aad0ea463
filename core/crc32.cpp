#include "crc32.h"

#include <QString>

#include <zlib.h>

#include <algorithm>

quint32 Crc32(QByteArrayView bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    // zlib counts in uInt; feeding it in slices keeps any size correct.
    constexpr qsizetype Slice = 1 << 30;
    for (qsizetype at = 0; at < bytes.size(); at += Slice)
        crc = crc32(crc, data + at, static_cast<uInt>(std::min(Slice, bytes.size() - at)));
    return static_cast<quint32>(crc);
}

QString Crc32Text(quint32 crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}
