#include "clirun.h"
#include "copierheader.h"
#include "diskfingerprint.h"
#include "filebytes.h"
#include "officerwar.h"
#include "patchfile.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// `tavrin diff IMAGE OTHER` with an image of either form or a patch as OTHER: the lines for the
// tables, the last line for bytes outside them, the exit code, and that nothing is written.
class DiffCliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_sample;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sample = SampleImage::generate();
        QVERIFY(writeFileBytes(path(u"image.smc"_s), m_sample));
    }

    void diff_reportsTablesThenBytesOutside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("tableValue");
        QTest::addColumn<bool>("code");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<int>("exit");
        const QString war = u"officers 5 武力: %1 -> 123\n"_s.arg(quint8(m_sample.at(WarByteOfRecord0 + 5 * 30)));
        QTest::newRow("same image") << u"same.smc"_s << false << false << false << u"違いはありません。\n"_s << 0;
        QTest::newRow("only the copier header") << u"header.smc"_s << false << false << true << u"違いはありません。\n"_s
                                                << 0;
        QTest::newRow("only outside the tables")
            << u"code.smc"_s << false << true << false << u"表の値に違いはありません。\n表の外の 1 バイトが違います。\n"_s
            << 1;
        QTest::newRow("headerless image, a value")
            << u"value.sfc"_s << true << false << true << war + u"1 個の値が違います。\n"_s << 1;
        QTest::newRow("IPS patch, a value and code")
            << u"fix.ips"_s << true << true << true
            << war + u"1 個の値が違います。\n表の外の 1 バイトが違います。\n"_s << 1;
        QTest::newRow("IPS patch made for the headerless form, --patch-form headerless")
            << u"headerless.ips"_s << true << true << false
            << war + u"1 個の値が違います。\n表の外の 1 バイトが違います。\n"_s << 1;
        QTest::newRow("a table byte no column shows")
            << u"unshown.smc"_s << false << false << false
            << u"表の値に違いはありません。\n表の中の、どの列にも出ない 1 バイトが違います。\n"_s << 1;
        QTest::newRow("BPS patch, code only")
            << u"fix.bps"_s << false << true << false
            << u"表の値に違いはありません。\n表の外の 1 バイトが違います。\n"_s << 1;
    }

    void diff_reportsTablesThenBytesOutside()
    {
        QFETCH(QString, name);
        QFETCH(bool, tableValue);
        QFETCH(bool, code);
        QFETCH(bool, header);
        QFETCH(QString, tail);
        QFETCH(int, exit);
        QByteArray other = m_sample;
        if (tableValue)
            other[WarByteOfRecord0 + 5 * 30] = char(123);
        if (code)
            other[0x2000] = char(~other.at(0x2000));
        if (header)
            other[0x20] = char(~other.at(0x20));
        // Officer 0's byte 21 lies between the name and the reading, in no column.
        if (name == u"unshown.smc"_s)
            other[WarByteOfRecord0 - 7 + 21] = char(~other.at(WarByteOfRecord0 - 7 + 21));
        // A patch made for the other form is told so, or it would land 512 bytes off.
        const bool headerless = name.startsWith(u"headerless"_s);
        if (name.endsWith(u".sfc"_s))
            other = CopierHeader::removed(other).bytes;
        else if (headerless)
            other = PatchFile::create(PatchFormat::Ips, CopierHeader::removed(m_sample).bytes,
                                      CopierHeader::removed(other).bytes)
                        .bytes;
        else if (name.endsWith(u".ips"_s))
            other = PatchFile::create(PatchFormat::Ips, m_sample, other).bytes;
        else if (name.endsWith(u".bps"_s))
            other = PatchFile::create(PatchFormat::Bps, m_sample, other).bytes;
        QVERIFY(writeFileBytes(path(name), other));
        const DiskFingerprint before = DiskFingerprint::of(m_dir.path());
        const CliRun run = CliRun::of(QStringList{u"diff"_s, path(u"image.smc"_s), path(name)} +
                                      (headerless ? QStringList{u"--patch-form"_s, u"headerless"_s} : QStringList()));
        QCOMPARE(run.out, tail);
        QCOMPARE(run.code, exit);
        QVERIFY(run.err.isEmpty());
        QCOMPARE(DiskFingerprint::of(m_dir.path()).changedSince(before), QStringList());
    }

    void diff_patchThatDoesNotFitIsRefused()
    {
        // For another image: its source checksum is not this image's.
        QByteArray elsewhere = m_sample;
        elsewhere[0x700] = char(~elsewhere.at(0x700));
        QVERIFY(writeFileBytes(path(u"other.bps"_s),
                               PatchFile::create(PatchFormat::Bps, elsewhere, m_sample).bytes));
        const DiskFingerprint before = DiskFingerprint::of(m_dir.path());
        const CliRun run = CliRun::of({u"diff"_s, path(u"image.smc"_s), path(u"other.bps"_s)});
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(u"other.bps: "_s) && run.err.contains(u"CRC32"_s), qPrintable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir.path()).changedSince(before), QStringList());
    }
};

TAVRIN_TEST(DiffCliTest)
#include "diffclitest.moc"
