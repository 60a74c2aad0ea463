#include "cartridgechecksum.h"

#include "cartridgeheader.h"

#include <bit>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 PairStart = CartridgeHeader::ComplementPosition;
constexpr qint64 PairEnd = CartridgeHeader::ChecksumPosition + 2;

// The plain sum of bytes [from, from + length) of the cartridge, the four header bytes counted as a
// valid pair. It can pass 32 bits (64 MiB of 0xFF sums to about 2^34, and the mirroring multiplies),
// and then wraps: unsigned arithmetic is modulo 2^32, which keeps the low 16 bits, the only ones the
// checksum stores, exact.
quint32 plainSum(QByteArrayView data, qint64 from, qint64 length)
{
    quint32 sum = 0;
    const qint64 to = from + length;
    for (qint64 i = from; i < to; ++i) {
        if (i >= PairStart && i < PairEnd)
            continue;
        sum += quint8(data[i]);
    }
    if (from < PairEnd && to > PairStart)
        sum += CartridgeChecksum::PairWeight;
    return sum;
}

// The sum of `length` bytes from `from` as the console reads them, mirrored up to the next power of two.
quint32 mirroredSum(QByteArrayView data, qint64 from, qint64 length)
{
    const auto size = quint64(length);
    if (std::has_single_bit(size))
        return plainSum(data, from, length);
    const qint64 whole = qint64(std::bit_floor(size));
    const qint64 rest = length - whole;
    // The rest, mirrored itself, fills a power of two that divides `whole`.
    const qint64 restSpan = qint64(std::bit_ceil(quint64(rest)));
    return plainSum(data, from, whole) + mirroredSum(data, from + whole, rest) * quint32(whole / restSpan);
}

} // namespace

std::optional<quint16> CartridgeChecksum::compute(QByteArrayView cartridge)
{
    if (cartridge.size() < PairEnd)
        return std::nullopt;
    return quint16(mirroredSum(cartridge, 0, cartridge.size()));
}

std::optional<quint16> CartridgeChecksum::compute(const QByteArray& image, ImageForm form)
{
    const qint64 base = headerSize(form);
    if (image.size() < base)
        return std::nullopt;
    return compute(QByteArrayView(image).sliced(base));
}

bool CartridgeChecksum::fix(QByteArray& image, ImageForm form)
{
    const std::optional<quint16> sum = compute(image, form);
    if (!sum)
        return false;
    const quint16 complement = *sum ^ 0xFFFF;
    const char pair[4]{char(complement & 0xFF), char(complement >> 8), char(*sum & 0xFF), char(*sum >> 8)};
    return putPair(image, form, QByteArrayView(pair, 4));
}

bool CartridgeChecksum::putPair(QByteArray& image, ImageForm form, QByteArrayView pair)
{
    const qint64 at = headerSize(form) + PairStart;
    if (pair.size() != PairEnd - PairStart || image.size() < at + pair.size())
        return false;
    for (qsizetype k = 0; k < pair.size(); ++k)
        image[at + k] = pair[k];
    return true;
}

QByteArray CartridgeChecksum::storedPair(const QByteArray& image, ImageForm form)
{
    const qint64 at = headerSize(form) + PairStart;
    if (image.size() < at + (PairEnd - PairStart))
        return {};
    return image.mid(at, PairEnd - PairStart);
}

QString CartridgeChecksum::hexText(quint16 value)
{
    return u"0x"_s + QString::number(value, 16).toUpper().rightJustified(4, u'0');
}
