#include "shiftjis.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr QChar Replacement(0xFFFD);

bool isLead(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(uchar b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool isHalfWidthKatakana(uchar b)
{
    return b >= 0xA1 && b <= 0xDF;
}

// ICU marks a pair it cannot map with U+FFFD or its own substitute 0x1A; no pair of code page 932
// maps below U+0080, so anything there is a failure as well.
bool isDecodedPair(QChar c)
{
    return c != Replacement && c.unicode() >= 0x80;
}

// Qt built without ICU (as for Windows) has no Shift_JIS converter; Windows's own code page 932 then
// decodes the pairs, and a pair it cannot map fails the call.
QString decodeBytes(QStringDecoder& decoder, QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    if (!decoder.isValid()) {
        const int size = int(bytes.size());
        const int needed = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
        if (needed <= 0)
            return QString();
        QString text(needed, Qt::Uninitialized);
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                            needed);
        return text;
    }
#endif
    decoder.resetState();
    return decoder.decode(bytes);
}

// One character per two-byte pair, in order. The pairs are decoded in one call for speed; should the
// converter ever return a different count, each pair is decoded on its own instead.
std::vector<QChar> decodePairs(const QByteArray& pairs)
{
    const qsizetype count = pairs.size() / 2;
    std::vector<QChar> chars(std::size_t(count), Replacement);
    if (count == 0)
        return chars;
    QStringDecoder decoder("Shift_JIS", QStringDecoder::Flag::Stateless);
#ifndef Q_OS_WIN
    if (!decoder.isValid())
        return chars;
#endif
    const QString all = decodeBytes(decoder, pairs);
    if (all.size() == count) {
        std::copy(all.cbegin(), all.cend(), chars.begin());
        return chars;
    }
    for (qsizetype i = 0; i < count; ++i) {
        const QString one = decodeBytes(decoder, pairs.sliced(2 * i, 2));
        if (one.size() == 1)
            chars[std::size_t(i)] = one.front();
    }
    return chars;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    QFile file;
#ifdef Q_OS_UNIX
    // Opening a FIFO without a writer blocks in open() itself, so the type is checked on the open
    // descriptor (no race with a path swapped in between) and O_NONBLOCK keeps the open from waiting.
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty())
        return std::nullopt;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
#endif
    const qint64 wanted = std::clamp<qint64>(file.size(), 0, std::max<qint64>(maxBytes, 0));
    QByteArray bytes = file.read(wanted);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

QString ShiftJis::decode(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    const auto at = [&bytes](qsizetype i) { return static_cast<uchar>(bytes[i]); };
    const auto isPairAt = [&](qsizetype i) { return isLead(at(i)) && i + 1 < n && isTrail(at(i + 1)); };

    QByteArray pairs;
    for (qsizetype i = 0; i < n;) {
        if (isPairAt(i)) {
            pairs.append(bytes.sliced(i, 2));
            i += 2;
        } else {
            ++i;
        }
    }
    const std::vector<QChar> pairChars = decodePairs(pairs);

    QString out;
    out.reserve(n);
    std::size_t pair = 0;
    for (qsizetype i = 0; i < n;) {
        const uchar b = at(i);
        if (b < 0x80) {
            out += QLatin1Char(char(b));
            ++i;
        } else if (isHalfWidthKatakana(b)) {
            out += QChar(0xFF61 + (b - 0xA1));
            ++i;
        } else if (isPairAt(i)) {
            const QChar c = pairChars[pair++];
            const uchar trail = at(i + 1);
            if (isDecodedPair(c)) {
                out += c;
            } else {
                out += Replacement;
                out += trail < 0x80 ? QChar(char16_t(trail)) : Replacement;
            }
            i += 2;
        } else {
            out += Replacement;
            ++i;
        }
    }
    return out;
}

std::optional<QString> ShiftJis::readFile(const QString& path, qint64 maxBytes)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    return decode(*bytes);
}
