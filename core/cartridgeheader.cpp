#include "cartridgeheader.h"

#include "codepage932.h"

namespace {

quint16 littleEndian16(const QByteArray& image, qint64 at)
{
    return quint16(quint8(image.at(at)) | quint8(image.at(at + 1)) << 8);
}

} // namespace

CartridgeHeader CartridgeHeader::read(const QByteArray& image, ImageForm form)
{
    CartridgeHeader header;
    const qint64 base = headerSize(form);
    if (image.size() < base + ChecksumPosition + 2)
        return header;
    header.m_valid = true;
    header.m_title = image.mid(base + Position, TitleSize);
    header.m_complement = littleEndian16(image, base + ComplementPosition);
    header.m_checksum = littleEndian16(image, base + ChecksumPosition);
    return header;
}

QString CartridgeHeader::titleText() const
{
    QString text;
    for (const char byte : m_title) {
        const auto b = quint8(byte);
        const bool ascii = b >= 0x20 && b < 0x7F;
        const bool katakana = b >= 0xA1 && b <= 0xDF;
        text += ascii || katakana ? CodePage932::byteToChar(b) : QChar(QChar::ReplacementCharacter);
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}
