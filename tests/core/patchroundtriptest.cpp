#include "patchfile.h"
#include "testregistry.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A random image with random edits: single bytes, runs of one value, random stretches, and now and
// then a changed length.
struct Case
{
    QByteArray original;
    QByteArray modified;
};

Case randomCase(QRandomGenerator& random)
{
    const int size = random.bounded(1, 6000);
    QByteArray original(size, Qt::Uninitialized);
    // Half the images are mostly one value, as padding in real images is, so runs are common.
    const bool padded = random.bounded(2) == 0;
    for (char& byte : original)
        byte = char(padded && random.bounded(8) != 0 ? 0xFF : random.bounded(256));
    QByteArray modified = original;
    const int edits = random.bounded(0, 12);
    for (int i = 0; i < edits; ++i) {
        const int at = random.bounded(modified.size());
        const int length = std::min<int>(random.bounded(1, 300), int(modified.size()) - at);
        switch (random.bounded(3)) {
        case 0:
            modified[at] = char(modified.at(at) ^ random.bounded(1, 256));
            break;
        case 1:
            modified.replace(at, length, QByteArray(length, char(random.bounded(256))));
            break;
        default:
            for (int k = 0; k < length; ++k)
                modified[at + k] = char(random.bounded(256));
        }
    }
    switch (random.bounded(6)) {
    case 0:
        modified.truncate(random.bounded(1, int(modified.size()) + 1));
        break;
    case 1:
        for (int k = random.bounded(1, 400); k > 0; --k)
            modified.append(char(random.bounded(256)));
        break;
    default:
        break;
    }
    return {original, modified};
}

} // namespace

// Creating a patch and applying it gives back the modified image, in both formats, for many random
// images with random edits; and applying it to any other image never gives a wrong result silently.
class PatchRoundTripTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createThenApply_givesTheModifiedImage_data()
    {
        QTest::addColumn<PatchFormat>("format");
        QTest::newRow("IPS") << PatchFormat::Ips;
        QTest::newRow("BPS") << PatchFormat::Bps;
    }

    void createThenApply_givesTheModifiedImage()
    {
        QFETCH(PatchFormat, format);
        for (quint32 start = 1; start <= 400; ++start) {
            QRandomGenerator random(start);
            const Case c = randomCase(random);
            const PatchOutcome patch = PatchFile::create(format, c.original, c.modified);
            QVERIFY2(patch.ok(), qUtf8Printable(patch.error));
            QCOMPARE(PatchFile::formatOfContent(patch.bytes), std::optional<PatchFormat>(format));
            const PatchOutcome applied = PatchFile::apply(c.original, patch.bytes);
            QVERIFY2(applied.ok(), qUtf8Printable(u"start %1: %2"_s.arg(start).arg(applied.error)));
            QVERIFY2(applied.bytes == c.modified, qPrintable(u"start %1"_s.arg(start)));
        }
    }

    void bpsOnAnotherImage_isRefused()
    {
        for (quint32 start = 1; start <= 100; ++start) {
            QRandomGenerator random(start);
            const Case c = randomCase(random);
            const PatchOutcome patch = PatchFile::create(PatchFormat::Bps, c.original, c.modified);
            QByteArray other = c.original;
            other[random.bounded(other.size())] ^= char(1 + random.bounded(255));
            const PatchOutcome applied = PatchFile::apply(other, patch.bytes);
            QVERIFY2(!applied.ok(), qPrintable(u"start %1"_s.arg(start)));
            QVERIFY(applied.error.contains(u"CRC32"_s));
        }
    }

    void patchOfNeitherFormat_isRefused()
    {
        const PatchOutcome applied = PatchFile::apply("image", "PK\x03\x04");
        QVERIFY(!applied.ok());
        QVERIFY(applied.error.contains(u"BPS1"_s));
    }

    void formatForName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format"); // -1: neither
        QTest::newRow("ips") << u"/a/b.ips"_s << int(PatchFormat::Ips);
        QTest::newRow("BPS upper case") << u"b.BPS"_s << int(PatchFormat::Bps);
        QTest::newRow("image") << u"b.smc"_s << -1;
        QTest::newRow("no extension") << u"ips"_s << -1;
    }

    void formatForName()
    {
        QFETCH(QString, name);
        QFETCH(int, format);
        const std::optional<PatchFormat> found = PatchFile::formatForName(name);
        QCOMPARE(found ? int(*found) : -1, format);
    }
};

TAVRIN_TEST(PatchRoundTripTest)
#include "patchroundtriptest.moc"
