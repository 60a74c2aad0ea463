#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Pure conversions between field bytes and cell text, shared by every table.
namespace codecs {

QString DecimalText(std::uint8_t b);
// Decimal text rounded half to even; nullopt when not a number or outside 0-255.
std::optional<std::uint8_t> DecimalToByte(const QString& text);
int HighNibble(std::uint8_t b);
int LowNibble(std::uint8_t b);
// high * 16 + (low & 0x0F); nullopt when high does not fit the upper nibble.
std::optional<std::uint8_t> PackNibbles(int high, int low);
QString HexByteText(std::uint8_t b);
QString PadToTwo(const QString& text);
// Value of up to 8 hex digits; 0 for anything else.
qint32 ParseHexText(const QString& text);
qint32 LittleEndianValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
// Optional sign, digits, optional fraction, surrounding spaces ignored; nullopt otherwise.
std::optional<double> TextToNumber(const QString& text);
bool IsHexText(const QString& text);

// Rounds to the nearest whole number, an exact half to the even neighbour.
double RoundHalfEven(double value);

// The commit rule shared by every numeric column: refuses empty text, text that is not a number and
// negative numbers; a number above `cap` becomes `capText` (the cap itself unless a table says
// otherwise); anything else becomes its rounded whole number, so a cell never shows a fraction that
// its bytes cannot hold.
std::optional<QString> CheckNumberText(const QString& text, int cap);
std::optional<QString> CheckNumberText(const QString& text, double cap, const QString& capText);

} // namespace codecs
