#include "filebytes.h"
#include "clirun.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The sample image (with its copier header) with a cartridge header at 0x7FC0 behind it.
QByteArray sampleWithTitle(bool checksumsAgree)
{
    QByteArray image = SampleImage::generate();
    const qsizetype header = 0x200 + 0x7FC0;
    const QByteArray title = "TAVRIN \xB6\xDE\xD2\x01" + QByteArray(10, ' ');
    image.replace(header, title.size(), title);
    // Complement then checksum, low byte first: 0xEDCB and 0x1234 add up to 0xFFFF.
    image.replace(header + 0x1C, 4, checksumsAgree ? "\xCB\xED\x34\x12" : "\xCB\xED\x35\x12");
    return image;
}

} // namespace

// `tavrin info`: what it prints about either form of an image, and its exit codes.
class InfoCommandTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void info_printsTheSameCartridgeFiguresForBothForms()
    {
        const QByteArray image = sampleWithTitle(true);
        QVERIFY(writeFileBytes(m_dir->filePath(u"a.smc"_s), image));
        QVERIFY(writeFileBytes(m_dir->filePath(u"a.sfc"_s), image.mid(0x200)));
        const CliRun headered = CliRun::of({u"info"_s, m_dir->filePath(u"a.smc"_s)});
        const CliRun bare = CliRun::of({u"info"_s, m_dir->filePath(u"a.sfc"_s)});
        QCOMPARE(headered.code, 0);
        QCOMPARE(bare.code, 0);
        QVERIFY(headered.err.isEmpty());
        const QStringList lines = headered.out.split(u'\n');
        QCOMPARE(lines.value(0), u"形式: コピアヘッダーあり (.smc)"_s);
        QCOMPARE(lines.value(1), u"大きさ: 1049088 バイト"_s);
        // The byte 0x01 is no character: it shows as the replacement character.
        QCOMPARE(lines.value(2), u"タイトル: TAVRIN ｶﾞﾒ\uFFFD"_s);
        QCOMPARE(lines.value(3), u"チェックサム: 補数と一致（チェックサム 0x1234、補数 0xEDCB）"_s);
        QVERIFY(lines.value(4).startsWith(u"計算したチェックサム: "_s));
        QVERIFY(lines.value(5).startsWith(u"CRC32: "_s));
        const QStringList bareLines = bare.out.split(u'\n');
        QCOMPARE(bareLines.value(0), u"形式: ヘッダーなし (.sfc)"_s);
        QCOMPARE(bareLines.value(1), u"大きさ: 1048576 バイト"_s);
        // Title, checksum and CRC32 are those of the cartridge data, the same in both forms.
        QCOMPARE(bareLines.mid(2), lines.mid(2));
    }

    void info_saysWhenChecksumAndComplementDisagree()
    {
        QVERIFY(writeFileBytes(m_dir->filePath(u"a.smc"_s), sampleWithTitle(false)));
        const CliRun run = CliRun::of({u"info"_s, m_dir->filePath(u"a.smc"_s)});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains(u"補数と不一致（チェックサム 0x1235、補数 0xEDCB）"_s), qUtf8Printable(run.out));
    }

    void info_exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // on standard error; empty: nothing there
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QString();
        QTest::newRow("no image") << QStringList() << 2 << u"引数が足りません"_s;
        QTest::newRow("two images") << QStringList{u"a"_s, u"b"_s} << 2 << u"引数が多すぎます"_s;
        QTest::newRow("unknown option") << QStringList{u"--frob"_s, u"a"_s} << 2 << u"frob"_s;
        QTest::newRow("missing file") << QStringList{u"missing.smc"_s} << 2 << u"見つかりません"_s;
        QTest::newRow("too short") << QStringList{u"short.sfc"_s} << 2 << u"短すぎます"_s;
    }

    void info_exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(writeFileBytes(m_dir->filePath(u"short.sfc"_s), QByteArray(0xAF000, '\0')));
        for (QString& argument : arguments)
            if (argument.contains(u'.'))
                argument = m_dir->filePath(argument);
        const CliRun run = CliRun::of(QStringList{u"info"_s} + arguments);
        QCOMPARE(run.code, code);
        if (message.isEmpty()) {
            QVERIFY(run.err.isEmpty());
            QVERIFY(run.out.contains(u"tavrin info IMAGE"_s));
        } else {
            QVERIFY2(run.err.contains(message), qUtf8Printable(run.err));
            QVERIFY(run.err.startsWith(u"tavrin info: "_s));
        }
    }
};

TAVRIN_TEST(InfoCommandTest)
#include "infocommandtest.moc"
