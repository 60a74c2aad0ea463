#include "blockcatalogue.h"
#include "cartridgechecksum.h"
#include "imageform.h"
#include "imagemerge.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One byte set in the cartridge data (no copier header) of BASE, OURS or THEIRS: 'B' sets it on all
// three, so that a row names the original value; 'o' OURS, 't' THEIRS, '2' both sides.
struct Poke
{
    char side;
    qint64 at;
    int value;
};

constexpr qint64 OfficerData = 0xA8226 - 0x200;
constexpr qint64 officer(int n, int byte)
{
    return OfficerData + 30 * n + byte;
}
constexpr qint64 PairAt = 0x7FDC;

QByteArray withForm(const QByteArray& data, bool header)
{
    return header ? QByteArray(0x200, '\x11') + data : data;
}

} // namespace

Q_DECLARE_METATYPE(QList<Poke>)

// The three-way merge of whole images: per field, per half of a shared byte, per byte no column shows
// inside and outside the tables, the checksum, the forms and a size mismatch.
class ImageMergeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergeImages_data()
    {
        QTest::addColumn<QList<Poke>>("pokes");
        QTest::addColumn<QString>("forms"); // BASE, OURS, THEIRS: H with a copier header, N without
        QTest::addColumn<QList<Poke>>("expected");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("conflict"); // the first conflict's line; empty for none
        const qint64 war = officer(3, 7);
        const QString warLine = u"武将 3 武力: 元 80 / こちら 90 / あちら 95"_s;
        QTest::newRow("theirs only") << QList<Poke>{{'B', war, 80}, {'t', war, 95}} << u"HHH"_s
                                     << QList<Poke>{{'r', war, 95}} << 1 << QString();
        QTest::newRow("ours only") << QList<Poke>{{'B', war, 80}, {'o', war, 90}} << u"HHH"_s
                                   << QList<Poke>{{'r', war, 90}} << 0 << QString();
        QTest::newRow("both the same") << QList<Poke>{{'B', war, 80}, {'2', war, 90}} << u"HHH"_s
                                       << QList<Poke>{{'r', war, 90}} << 0 << QString();
        QTest::newRow("both different") << QList<Poke>{{'B', war, 80}, {'o', war, 90}, {'t', war, 95}} << u"HHH"_s
                                        << QList<Poke>{{'r', war, 90}} << 0 << warLine;
        QTest::newRow("two officers") << QList<Poke>{{'o', officer(5, 9), 1}, {'t', officer(6, 9), 2}} << u"HHH"_s
                                      << QList<Poke>{{'r', officer(5, 9), 1}, {'r', officer(6, 9), 2}} << 1
                                      << QString();
        // 野望 and 運 share byte 2; 寿命 shares byte 4 with a half no column shows.
        QTest::newRow("halves of a shared byte")
            << QList<Poke>{{'B', officer(7, 2), 0x55}, {'o', officer(7, 2), 0x95}, {'t', officer(7, 2), 0x5C}}
            << u"HHH"_s << QList<Poke>{{'r', officer(7, 2), 0x9C}} << 1 << QString();
        QTest::newRow("lifespan and the unshown half")
            << QList<Poke>{{'B', officer(8, 4), 0x31}, {'o', officer(8, 4), 0x71}, {'t', officer(8, 4), 0x3F}}
            << u"HHH"_s << QList<Poke>{{'r', officer(8, 4), 0x7F}} << 1 << QString();
        QTest::newRow("halves both changed differently")
            << QList<Poke>{{'B', officer(7, 2), 0x55}, {'o', officer(7, 2), 0x65}, {'t', officer(7, 2), 0x75}}
            << u"HHH"_s << QList<Poke>{{'r', officer(7, 2), 0x65}} << 0 << u"武将 7 野望: 元 5 / こちら 6 / あちら 7"_s;
        QTest::newRow("byte no column shows")
            << QList<Poke>{{'B', officer(1, 21), 1}, {'o', officer(1, 21), 2}, {'t', officer(1, 21), 3}} << u"HHH"_s
            << QList<Poke>{{'r', officer(1, 21), 2}} << 0 << u"武将 バイト 0x33: 元 0x01 / こちら 0x02 / あちら 0x03"_s;
        QTest::newRow("outside the tables")
            << QList<Poke>{{'t', 0x1234, 0xAB}, {'B', 0x4000, 1}, {'o', 0x4000, 2}, {'t', 0x4000, 3}} << u"HHH"_s
            << QList<Poke>{{'r', 0x1234, 0xAB}, {'r', 0x4000, 2}} << 1
            << u"表の外 0x4200: 元 0x01 / こちら 0x02 / あちら 0x03"_s;
        // Both sides fixed their own checksum differently: the result is summed afresh, no conflict.
        QTest::newRow("checksum changed") << QList<Poke>{{'o', war, 1}, {'o', PairAt, 1}, {'t', PairAt + 1, 2}}
                                          << u"HHH"_s << QList<Poke>{{'r', war, 1}, {'s', PairAt, 0}} << 0 << QString();
        QTest::newRow("checksum untouched") << QList<Poke>{{'B', PairAt, 0x42}, {'t', war, 1}} << u"HHH"_s
                                            << QList<Poke>{{'r', war, 1}, {'r', PairAt, 0x42}} << 1 << QString();
        QTest::newRow("forms: ours without header")
            << QList<Poke>{{'t', war, 7}} << u"HNH"_s << QList<Poke>{{'r', war, 7}} << 1 << QString();
        QTest::newRow("forms: theirs without header")
            << QList<Poke>{{'t', war, 7}, {'o', officer(2, 7), 9}} << u"NHN"_s
            << QList<Poke>{{'r', war, 7}, {'r', officer(2, 7), 9}} << 1 << QString();
    }

    void mergeImages()
    {
        QFETCH(QList<Poke>, pokes);
        QFETCH(QString, forms);
        QFETCH(QList<Poke>, expected);
        QFETCH(int, taken);
        QFETCH(QString, conflict);
        const QByteArray sample = SampleImage::generate().mid(0x200);
        QByteArray data[3] = {sample, sample, sample};
        for (const Poke& p : pokes)
            for (int side = 0; side < 3; ++side)
                if (p.side == 'B' || (p.side == 'o' && side == 1) || (p.side == 't' && side == 2) ||
                    (p.side == '2' && side > 0))
                    data[side][p.at] = char(p.value);
        const bool oursHeader = forms[1] == u'H';
        const MergeOutcome out = ImageMerge::mergeImages(
            withForm(data[0], forms[0] == u'H'), withForm(data[1], oursHeader), withForm(data[2], forms[2] == u'H'));
        QVERIFY2(!out.isRefused(), qPrintable(out.refusal));
        QCOMPARE(out.bytes.size(), data[1].size() + (oursHeader ? 0x200 : 0));
        QCOMPARE(out.bytes.left(oursHeader ? 0x200 : 0), QByteArray(oursHeader ? 0x200 : 0, '\x11'));
        const QByteArray result = out.bytes.mid(oursHeader ? 0x200 : 0);
        for (const Poke& p : expected) {
            if (p.side == 's') {
                const quint16 sum = *CartridgeChecksum::compute(result);
                QCOMPARE(quint8(result[PairAt + 2]) | quint8(result[PairAt + 3]) << 8, int(sum));
                QCOMPARE(quint8(result[PairAt]) | quint8(result[PairAt + 1]) << 8, int(sum ^ 0xFFFF));
            } else {
                QCOMPARE(int(quint8(result[p.at])), p.value);
            }
        }
        // Nothing but what the row names moved from OURS (the checksum apart).
        int moved = 0;
        for (qint64 i = 0; i < result.size(); ++i)
            moved += (result[i] != data[1][i] && (i < PairAt || i >= PairAt + 4)) ? 1 : 0;
        QCOMPARE(moved, taken);
        QCOMPARE(out.taken, taken);
        QCOMPARE(out.conflicts.isEmpty() ? QString() : out.conflicts.first().line(), conflict);
        QCOMPARE(out.conflicts.size(), conflict.isEmpty() ? 0 : 1);
    }

    void mergeImages_refusesSizesThatDiffer()
    {
        const QByteArray sample = SampleImage::generate();
        const MergeOutcome out = ImageMerge::mergeImages(sample, sample, sample.left(sample.size() - 1024));
        QVERIFY(out.isRefused());
        QVERIFY(out.bytes.isEmpty());
    }
};

TAVRIN_TEST(ImageMergeTest)
#include "imagemergetest.moc"
