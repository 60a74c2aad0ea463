#include "blockcatalogue.h"
#include "imageblocks.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int at(const QByteArray& image, BlockId id, qsizetype offset)
{
    return static_cast<std::uint8_t>(image.at(blockSpec(id).position + offset));
}

int at16(const QByteArray& image, BlockId id, qsizetype offset)
{
    return at(image, id, offset) | (at(image, id, offset + 1) << 8);
}

// The officer class marker, worked out independently of the officer table.
QString marker(const QByteArray& image, int n)
{
    const auto field = [&](int byte) { return at(image, BlockId::Officer, n * 30 + byte); };
    const int land = field(5), naval = field(6), war = field(7), intelligence = field(8), politics = field(9),
              charisma = field(10);
    QString text;
    if (war > 84 || (war >= 70 && land + naval + 2 * charisma >= 240))
        text += u"将"_s;
    if (intelligence > 79 || politics > 79)
        text += u"軍"_s;
    return text;
}

} // namespace

// The generator is what every file test stands on: these are the properties those tests rely on.
class SampleImageTest : public QObject
{
    Q_OBJECT

    QByteArray m_image;

private Q_SLOTS:
    void initTestCase() { m_image = SampleImage::generate(); }

    void generate_isDeterministicAndOneMegabytePlusHeader()
    {
        QCOMPARE(m_image.size(), qsizetype(1049088));
        QCOMPARE(SampleImage::generate(), m_image);
    }

    void bytesOutsideTheBlocks_areNeverZero()
    {
        QVERIFY(!insideBlock(0xAC07E));
        QVERIFY(m_image.at(0xAC07E) != 0);
        QSet<char> seen;
        for (qint64 i = 0; i < m_image.size(); ++i) {
            if (insideBlock(i))
                continue;
            QVERIFY2(m_image.at(i) != 0, qPrintable(QString::number(i, 16)));
            seen.insert(m_image.at(i));
        }
        QCOMPARE(seen.size(), 255);
    }

    void write_storesTheGeneratedBytes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(u"image.smc"_s);
        QString error;
        QVERIFY2(SampleImage::write(file, &error), qUtf8Printable(error));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), m_image);

        QVERIFY(!SampleImage::write(dir.filePath(u"missing/image.smc"_s), &error));
        QVERIFY(!error.isEmpty());
    }

    void officers_coverEveryMarkerAndOddReading()
    {
        QSet<QString> markers;
        QSet<int> byte21, lowNibbles, unmapped;
        for (int n = 0; n < 532; ++n) {
            const int p = n * 30;
            markers.insert(marker(m_image, n));
            QVERIFY(at(m_image, BlockId::Officer, p + 21) != 0);
            byte21.insert(at(m_image, BlockId::Officer, p + 21));
            lowNibbles.insert(at(m_image, BlockId::Officer, p + 4) & 0x0F);
            QVERIFY(at(m_image, BlockId::Officer, p + 4) >> 4 <= 8);
            QVERIFY(at(m_image, BlockId::Officer, p + 11) <= 150);
            QVERIFY(at(m_image, BlockId::Officer, p + 12) <= 100);
            bool padding = false;
            for (int k = 0; k < 8; ++k) {
                const int byte = at(m_image, BlockId::Officer, p + 22 + k);
                QVERIFY2(!padding || byte == 0, "reading bytes after the padding");
                padding = padding || byte == 0;
                if (byte != 0 && !(byte >= 0xA1 && byte <= 0xDF) && !(byte >= 0x20 && byte < 0x7F))
                    unmapped.insert(byte);
            }
        }
        QCOMPARE(markers, (QSet<QString>{QString(), u"将"_s, u"軍"_s, u"将軍"_s}));
        QCOMPARE(unmapped, (QSet<int>{0x80, 0x81, 0xA0, 0xFD}));
        QVERIFY(byte21.size() > 200);
        QVERIFY(lowNibbles.size() > 8);
        // The War 70-84 borderline: exactly 120 qualifies, 119.5 does not.
        QCOMPARE(marker(m_image, 1), u"将"_s);
        QCOMPARE(marker(m_image, 2), QString());
        QCOMPARE(marker(m_image, 10), QString());
    }

    void cities_exceedTheCapsAndKeepOpaqueBytesSet()
    {
        bool populationOver = false, goldOver = false, full16 = false;
        for (int n = 0; n < 276; ++n) {
            const int b = n * 30;
            populationOver = populationOver || at16(m_image, BlockId::City, b + 2) > 300;
            goldOver = goldOver || at16(m_image, BlockId::City, b + 4) > 655;
            full16 = full16 || at16(m_image, BlockId::City, b + 6) == 65535;
            const int byte8 = at(m_image, BlockId::City, b + 8);
            QVERIFY((byte8 & 0x0F) != 0 && (byte8 & 0xF0) != 0);
            for (const int opaque : {0, 1, 10, 27, 28, 29})
                if (b + opaque < blockSpec(BlockId::City).size)
                    QVERIFY(at(m_image, BlockId::City, b + opaque) != 0);
        }
        QVERIFY(populationOver && goldOver && full16);
        QCOMPARE(at16(m_image, BlockId::City, 2), 300);
        QCOMPARE(at(m_image, BlockId::City, 8), 0xA3);
    }

    void forces_holdValidRulersAndBases()
    {
        QSet<int> rulers, bases;
        for (int n = 0; n < 126; ++n) {
            const int ruler = at16(m_image, BlockId::Force, n * 25);
            const int base = at(m_image, BlockId::Force, n * 25 + 2);
            QVERIFY(ruler <= 531 || ruler == 65535);
            QVERIFY(base <= 46 || base == 255);
            rulers.insert(ruler);
            bases.insert(base);
        }
        for (const int ruler : {0, 531, 65535})
            QVERIFY(rulers.contains(ruler));
        for (const int base : {46, 255})
            QVERIFY(bases.contains(base));
        QVERIFY(at(m_image, BlockId::Force, 3150) != 0);
    }

    void items_startWithTheKnownName()
    {
        const QByteArray name = m_image.mid(blockSpec(BlockId::Item).position + 5, 12);
        QCOMPARE(name.toHex().toUpper(), QByteArray("000AFF010101010101010101"));
    }
};

TAVRIN_TEST(SampleImageTest)
#include "sampleimagetest.moc"
