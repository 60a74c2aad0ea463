#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The CRC32 that zlib computes (the one dump databases list and BPS patches carry).
quint32 Crc32(QByteArrayView bytes);

// As eight upper-case hexadecimal digits, the way the figure is usually written.
QString Crc32Text(quint32 crc);
