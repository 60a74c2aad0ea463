#pragma once

#include <QByteArray>
#include <QString>

// A deterministic stand-in for a cartridge image, so that tests and manual runs never need a real one.
//
// The five block ranges hold plausible, varied records; every other byte follows a non-zero pattern,
// so any stray write shows. Hand-picked records give tests fixed cases to aim at:
// - officers 0-11 cover every class marker, including the War 70-84 borderline (records 1, 2, 9, 10);
//   officer 12 has an ASCII reading, officers 20-23 a reading byte with no single-byte character
//   (0x80, 0x81, 0xA0, 0xFD), officer 24 a reading of the full eight characters;
// - city record 0 holds population 300 (bytes 0x2C 0x01) and byte 8 = 0xA3; every 23rd record holds
//   values above the caps of the 16-bit fields;
// - item record 0 has the name bytes 00 0A FF followed by nine 01 bytes;
// - force records 0 and 1 have rulers 0 and 531, every tenth record ruler 65535 and every eighth
//   base 255.
class SampleImage
{
public:
    // One megabyte of image behind the 512-byte copier header.
    static constexpr qsizetype Size = 1024 * 1024 + 512;

    static QByteArray generate();
    // Writes the image to `path`, replacing any file there; on failure `error` says why.
    static bool write(const QString& path, QString* error = nullptr);
};
