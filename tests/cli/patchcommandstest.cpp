#include "filebytes.h"
#include "clirun.h"
#include "diskfingerprint.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

} // namespace

// `tavrin patch` and `tavrin apply`: the round trip through files, the exit codes and messages, and
// that a refused patch writes nothing anywhere.
class PatchCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_original;
    QByteArray m_modified;

    QString path(const QString& name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        m_original = SampleImage::generate();
        m_modified = m_original;
        // An officer's War and a stretch of one value in the city block.
        m_modified[0xA8226 + 7] = char(95);
        m_modified.replace(0xAC07F + 40, 20, QByteArray(20, '\x07'));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeFileBytes(path(u"original.smc"_s), m_original));
        QVERIFY(writeFileBytes(path(u"modified.smc"_s), m_modified));
    }

    void patchThenApply_givesTheModifiedImage_data()
    {
        QTest::addColumn<QString>("patch");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("IPS to a new file") << u"edit.ips"_s << false;
        QTest::newRow("BPS to a new file") << u"edit.bps"_s << false;
        QTest::newRow("IPS in place, upper-case extension") << u"edit.IPS"_s << true;
        QTest::newRow("BPS in place") << u"edit.bps"_s << true;
    }

    void patchThenApply_givesTheModifiedImage()
    {
        QFETCH(QString, patch);
        QFETCH(bool, inPlace);
        const CliRun made =
            CliRun::of({u"patch"_s, path(u"original.smc"_s), path(u"modified.smc"_s), u"-o"_s, path(patch)});
        QVERIFY2(made.code == 0, qUtf8Printable(made.err));
        QVERIFY(made.err.isEmpty());
        const QByteArray patchBytes = readFileBytes(path(patch));
        QVERIFY(made.out.contains(QString::number(patchBytes.size())));
        QVERIFY(patchBytes.size() < 100);

        const QString target = inPlace ? path(u"original.smc"_s) : path(u"patched.smc"_s);
        const QStringList where = inPlace ? QStringList{u"--in-place"_s} : QStringList{u"-o"_s, target};
        const CliRun applied = CliRun::of(QStringList{u"apply"_s, path(u"original.smc"_s), path(patch)} + where);
        QVERIFY2(applied.code == 0, qUtf8Printable(applied.err));
        QCOMPARE(readFileBytes(target), m_modified);
        if (!inPlace)
            QCOMPARE(readFileBytes(path(u"original.smc"_s)), m_original);
    }

    void patch_refusesAndWritesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString o = u"original.smc"_s;
        const QString m = u"modified.smc"_s;
        QTest::newRow("no -o") << QStringList{o, m} << 2 << u"-o"_s;
        QTest::newRow("unknown extension") << QStringList{o, m, u"-o"_s, u"edit.txt"_s} << 2 << u".ips か .bps"_s;
        QTest::newRow("one image") << QStringList{o, u"-o"_s, u"edit.ips"_s} << 2 << u"足りません"_s;
        QTest::newRow("missing original")
            << QStringList{u"gone.smc"_s, m, u"-o"_s, u"edit.ips"_s} << 2 << u"gone.smc"_s;
        QTest::newRow("no differences") << QStringList{o, o, u"-o"_s, u"edit.bps"_s} << 1 << u"違いがありません"_s;
        QTest::newRow("different forms") << QStringList{o, u"bare.sfc"_s, u"-o"_s, u"edit.ips"_s} << 1
                                         << u"形式が違います"_s;
        QTest::newRow("output folder missing")
            << QStringList{o, m, u"-o"_s, u"no/edit.ips"_s} << 2 << u"保存できませんでした"_s;
    }

    void patch_refusesAndWritesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(writeFileBytes(path(u"bare.sfc"_s), m_modified.mid(0x200)));
        for (QString& argument : arguments)
            if (argument.contains(u'.'))
                argument = path(argument);
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of(QStringList{u"patch"_s} + arguments);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.startsWith(u"tavrin patch: "_s) && run.err.contains(message), qUtf8Printable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    void apply_refusesAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QStringList>("where");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QStringList out{u"-o"_s, u"out.smc"_s};
        const QStringList inPlace{u"--in-place"_s};
        QTest::newRow("neither format") << QByteArray("PK\x03\x04") << out << 1 << u"BPS1"_s;
        QTest::newRow("IPS without EOF") << QByteArray("PATCH\0\0\x10\0\x01x", 11) << inPlace << 1 << u"EOF"_s;
        QTest::newRow("IPS past 16 MiB") << QByteArray("PATCH\xFF\xFF\xFF\0\x02xyEOF", 15) << out << 1 << u"16 MiB"_s;
        QTest::newRow("BPS cut short") << QByteArray("BPS1\x80") << inPlace << 1 << u"短すぎ"_s;
        QTest::newRow("both -o and --in-place") << QByteArray("PATCHEOF") << (out + inPlace) << 2 << u"どちらか一方"_s;
        QTest::newRow("neither -o nor --in-place") << QByteArray("PATCHEOF") << QStringList() << 2 << u"どちらか一方"_s;
    }

    void apply_refusesAndWritesNothing()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QStringList, where);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(writeFileBytes(path(u"bad.ips"_s), patch));
        for (QString& argument : where)
            if (argument.contains(u'.'))
                argument = path(argument);
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of(QStringList{u"apply"_s, path(u"original.smc"_s), path(u"bad.ips"_s)} + where);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qUtf8Printable(run.err));
        if (code == 1)
            QVERIFY2(run.err.contains(u"bad.ips"_s), qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    // IPS's truncation (three size bytes after "EOF") may shorten an image, but never into one that
    // does not open.
    void apply_truncatingIps_keepsOnlyImagesThatOpen_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("code");
        QTest::newRow("to 16 bytes") << 16 << 1;
        QTest::newRow("one byte short of the smallest image") << 0xAF5A5 << 1;
        QTest::newRow("to a smaller image") << 0xB0200 << 0;
    }

    void apply_truncatingIps_keepsOnlyImagesThatOpen()
    {
        QFETCH(int, size);
        QFETCH(int, code);
        const QByteArray patch = QByteArray("PATCHEOF") + char(size >> 16) + char(size >> 8) + char(size);
        QVERIFY(writeFileBytes(path(u"cut.ips"_s), patch));
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of({u"apply"_s, path(u"original.smc"_s), path(u"cut.ips"_s), u"--in-place"_s});
        QVERIFY2(run.code == code, qUtf8Printable(run.err));
        if (code == 0) {
            QCOMPARE(readFileBytes(path(u"original.smc"_s)), m_original.first(size));
            return;
        }
        QVERIFY2(run.err.contains(u"cut.ips"_s) && run.err.contains(u"イメージとして開けません"_s), qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    void applyBps_toAnotherImage_namesBothCrcsAndWritesNothing()
    {
        QVERIFY(CliRun::of({u"patch"_s, path(u"original.smc"_s), path(u"modified.smc"_s), u"-o"_s, path(u"e.bps"_s)})
                    .code == 0);
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of({u"apply"_s, path(u"modified.smc"_s), path(u"e.bps"_s), u"--in-place"_s});
        QCOMPARE(run.code, 1);
        const QByteArray bps = readFileBytes(path(u"e.bps"_s));
        const auto crcAt = [&](qsizetype at) {
            quint32 crc = 0;
            for (int i = 3; i >= 0; --i)
                crc = crc << 8 | quint8(bps.at(at + i));
            return QString::number(crc, 16).toUpper().rightJustified(8, u'0');
        };
        // The patch's source CRC32 is the original's; the image given is the modified one, whose CRC32
        // is the patch's target CRC32.
        QVERIFY2(run.err.contains(crcAt(bps.size() - 12)) && run.err.contains(crcAt(bps.size() - 8)),
                 qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }
};

TAVRIN_TEST(PatchCommandsTest)
#include "patchcommandstest.moc"
