#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

// The single-byte half of code page 932 (ASCII and half-width katakana), made total: every byte 0-255
// shows as exactly one character and stores back as the same byte, so a reading read from the image
// survives an edit of any other field unchanged.
class CodePage932
{
public:
    // Bytes that code page 932 uses only as lead bytes or leaves unassigned show as this code point
    // plus the byte, inside the private use area, so no real character is ever mistaken for them.
    static constexpr char16_t PrivateUseBase = 0xF700;

    // The character byte `b` shows as.
    static QChar byteToChar(std::uint8_t b);
    // The byte that `c` stores as; nullopt for a character without a single-byte code.
    static std::optional<std::uint8_t> charToByte(QChar c);
    // One character per byte.
    static QString bytesToText(const QByteArray& bytes);
    // Whether every character of `text` has a single-byte code.
    static bool isSingleByteText(const QString& text);

    // What a half-width katakana input mode would have typed: full-width katakana, hiragana, the
    // ideographic space and full-width ASCII become their half-width forms (a voiced kana becomes its
    // base and a separate voicing mark); any other character stays as it is.
    static QString toHalfWidth(const QString& text);
};
