#pragma once

#include "imageform.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

// The checksum the cartridge header carries: the 16-bit sum of the cartridge data as the console reads
// it, and the complement stored beside it.
class CartridgeChecksum
{
public:
    CartridgeChecksum() = delete;

    // The four header bytes (complement, then checksum) count as a valid pair, 0xFF 0xFF 0x00 0x00,
    // whatever they hold, so that a stale pair does not change the result.
    static constexpr quint32 PairWeight = 0x1FE;

    // The sum of `cartridge` (the data without any copier header). A size that is not a power of two
    // counts as the console mirrors it: the largest power of two P not above the size once, then the
    // rest, summed the same way, repeated until it fills P. Nullopt when the data is too short to hold
    // the header.
    static std::optional<quint16> compute(QByteArrayView cartridge);
    // The same for a whole file of the given form.
    static std::optional<quint16> compute(const QByteArray& image, ImageForm form);

    // Writes the computed checksum and its complement into the four header bytes of `image`, and
    // nothing else; false (image unchanged) when it is too short to hold the header.
    static bool fix(QByteArray& image, ImageForm form);
    // Writes `pair` (four bytes: complement, then checksum, as the header stores them).
    static bool putPair(QByteArray& image, ImageForm form, QByteArrayView pair);
    // The four stored bytes; empty when the image is too short.
    static QByteArray storedPair(const QByteArray& image, ImageForm form);

    // "0x1234".
    static QString hexText(quint16 value);
};
