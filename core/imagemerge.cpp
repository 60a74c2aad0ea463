#include "imagemerge.h"

#include "cartridgechecksum.h"
#include "cartridgeheader.h"
#include "imageform.h"
#include "tablefields.h"
#include "tableformat.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::uint8_t byteOf(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint8_t>(bytes[at]);
}

bool sameBits(const QByteArray& a, const QByteArray& b, const FieldBits& f)
{
    for (qsizetype i = f.offset; i < f.offset + f.count; ++i)
        if (((byteOf(a, i) ^ byteOf(b, i)) & f.mask) != 0)
            return false;
    return true;
}

void copyBits(QByteArray& to, const QByteArray& from, const FieldBits& f)
{
    for (qsizetype i = f.offset; i < f.offset + f.count; ++i)
        to[i] = static_cast<char>((byteOf(to, i) & ~f.mask) | (byteOf(from, i) & f.mask));
}

QString hexByte(std::uint8_t b)
{
    return u"0x"_s + QString::number(b, 16).toUpper().rightJustified(2, u'0');
}

// What became of one piece of bits under the rule.
enum class Pick
{
    Ours,
    Theirs,
    Conflict,
};

Pick pick(bool oursChanged, bool theirsChanged, bool sidesAgree)
{
    if (!theirsChanged || sidesAgree)
        return Pick::Ours;
    return oursChanged ? Pick::Conflict : Pick::Theirs;
}

// Merges the bits under `mask` of bytes [from, to) of the three arrays into `result` (a copy of OURS).
void mergeBytes(MergeOutcome& out, QByteArray& result, const QByteArray& base, const QByteArray& ours,
                const QByteArray& theirs, qsizetype from, qsizetype to, const QByteArray* owned,
                std::optional<TableId> table, qsizetype shownOffset)
{
    const char* pb = base.constData();
    const char* po = ours.constData();
    const char* pt = theirs.constData();
    for (qsizetype i = from; i < to; ++i) {
        // Most bytes are the same on all three sides; only what THEIRS changed needs a look.
        if (pt[i] == pb[i])
            continue;
        const std::uint8_t mask = owned ? std::uint8_t(~byteOf(*owned, i)) : std::uint8_t(0xFF);
        const std::uint8_t b = std::uint8_t(pb[i]) & mask;
        const std::uint8_t o = std::uint8_t(po[i]) & mask;
        const std::uint8_t t = std::uint8_t(pt[i]) & mask;
        switch (pick(o != b, t != b, o == t)) {
        case Pick::Ours:
            break;
        case Pick::Theirs:
            result[i] = static_cast<char>((byteOf(result, i) & ~mask) | t);
            ++out.taken;
            break;
        case Pick::Conflict:
            out.conflicts.append({table, -1, -1, i + shownOffset, hexByte(std::uint8_t(pb[i])),
                                  hexByte(std::uint8_t(po[i])), hexByte(std::uint8_t(pt[i]))});
            break;
        }
    }
}

} // namespace

QString MergeConflict::line() const
{
    QString place;
    if (!table) {
        place = u"表の外 0x"_s + QString::number(offset, 16).toUpper();
    } else if (column < 0) {
        place = ImageMerge::tableName(*table) + u" バイト 0x"_s + QString::number(offset, 16).toUpper();
    } else {
        const TableFields& fields = TableFields::of(*table);
        const QString& header = fields.column(column).header;
        place = ImageMerge::tableName(*table) + u' ' + TableFormat::encodeCell(fields.recordLabel(record)) + u' ' +
                (header.isEmpty() ? u"%1列目"_s.arg(column + 1) : header);
    }
    return place + u": 元 "_s + TableFormat::encodeCell(base) + u" / こちら "_s + TableFormat::encodeCell(ours) +
           u" / あちら "_s + TableFormat::encodeCell(theirs);
}

QString ImageMerge::tableName(TableId id)
{
    switch (id) {
    case TableId::Officer:
        return u"武将"_s;
    case TableId::City:
        return u"都市"_s;
    case TableId::Item:
        return u"アイテム"_s;
    case TableId::Force:
        return u"勢力"_s;
    case TableId::Placement:
        return u"配置"_s;
    }
    return {};
}

QString ImageMerge::summary(const MergeOutcome& outcome)
{
    return u"取り込み %1 セル、衝突 %2 セル"_s.arg(outcome.taken).arg(outcome.conflicts.size());
}

MergeOutcome ImageMerge::mergeTable(TableId id, const QByteArray& base, const QByteArray& ours,
                                    const QByteArray& theirs)
{
    const TableFields& fields = TableFields::of(id);
    MergeOutcome out;
    const qsizetype size = fields.ownedMask().size();
    if (base.size() != size || ours.size() != size || theirs.size() != size) {
        out.refusal = u"%1の表の大きさが合いません。"_s.arg(tableName(id));
        return out;
    }
    out.bytes = ours;
    for (int n = 0; n < fields.recordCount(); ++n) {
        for (int c = 0; c < fields.columnCount(); ++c) {
            const std::optional<FieldBits> f = fields.bits(n, c);
            if (!f || sameBits(base, theirs, *f))
                continue;
            switch (pick(!sameBits(base, ours, *f), true, sameBits(ours, theirs, *f))) {
            case Pick::Ours:
                break;
            case Pick::Theirs:
                copyBits(out.bytes, theirs, *f);
                ++out.taken;
                break;
            case Pick::Conflict:
                out.conflicts.append(
                    {id, n, c, -1, fields.text(base, n, c), fields.text(ours, n, c), fields.text(theirs, n, c)});
                break;
            }
        }
    }
    mergeBytes(out, out.bytes, base, ours, theirs, 0, size, &fields.ownedMask(), id, 0);
    return out;
}

MergeOutcome ImageMerge::mergeImages(const QByteArray& base, const QByteArray& ours, const QByteArray& theirs)
{
    MergeOutcome out;
    const qsizetype skipBase = headerSize(imageFormForSize(base.size()));
    const ImageForm oursForm = imageFormForSize(ours.size());
    const qsizetype skipOurs = headerSize(oursForm);
    const qsizetype skipTheirs = headerSize(imageFormForSize(theirs.size()));
    // The cartridge data of each side; the copier header holds nothing of the game.
    const QByteArray b = base.mid(skipBase);
    const QByteArray o = ours.mid(skipOurs);
    const QByteArray t = theirs.mid(skipTheirs);
    if (b.size() != o.size() || t.size() != o.size()) {
        out.refusal =
            u"イメージの大きさが違います（ヘッダーを除いて 元 %1、こちら %2、あちら %3 バイト）。"_s.arg(b.size())
                .arg(o.size())
                .arg(t.size());
        return out;
    }
    if (o.size() < minimumImageSize(ImageForm::Headerless)) {
        out.refusal = u"イメージが短すぎます（%1 バイト）。"_s.arg(o.size());
        return out;
    }
    QByteArray result = o;

    // The bytes outside the tables and the checksum, in file order, merged byte by byte.
    std::vector<std::pair<qsizetype, qsizetype>> skipped;
    for (const BlockSpec& range : BlockCatalogue) {
        const qsizetype start = blockPosition(range, ImageForm::Headerless);
        skipped.emplace_back(start, start + range.size);
    }
    skipped.emplace_back(CartridgeHeader::ComplementPosition, CartridgeHeader::ChecksumPosition + 2);
    std::sort(skipped.begin(), skipped.end());
    qsizetype at = 0;
    for (const auto& [start, end] : skipped) {
        mergeBytes(out, result, b, o, t, at, std::min(start, result.size()), nullptr, std::nullopt, skipOurs);
        at = std::max(at, end);
    }
    mergeBytes(out, result, b, o, t, std::min(at, result.size()), result.size(), nullptr, std::nullopt, skipOurs);

    for (const TableId id : AllTables) {
        const BlockSpec range = blockSpec(TableFields::of(id).blockId());
        const qsizetype start = blockPosition(range, ImageForm::Headerless);
        MergeOutcome table =
            mergeTable(id, b.mid(start, range.size), o.mid(start, range.size), t.mid(start, range.size));
        std::memcpy(result.data() + start, table.bytes.constData(), std::size_t(range.size));
        out.taken += table.taken;
        out.conflicts += table.conflicts;
    }

    // The checksum follows the merged bytes whenever either side touched it.
    const qsizetype pair = CartridgeHeader::ComplementPosition;
    const bool checksumChanged = std::memcmp(b.constData() + pair, o.constData() + pair, 4) != 0 ||
                                 std::memcmp(b.constData() + pair, t.constData() + pair, 4) != 0;
    out.bytes = ours.left(skipOurs) + result;
    if (checksumChanged)
        CartridgeChecksum::fix(out.bytes, oursForm);
    else
        std::memcpy(out.bytes.data() + skipOurs + pair, b.constData() + pair, 4);
    return out;
}
