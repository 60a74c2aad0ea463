#include "codecs.h"

#include <cfenv>
#include <cmath>

namespace codecs {

QString DecimalText(std::uint8_t b)
{
    return QString::number(b);
}

double RoundHalfEven(double value)
{
    // nearbyint follows the current rounding mode; make sure it is the half-to-even one.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

std::optional<std::uint8_t> DecimalToByte(const QString& text)
{
    const std::optional<double> number = TextToNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = RoundHalfEven(*number);
    if (!(rounded >= 0.0 && rounded <= 255.0))
        return std::nullopt;
    return static_cast<std::uint8_t>(rounded);
}

int HighNibble(std::uint8_t b)
{
    return (b >> 4) & 0x0F;
}

int LowNibble(std::uint8_t b)
{
    return b & 0x0F;
}

std::optional<std::uint8_t> PackNibbles(int high, int low)
{
    if (high < 0 || high > 15)
        return std::nullopt;
    return static_cast<std::uint8_t>(high * 16 + (low & 0x0F));
}

QString HexByteText(std::uint8_t b)
{
    return PadToTwo(QString::number(b, 16).toUpper());
}

QString PadToTwo(const QString& text)
{
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

qint32 ParseHexText(const QString& text)
{
    if (text.isEmpty() || text.size() > 8 || !IsHexText(text))
        return 0;
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 16);
    return ok ? static_cast<qint32>(value) : 0;
}

qint32 LittleEndianValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    const quint32 value = quint32(b0) | quint32(b1) << 8 | quint32(b2) << 16 | quint32(b3) << 24;
    return static_cast<qint32>(value);
}

std::optional<double> TextToNumber(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0 || i != t.size())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsHexText(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.toLower().unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f')))
            return false;
    }
    return true;
}

std::optional<QString> CheckNumberText(const QString& text, int cap)
{
    return CheckNumberText(text, cap, QString::number(cap));
}

std::optional<QString> CheckNumberText(const QString& text, double cap, const QString& capText)
{
    const std::optional<double> number = TextToNumber(text);
    if (!number || *number < 0.0)
        return std::nullopt;
    if (*number > cap)
        return capText;
    return QString::number(static_cast<qint64>(RoundHalfEven(*number)));
}

} // namespace codecs
