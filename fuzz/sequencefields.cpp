#include "sequencefields.h"

#include "citytable.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace SequenceFields {

namespace {

constexpr qsizetype ScenarioSize = 2124;

Field number(Kind kind, qsizetype offset, int length, int cap = 255, int over = -1)
{
    return Field{kind, offset, cap, over < 0 ? cap : over, length, kind == Kind::Word ? 2 : 1};
}

Field officerField(int col)
{
    // Record byte of 武力 to 魅力, then 生年, 相性, 義理, 血縁.
    static constexpr int Bytes[]{7, 5, 6, 8, 9, 10};
    if (col >= 3 && col <= 8)
        return number(Kind::Byte, Bytes[col - 3], 4);
    switch (col) {
    case 1:
        return Field{Kind::Hex, 15, 0, 0, 12, 6};
    case 2:
        return Field{Kind::Reading, 22, 0, 0, 8, 8};
    case 9:
    case 11:
        return number(Kind::PairHigh, col == 9 ? 2 : 3, 4, 15);
    case 10:
    case 12:
        return number(Kind::PairLow, col == 10 ? 2 : 3, 4, 15);
    case 13:
        return number(Kind::Byte, 14, 4);
    case 14:
        return number(Kind::Lifespan, 4, 4, 8);
    case 15:
        return number(Kind::Byte, 11, 4, 150);
    case 16:
        return number(Kind::Byte, 12, 4, 100);
    case 17:
        return number(Kind::Byte, 13, 4);
    case 18:
        return Field{Kind::Hex, 0, 0, 0, 4, 2};
    case 19:
        return Field{Kind::Marker};
    default:
        return {};
    }
}

Field cityField(int col)
{
    switch (col) {
    case 2:
        return number(Kind::Word, 2, 3, 300);
    case 3:
        return number(Kind::Word, 4, 3, 655);
    case 4:
    case 5:
    case 12:
    case 13:
    case 14: {
        static constexpr int Offsets[]{6, 14, 18, 20, 22};
        return number(Kind::Word, Offsets[col == 4 ? 0 : col == 5 ? 1 : col - 10], 5, 65535);
    }
    case 6:
    case 7:
    case 8:
        // 開発, 治水, 灌漑 lie at bytes 11, 13, 12.
        return number(Kind::Byte, col == 6 ? 11 : col == 7 ? 13 : 12, 3);
    case 9:
        return number(Kind::LowNibble, 8, 2, 15);
    case 10:
    case 11:
        return number(Kind::Byte, col + 6, 3);
    case 15:
    case 16:
    case 17:
        return number(Kind::Byte, col + 9, 3);
    case 18:
        return Field{Kind::ShownByte, 9};
    case 19:
        return Field{Kind::ShownHigh, 8};
    default:
        return {};
    }
}

Field itemField(int col)
{
    if (col >= 1 && col <= 3)
        return number(Kind::Byte, col + 1, 3);
    return col == 4 ? Field{Kind::Hex, 5, 0, 0, 24, 12} : Field{};
}

Field forceField(int col)
{
    switch (col) {
    case 1:
        return number(Kind::Word, 0, 5, 531, 65535);
    case 2:
        return number(Kind::Byte, 2, 3, 46, 255);
    case 3:
        return number(Kind::Byte, 3, 3);
    default:
        return {};
    }
}

Field placementField(int col)
{
    if (col < 2 || col > 25)
        return {};
    return number(Kind::Byte, (col - 2) / 4 * ScenarioSize + (col - 2) % 4, 3);
}

int recordSize(TableId id)
{
    switch (id) {
    case TableId::Item:
        return 18;
    case TableId::Force:
        return 25;
    case TableId::Placement:
        return 4;
    default:
        return 30;
    }
}

std::uint8_t at(const QByteArray& block, qsizetype offset)
{
    return offset >= 0 && offset < block.size() ? std::uint8_t(block[offset]) : 0;
}

QString hexText(const QByteArray& block, qsizetype offset, int size)
{
    QString text;
    for (int k = 0; k < size; ++k)
        text += u"%1"_s.arg(at(block, offset + k), 2, 16, QChar(u'0')).toUpper();
    return text;
}

// Code page 932's single bytes: ASCII and the half-width katakana; a byte with no character of its
// own is shown as a private-use stand-in at U+F700 + byte, which stores back as that byte.
QChar readingChar(std::uint8_t b)
{
    if (b < 0x80)
        return QChar(char16_t(b));
    if (b >= 0xA1 && b <= 0xDF)
        return QChar(char16_t(0xFF61 + b - 0xA1));
    return QChar(char16_t(0xF700 + b));
}

std::optional<std::uint8_t> readingByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return std::uint8_t(u);
    if (u >= 0xFF61 && u <= 0xFF9F)
        return std::uint8_t(0xA1 + u - 0xFF61);
    const int b = u - 0xF700;
    if (b >= 0x80 && b <= 0xFF && (b < 0xA1 || b > 0xDF))
        return std::uint8_t(b);
    return std::nullopt;
}

// What the reading's input mode makes of what the target types: full-width ASCII and the
// ideographic space become single bytes, and so does the one full-width katakana it types (ア).
QString halfWidth(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        out += u == 0x3000                  ? QChar(u' ')
               : u >= 0xFF01 && u <= 0xFF5E ? QChar(char16_t(u - 0xFEE0))
               : u == u'ア'                 ? QChar(u'ｱ')
                                            : c;
    }
    return out;
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

QString marker(const QByteArray& block, qsizetype p)
{
    const int war = at(block, p + 7);
    const bool general = war > 84 || (war >= 70 && at(block, p + 5) + at(block, p + 6) + 2 * at(block, p + 10) >= 240);
    return QString(general ? u"将"_s : QString()) +
           (at(block, p + 8) > 79 || at(block, p + 9) > 79 ? u"軍"_s : QString());
}

} // namespace

int columnCount(TableId id)
{
    switch (id) {
    case TableId::Officer:
        return 20;
    case TableId::City:
        return 23;
    case TableId::Item:
        return 5;
    case TableId::Force:
        return 4;
    case TableId::Placement:
        return 26;
    }
    return 0;
}

int recordCount(TableId id)
{
    switch (id) {
    case TableId::Officer:
        return 532;
    case TableId::City:
        return 276;
    case TableId::Item:
        return 13;
    case TableId::Force:
        return 126;
    case TableId::Placement:
        return 531;
    }
    return 0;
}

Field field(TableId id, int col)
{
    switch (id) {
    case TableId::Officer:
        return officerField(col);
    case TableId::City:
        return cityField(col);
    case TableId::Item:
        return itemField(col);
    case TableId::Force:
        return forceField(col);
    case TableId::Placement:
        return placementField(col);
    }
    return {};
}

bool editable(TableId id, int col)
{
    return field(id, col).length > 0;
}

qsizetype offsetOf(TableId id, int record, int col)
{
    return qsizetype(record) * recordSize(id) + field(id, col).offset;
}

int recordOf(TableId id, qsizetype offset)
{
    return int((id == TableId::Placement ? offset % ScenarioSize : offset) / recordSize(id));
}

QString display(TableId id, const QByteArray& block, int record, int col, const QStringList& names)
{
    const Field f = field(id, col);
    const qsizetype p = qsizetype(record) * recordSize(id);
    const std::uint8_t b = at(block, p + f.offset);
    switch (f.kind) {
    case Kind::None:
        if (col == 0 && id != TableId::Item)
            return QString::number(record);
        if (col == 1 && id == TableId::City)
            return CityTable::cityName(record % 46 + 1) + QString::number(record / 46 + 1);
        if (col == 1 && id == TableId::Placement)
            return names.value(record);
        // The item labels and the empty columns: no digit, no number.
        return {};
    case Kind::Byte:
    case Kind::ShownByte:
        return QString::number(b);
    case Kind::Word:
        return QString::number(b + 256 * at(block, p + f.offset + 1));
    case Kind::LowNibble:
    case Kind::PairLow:
        return QString::number(b & 0x0F);
    case Kind::PairHigh:
    case Kind::Lifespan:
    case Kind::ShownHigh:
        return QString::number(b >> 4);
    case Kind::Hex:
        return hexText(block, p + f.offset, f.size);
    case Kind::Reading: {
        QString text;
        for (int k = 0; k < 8; ++k)
            text += readingChar(at(block, p + f.offset + k));
        return text;
    }
    case Kind::Marker:
        return marker(block, p);
    }
    return {};
}

std::optional<double> numberIn(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit() && t[i].unicode() < 0x80)
            ++digits;
        else if (t[i] == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    return digits > 0 ? std::optional<double>(t.toDouble()) : std::nullopt;
}

std::optional<QString> accept(TableId id, int col, const QString& typed)
{
    const Field f = field(id, col);
    if (f.length == 0 || typed.isEmpty())
        return std::nullopt;
    if (f.kind == Kind::Hex) {
        if (typed.size() != 2 * f.size)
            return std::nullopt;
        for (const QChar c : typed)
            if (!QStringView(u"0123456789abcdefABCDEF").contains(c))
                return std::nullopt;
        return typed;
    }
    if (f.kind == Kind::Reading) {
        const QString text = halfWidth(typed).left(8);
        for (const QChar c : text)
            if (!readingByte(c))
                return std::nullopt;
        return text;
    }
    // A number: no lower bound is typed, so a negative one is refused rather than wrapped.
    const std::optional<double> value = numberIn(typed);
    if (!value || *value < 0)
        return std::nullopt;
    return *value > f.cap ? QString::number(f.over) : QString::number(qint64(roundHalfEven(*value)));
}

QList<Write> store(TableId id, const QByteArray& block, int record, int col, const QString& text,
                   const QString& partner)
{
    const Field f = field(id, col);
    const BlockId blockId = blockOfTable(id);
    const qsizetype p = offsetOf(id, record, col);
    const auto byte = [&](qsizetype offset, int value) { return Write{blockId, offset, char(value)}; };
    const int value = text.toInt();
    switch (f.kind) {
    case Kind::Byte:
        return {byte(p, value)};
    case Kind::Word:
        return {byte(p, value & 0xFF), byte(p + 1, value >> 8)};
    case Kind::LowNibble:
        return {byte(p, (at(block, p) & 0xF0) | value)};
    case Kind::PairHigh:
        return {byte(p, value << 4 | partner.toInt())};
    case Kind::PairLow:
        return {byte(p, partner.toInt() << 4 | value)};
    case Kind::Lifespan:
        return {byte(p, value << 4)};
    case Kind::Hex: {
        QList<Write> writes;
        for (int k = 0; k < f.size; ++k)
            writes << byte(p + k, text.mid(2 * k, 2).toInt(nullptr, 16));
        return writes;
    }
    case Kind::Reading: {
        QList<Write> writes;
        for (int k = 0; k < 8; ++k)
            writes << byte(p + k, k < text.size() ? *readingByte(text[k]) : 0);
        return writes;
    }
    default:
        return {};
    }
}

} // namespace SequenceFields
