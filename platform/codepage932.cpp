#include "codepage932.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t HalfWidthFirst = 0xFF61; // ｡ at byte 0xA1
constexpr char16_t HalfWidthLast = 0xFF9F;  // ﾟ at byte 0xDF
constexpr std::uint8_t HalfWidthFirstByte = 0xA1;
constexpr char16_t VoicedMark = 0xFF9E;     // ﾞ
constexpr char16_t SemiVoicedMark = 0xFF9F; // ﾟ

bool hasSingleByteCharacter(std::uint8_t b)
{
    return b < 0x80 || (b >= HalfWidthFirstByte && b <= 0xDF);
}

// Full-width kana and punctuation to the half-width text a half-width katakana input mode types.
QHash<char16_t, QString> buildKanaTable()
{
    QHash<char16_t, QString> table;
    const auto addPairs = [&table](const QString& from, const QString& to, const QString& suffix) {
        Q_ASSERT(from.size() == to.size());
        for (qsizetype i = 0; i < from.size(); ++i)
            table.insert(from[i].unicode(), to[i] % suffix);
    };
    addPairs(
        u"ァアィイゥウェエォオカキクケコサシスセソタチッツテトナニヌネノハヒフヘホマミムメモャヤュユョヨラリルレロワヲンー・"_s,
        u"ｧｱｨｲｩｳｪｴｫｵｶｷｸｹｺｻｼｽｾｿﾀﾁｯﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛﾜｦﾝｰ･"_s, QString());
    // Voiced and semi-voiced kana have no half-width letter of their own: the mark follows the base.
    addPairs(u"ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヷヺ"_s, u"ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎｳﾜｦ"_s,
             QString(QChar(VoicedMark)));
    addPairs(u"パピプペポ"_s, u"ﾊﾋﾌﾍﾎ"_s, QString(QChar(SemiVoicedMark)));
    addPairs(u"。「」、゛゜"_s, u"｡｢｣､ﾞﾟ"_s, QString());
    // Combining voicing marks, as text decomposed elsewhere carries them.
    table.insert(0x3099, QString(QChar(VoicedMark)));
    table.insert(0x309A, QString(QChar(SemiVoicedMark)));
    return table;
}

const QHash<char16_t, QString>& kanaTable()
{
    static const QHash<char16_t, QString> table = buildKanaTable();
    return table;
}

} // namespace

QChar CodePage932::byteToChar(std::uint8_t b)
{
    if (b < 0x80)
        return QChar(char16_t(b));
    if (b >= HalfWidthFirstByte && b <= 0xDF)
        return QChar(char16_t(HalfWidthFirst + (b - HalfWidthFirstByte)));
    return QChar(char16_t(PrivateUseBase + b));
}

std::optional<std::uint8_t> CodePage932::charToByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return static_cast<std::uint8_t>(u);
    if (u >= HalfWidthFirst && u <= HalfWidthLast)
        return static_cast<std::uint8_t>(HalfWidthFirstByte + (u - HalfWidthFirst));
    // Only the stand-ins that byteToChar hands out store back; the rest of the block is not a byte.
    if (u >= PrivateUseBase + 0x80 && u <= PrivateUseBase + 0xFF) {
        const auto b = static_cast<std::uint8_t>(u - PrivateUseBase);
        if (!hasSingleByteCharacter(b))
            return b;
    }
    return std::nullopt;
}

QString CodePage932::bytesToText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes)
        text += byteToChar(static_cast<std::uint8_t>(b));
    return text;
}

bool CodePage932::isSingleByteText(const QString& text)
{
    for (const QChar c : text)
        if (!charToByte(c))
            return false;
    return true;
}

QString CodePage932::toHalfWidth(const QString& text)
{
    const QHash<char16_t, QString>& kana = kanaTable();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        char16_t u = c.unicode();
        if (u == 0x3000) {
            out += QLatin1Char(' ');
            continue;
        }
        if (u >= 0xFF01 && u <= 0xFF5E) {
            out += QChar(char16_t(u - 0xFEE0));
            continue;
        }
        // Hiragana sit 0x60 below the katakana of the same sound.
        if (u >= 0x3041 && u <= 0x3096)
            u += 0x60;
        const auto found = kana.constFind(u);
        out += found != kana.cend() ? *found : QString(c);
    }
    return out;
}
