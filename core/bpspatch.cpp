#include "bpspatch.h"

#include "crc32.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Magic = "BPS1";
// Three CRC32s of four bytes each.
constexpr qsizetype FooterSize = 12;
// Numbers past this are no size or offset of any real patch; refusing them keeps the sums exact.
constexpr quint64 NumberLimit = 1ULL << 48;

void putCrc(QByteArray& out, quint32 crc)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((crc >> shift) & 0xFF));
}

quint32 crcAt(const QByteArray& in, qsizetype at)
{
    quint32 crc = 0;
    for (int i = 3; i >= 0; --i)
        crc = crc << 8 | quint8(in.at(at + i));
    return crc;
}

void putAction(QByteArray& out, BpsPatch::Action action, qint64 length)
{
    out += BpsPatch::encodeNumber(quint64(length - 1) << 2 | quint64(action));
}

PatchOutcome refused(const QString& why)
{
    return PatchOutcome::refused(u"BPS パッチを当てられません: "_s + why);
}

QString hexCrc(quint32 crc)
{
    return u"0x"_s + Crc32Text(crc);
}

} // namespace

QByteArray BpsPatch::encodeNumber(quint64 value)
{
    QByteArray out;
    for (;;) {
        const quint64 low = value & 0x7F;
        value >>= 7;
        if (value == 0) {
            out.append(char(0x80 | low));
            return out;
        }
        out.append(char(low));
        --value;
    }
}

std::optional<quint64> BpsPatch::decodeNumber(const QByteArray& patch, qsizetype& at, qsizetype end)
{
    quint64 value = 0;
    quint64 shift = 1;
    while (at < end) {
        const quint8 byte = quint8(patch.at(at++));
        value += (byte & 0x7F) * shift;
        if (byte & 0x80)
            return value < NumberLimit ? std::optional<quint64>(value) : std::nullopt;
        shift <<= 7;
        value += shift;
        if (shift >= NumberLimit)
            return std::nullopt;
    }
    return std::nullopt;
}

PatchOutcome BpsPatch::create(const QByteArray& source, const QByteArray& target)
{
    if (source.size() > MaximumTargetSize || target.size() > MaximumTargetSize)
        return PatchOutcome::refused(u"BPS パッチを作れません: イメージが大きすぎます"_s);
    QByteArray patch(Magic.data(), Magic.size());
    patch += encodeNumber(quint64(source.size()));
    patch += encodeNumber(quint64(target.size()));
    patch += encodeNumber(0);

    const qint64 size = target.size();
    const auto same = [&](qint64 at) { return at < source.size() && source.at(at) == target.at(at); };
    for (qint64 at = 0; at < size;) {
        qint64 end = at + 1;
        if (same(at)) {
            while (end < size && same(end))
                ++end;
            putAction(patch, Action::SourceRead, end - at);
        } else {
            // One unchanged byte between changes costs less as a literal than the two actions that
            // would split the literal around it.
            while (end < size && (!same(end) || (end + 1 < size && !same(end + 1))))
                ++end;
            putAction(patch, Action::TargetRead, end - at);
            patch.append(target.constData() + at, end - at);
        }
        at = end;
    }
    putCrc(patch, Crc32(source));
    putCrc(patch, Crc32(target));
    putCrc(patch, Crc32(patch));
    return PatchOutcome::made(patch);
}

std::optional<quint32> BpsPatch::sourceCrc(const QByteArray& patch)
{
    if (!patch.startsWith(Magic) || patch.size() < Magic.size() + 3 + FooterSize)
        return std::nullopt;
    return crcAt(patch, patch.size() - FooterSize);
}

PatchOutcome BpsPatch::apply(const QByteArray& source, const QByteArray& patch)
{
    if (!patch.startsWith(Magic))
        return refused(u"BPS パッチではありません（先頭が「BPS1」ではありません）"_s);
    if (patch.size() < Magic.size() + 3 + FooterSize)
        return refused(u"パッチが短すぎます（%1 バイト）"_s.arg(patch.size()));
    const qsizetype end = patch.size() - FooterSize;
    const quint32 recordedPatchCrc = crcAt(patch, patch.size() - 4);
    const quint32 patchCrc = Crc32(QByteArrayView(patch).first(patch.size() - 4));
    if (recordedPatchCrc != patchCrc)
        return refused(u"パッチが壊れています（記録された CRC32 は %1、実際は %2）"_s.arg(hexCrc(recordedPatchCrc),
                                                                                       hexCrc(patchCrc)));

    qsizetype at = Magic.size();
    const auto number = [&]() { return decodeNumber(patch, at, end); };
    const QString badNumber = u"位置 %1 の数値がパッチの終わりを越えているか、大きすぎます"_s;
    const std::optional<quint64> sourceSize = number();
    const std::optional<quint64> targetSize = sourceSize ? number() : std::nullopt;
    const std::optional<quint64> metadataSize = targetSize ? number() : std::nullopt;
    if (!metadataSize)
        return refused(badNumber.arg(at));
    if (*metadataSize > quint64(end - at))
        return refused(u"メタデータ（%1 バイト）がパッチの終わりを越えています"_s.arg(*metadataSize));
    at += qsizetype(*metadataSize);

    if (*sourceSize != quint64(source.size()))
        return refused(u"元のイメージの大きさが違います（パッチは %1 バイト、イメージは %2 バイト）"_s.arg(*sourceSize)
                           .arg(source.size()));
    const quint32 recordedSourceCrc = crcAt(patch, end);
    const quint32 sourceCrc = Crc32(source);
    if (recordedSourceCrc != sourceCrc)
        return refused(u"元のイメージが違います（パッチの元の CRC32 は %1、このイメージは %2）"_s.arg(
            hexCrc(recordedSourceCrc), hexCrc(sourceCrc)));
    if (*targetSize > quint64(MaximumTargetSize))
        return refused(u"結果が大きすぎます（%1 バイト）"_s.arg(*targetSize));

    const qint64 targetLength = qint64(*targetSize);
    QByteArray out(targetLength, '\0');
    qint64 written = 0;
    qint64 sourceOffset = 0;
    qint64 targetOffset = 0;
    while (at < end) {
        const qsizetype actionAt = at;
        const std::optional<quint64> command = number();
        if (!command)
            return refused(badNumber.arg(actionAt));
        const auto action = Action(*command & 3);
        const qint64 length = qint64(*command >> 2) + 1;
        if (length > targetLength - written)
            return refused(u"位置 %1 の命令が結果の終わりを越えて書こうとしています"_s.arg(actionAt));
        switch (action) {
        case Action::SourceRead:
            if (written + length > source.size())
                return refused(u"位置 %1 の SourceRead が元のイメージの終わりを越えています"_s.arg(actionAt));
            std::copy_n(source.constData() + written, length, out.begin() + written);
            break;
        case Action::TargetRead:
            if (length > end - at)
                return refused(u"位置 %1 の TargetRead がパッチの終わりを越えています"_s.arg(actionAt));
            std::copy_n(patch.constData() + at, length, out.begin() + written);
            at += qsizetype(length);
            break;
        case Action::SourceCopy:
        case Action::TargetCopy: {
            const std::optional<quint64> relative = number();
            if (!relative)
                return refused(badNumber.arg(at));
            const qint64 delta = (*relative & 1) ? -qint64(*relative >> 1) : qint64(*relative >> 1);
            if (action == Action::SourceCopy) {
                sourceOffset += delta;
                if (sourceOffset < 0 || sourceOffset > source.size() - length)
                    return refused(u"位置 %1 の SourceCopy が元のイメージの外を指しています"_s.arg(actionAt));
                std::copy_n(source.constData() + sourceOffset, length, out.begin() + written);
                sourceOffset += length;
            } else {
                targetOffset += delta;
                // Only bytes already written may be copied; a copy may overlap its own output, which
                // is how a run of one value is repeated, so it goes byte by byte.
                if (targetOffset < 0 || targetOffset >= written)
                    return refused(u"位置 %1 の TargetCopy が結果のまだ書かれていない所を指しています"_s.arg(actionAt));
                char* data = out.data();
                for (qint64 i = 0; i < length; ++i)
                    data[written + i] = data[targetOffset + i];
                targetOffset += length;
            }
            break;
        }
        }
        written += length;
    }
    if (written != targetLength)
        return refused(u"命令が結果を満たす前に終わっています（%1 / %2 バイト）"_s.arg(written).arg(targetLength));
    const quint32 recordedTargetCrc = crcAt(patch, end + 4);
    const quint32 targetCrc = Crc32(out);
    if (recordedTargetCrc != targetCrc)
        return refused(u"結果の CRC32 が合いません（パッチは %1、結果は %2）"_s.arg(hexCrc(recordedTargetCrc),
                                                                               hexCrc(targetCrc)));
    return PatchOutcome::made(out);
}
