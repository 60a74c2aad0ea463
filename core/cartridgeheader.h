#pragma once

#include "imageform.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The cartridge's own header of a LoROM image, at 0x7FC0 of the image without its copier header:
// the 21-byte title, and the checksum with its complement.
class CartridgeHeader
{
public:
    static constexpr qint64 Position = 0x7FC0;
    static constexpr qsizetype TitleSize = 21;
    static constexpr qint64 ComplementPosition = 0x7FDC;
    static constexpr qint64 ChecksumPosition = 0x7FDE;

    // Reads the header of `image`, a whole file of the given form; isValid() is false when the image
    // is too short to hold it.
    static CartridgeHeader read(const QByteArray& image, ImageForm form);

    bool isValid() const { return m_valid; }
    QByteArray titleBytes() const { return m_title; }
    // ASCII and half-width katakana as code page 932 reads them, trailing spaces dropped; any other
    // byte shows as U+FFFD, so that control bytes never reach a terminal.
    QString titleText() const;
    quint16 checksum() const { return m_checksum; }
    quint16 complement() const { return m_complement; }
    // Whether checksum and complement add up to 0xFFFF, as they do in an intact header.
    bool checksumsAgree() const { return (m_checksum ^ m_complement) == 0xFFFF; }

private:
    bool m_valid = false;
    QByteArray m_title;
    quint16 m_checksum = 0;
    quint16 m_complement = 0;
};
