#include "ipspatch.h"

#include <QList>
#include <QString>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Magic = "PATCH";
constexpr QByteArrayView Footer = "EOF";
// Offset and length in front of every record's bytes.
constexpr qsizetype RecordOverhead = 5;
// Offset, zero length, count and value.
constexpr qsizetype RunRecordSize = 8;

struct Record
{
    qint64 offset;
    qsizetype length;
    bool run;
};

QString hex(qint64 value)
{
    return u"0x"_s + QString::number(value, 16).toUpper();
}

void putBigEndian(QByteArray& out, qint64 value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

qint64 bigEndian(const QByteArray& in, qsizetype at, int bytes)
{
    qint64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | quint8(in.at(at + i));
    return value;
}

// Plans the records of one stretch [start, end) of the modified image, left to right: a run of one
// value becomes a run-length record when that saves bytes, counting the extra record overhead it
// costs to split the literal bytes around it.
void planStretch(const QByteArray& modified, qint64 start, qint64 end, QList<Record>& records)
{
    const auto literal = [&](qint64 from, qint64 to) {
        for (qint64 at = from; at < to; at += IpsPatch::MaximumRecord)
            records.append({at, qsizetype(std::min<qint64>(IpsPatch::MaximumRecord, to - at)), false});
    };
    qint64 pending = start;
    for (qint64 at = start; at < end;) {
        qint64 runEnd = at + 1;
        while (runEnd < end && runEnd - at < IpsPatch::MaximumRecord && modified.at(runEnd) == modified.at(at))
            ++runEnd;
        const qint64 length = runEnd - at;
        const qint64 splitCost = (at > pending ? RecordOverhead : 0) + (runEnd < end ? RecordOverhead : 0);
        if (length + RecordOverhead > RunRecordSize + splitCost) {
            literal(pending, at);
            records.append({at, qsizetype(length), true});
            pending = runEnd;
        }
        at = runEnd;
    }
    literal(pending, end);
}

// No record may start at EofOffset: a literal record starts one byte earlier instead (repeating a
// byte already right), a run gives its first byte to such a literal record.
void avoidEofOffset(QList<Record>& records)
{
    for (qsizetype i = 0; i < records.size(); ++i) {
        Record& record = records[i];
        if (record.offset != IpsPatch::EofOffset)
            continue;
        if (record.run) {
            const Record rest{IpsPatch::EofOffset + 1, record.length - 1, true};
            record = {IpsPatch::EofOffset - 1, 2, false};
            if (rest.length > 0)
                records.insert(i + 1, rest);
            continue;
        }
        record.offset -= 1;
        record.length += 1;
        if (record.length > IpsPatch::MaximumRecord) {
            const Record tail{record.offset + IpsPatch::MaximumRecord, record.length - IpsPatch::MaximumRecord, false};
            record.length = IpsPatch::MaximumRecord;
            records.insert(i + 1, tail);
        }
    }
}

} // namespace

PatchOutcome IpsPatch::create(const QByteArray& original, const QByteArray& modified)
{
    const qint64 size = modified.size();
    const auto differs = [&](qint64 at) { return at >= original.size() || modified.at(at) != original.at(at); };
    for (qint64 at = AddressLimit; at < size; ++at)
        if (differs(at))
            return PatchOutcome::refused(
                u"IPS パッチでは 0xFFFFFF より後ろの位置（%1）の変更を書けません。BPS を使ってください"_s.arg(hex(at)));
    if (size < original.size() && size >= AddressLimit)
        return PatchOutcome::refused(u"IPS パッチでは 16 MiB 以上の長さに切り詰められません。BPS を使ってください"_s);

    QList<Record> records;
    for (qint64 at = 0; at < size;) {
        if (!differs(at)) {
            ++at;
            continue;
        }
        qint64 end = at + 1;
        for (;;) {
            while (end < size && differs(end))
                ++end;
            // Unchanged bytes cheaper to repeat than a new record's overhead stay in this stretch.
            qint64 next = end;
            while (next < size && next - end < RecordOverhead && !differs(next))
                ++next;
            if (next == end || next >= size || next - end >= RecordOverhead)
                break;
            end = next;
        }
        planStretch(modified, at, end, records);
        at = end;
    }
    avoidEofOffset(records);

    QByteArray patch(Magic.data(), Magic.size());
    for (const Record& record : records) {
        putBigEndian(patch, record.offset, 3);
        if (record.run) {
            putBigEndian(patch, 0, 2);
            putBigEndian(patch, record.length, 2);
            patch.append(modified.at(record.offset));
        } else {
            putBigEndian(patch, record.length, 2);
            patch.append(modified.constData() + record.offset, record.length);
        }
    }
    patch.append(Footer.data(), Footer.size());
    if (size < original.size())
        putBigEndian(patch, size, 3);
    return PatchOutcome::made(patch);
}

PatchOutcome IpsPatch::apply(const QByteArray& source, const QByteArray& patch)
{
    if (!patch.startsWith(Magic))
        return PatchOutcome::refused(u"IPS パッチではありません（先頭が「PATCH」ではありません）"_s);
    const auto cutShort = [](qint64 offset) {
        return PatchOutcome::refused(u"IPS パッチが途中で終わっています（位置 %1 のレコード）"_s.arg(hex(offset)));
    };
    QByteArray out = source;
    qsizetype at = Magic.size();
    for (;;) {
        if (patch.size() - at < 3)
            return PatchOutcome::refused(u"IPS パッチが途中で終わっています（「EOF」がありません）"_s);
        if (QByteArrayView(patch).sliced(at, 3) == Footer) {
            at += 3;
            break;
        }
        const qint64 offset = bigEndian(patch, at, 3);
        if (patch.size() - at < 5)
            return cutShort(offset);
        qint64 length = bigEndian(patch, at + 3, 2);
        at += 5;
        const bool run = length == 0;
        if (run) {
            if (patch.size() - at < 3)
                return cutShort(offset);
            length = bigEndian(patch, at, 2);
            if (length == 0)
                return PatchOutcome::refused(u"IPS パッチの位置 %1 の繰り返しレコードの長さが 0 です"_s.arg(hex(offset)));
        } else if (patch.size() - at < length) {
            return cutShort(offset);
        }
        if (offset + length > AddressLimit)
            return PatchOutcome::refused(
                u"IPS パッチの位置 %1 のレコード（%2 バイト）が 16 MiB の上限を越えています"_s.arg(hex(offset)).arg(length));
        // A record past the end lengthens the image; any gap before it is zero.
        if (offset + length > out.size())
            out.resize(offset + length, '\0');
        if (run) {
            std::fill_n(out.begin() + offset, length, patch.at(at + 2));
            at += 3;
        } else {
            std::copy_n(patch.constData() + at, length, out.begin() + offset);
            at += length;
        }
    }
    const qsizetype rest = patch.size() - at;
    if (rest == 3) {
        const qint64 truncated = bigEndian(patch, at, 3);
        if (truncated > out.size())
            return PatchOutcome::refused(u"IPS パッチの切り詰め長（%1 バイト）が結果の大きさ（%2 バイト）を越えています"_s
                                             .arg(truncated)
                                             .arg(out.size()));
        out.truncate(truncated);
    } else if (rest != 0) {
        return PatchOutcome::refused(u"IPS パッチの「EOF」の後ろに余分なデータ（%1 バイト）があります"_s.arg(rest));
    }
    return PatchOutcome::made(out);
}
