#include "blockcatalogue.h"
#include "bpspatch.h"
#include "builtfile.h"
#include "cartridgechecksum.h"
#include "clirun.h"
#include "diskfingerprint.h"
#include "filebytes.h"
#include "ipspatch.h"
#include "officerwar.h"
#include "sampleimage.h"
#include "testregistry.h"
#include "unixfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 Pair = 0x200 + 0x7FDC;
// Not a Qt permission: a row with it gives the image mode 2440, the set-group-ID bit on.
constexpr int SetGroupId = 0x100000;

bool checksumValid(const QByteArray& image)
{
    const ImageForm form = imageFormForSize(image.size());
    QByteArray fixed = image;
    return CartridgeChecksum::fix(fixed, form) && fixed == image;
}

} // namespace

// `tavrin fix-checksum`, `tavrin header`, `tavrin apply` with several patches and patches of the other
// form, and --fix-checksum on apply and import: what they write, and that a refusal writes nothing.
class ImageCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_sample;
    // The sample with one officer edited and a stale checksum pair.
    QByteArray m_stale;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    // The arguments with every file name in them (anything with a dot) made a path in the folder.
    QStringList inFolder(QStringList arguments) const
    {
        for (QString& argument : arguments)
            if (argument.contains(u'.'))
                argument = path(argument);
        return arguments;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_sample = SampleImage::generate();
        m_stale = m_sample;
        m_stale[WarByteOfRecord0] = char(77);
        // A pair left by some other tool: each of the four bytes differs from the right one.
        m_stale.replace(Pair, 4, "\x12\x34\x56\x78");
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeFileBytes(path(u"stale.smc"_s), m_stale));
        QVERIFY(writeFileBytes(path(u"bare.sfc"_s), m_stale.mid(0x200)));
        QVERIFY(writeFileBytes(path(u"longer.sfc"_s), m_stale.mid(0x200) + QByteArray(1024, '\0')));
        QByteArray edited = m_stale;
        edited[WarByteOfRecord0] = char(50);
        QVERIFY(writeFileBytes(path(u"one.ips"_s), IpsPatch::create(m_stale, edited).bytes));
        // An image under a patch's name, which `patch` would take for its output.
        QVERIFY(writeFileBytes(path(u"edited.bps"_s), edited));
        QVERIFY(writeFileBytes(path(u"bad.ips"_s), "PATCH\0\0\x10\0\x01x"));
        QVERIFY(writeFileBytes(path(u"forces.tsv"_s), "No\t君主\t本拠\t？\n3\t1\t9\t9\n"));
    }

    void info_printsStoredAndComputedChecksum()
    {
        QVERIFY(writeFileBytes(path(u"sample.smc"_s), m_sample));
        const CliRun good = CliRun::of({u"info"_s, path(u"sample.smc"_s)});
        const quint16 sum = *CartridgeChecksum::compute(m_sample, ImageForm::CopierHeader);
        QVERIFY2(good.out.contains(u"タイトル: TAVRIN SAMPLE\n"_s), qUtf8Printable(good.out));
        QVERIFY2(good.out.contains(u"計算したチェックサム: "_s + CartridgeChecksum::hexText(sum) + u"（記録と一致）"_s),
                 qUtf8Printable(good.out));
        const CliRun stale = CliRun::of({u"info"_s, path(u"stale.smc"_s)});
        const quint16 staleSum = *CartridgeChecksum::compute(m_stale, ImageForm::CopierHeader);
        QVERIFY(staleSum != sum);
        QVERIFY2(stale.out.contains(u"（チェックサム 0x7856、補数 0x3412）"_s) &&
                     stale.out.contains(CartridgeChecksum::hexText(staleSum) + u"（記録と違います"_s),
                 qUtf8Printable(stale.out));
    }

    void fixChecksum_writesTheFourBytesOnly_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("copier header, to a new file") << u"stale.smc"_s << false;
        QTest::newRow("copier header, in place") << u"stale.smc"_s << true;
        QTest::newRow("headerless, in place") << u"bare.sfc"_s << true;
    }

    void fixChecksum_writesTheFourBytesOnly()
    {
        QFETCH(QString, image);
        QFETCH(bool, inPlace);
        const QByteArray before = readFileBytes(path(image));
        const QString target = inPlace ? path(image) : path(u"fixed.smc"_s);
        const QStringList where = inPlace ? QStringList{u"--in-place"_s} : QStringList{u"-o"_s, target};
        const CliRun run = CliRun::of(QStringList{u"fix-checksum"_s, path(image)} + where);
        QVERIFY2(run.code == 0, qUtf8Printable(run.err));
        const QByteArray after = readFileBytes(target);
        const qint64 pair = image.endsWith(u".smc"_s) ? Pair : Pair - 0x200;
        QCOMPARE(differences(before, after), (QList<qint64>{pair, pair + 1, pair + 2, pair + 3}));
        QCOMPARE(after.size(), before.size());
        QVERIFY(checksumValid(after));
        if (!inPlace)
            QCOMPARE(readFileBytes(path(image)), before);

        // A second run in place finds nothing to do and writes nothing.
        const DiskFingerprint fixed = DiskFingerprint::of(m_dir->path());
        const CliRun again = CliRun::of({u"fix-checksum"_s, target, u"--in-place"_s});
        QCOMPARE(again.code, 0);
        QVERIFY(again.out.contains(u"何も書き込みませんでした"_s));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(fixed), QStringList());
    }

    // Each command's refusals: the exit code, the message, and not a byte written.
    void commands_refuseAndWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString s = u"stale.smc"_s;
        QTest::newRow("fix-checksum without -o") << QStringList{u"fix-checksum"_s, s} << 2 << u"どちらか一方"_s;
        QTest::newRow("fix-checksum, both") << QStringList{u"fix-checksum"_s, s, u"--in-place"_s, u"-o"_s, u"x.smc"_s}
                                            << 2 << u"どちらか一方"_s;
        QTest::newRow("fix-checksum, missing") << QStringList{u"fix-checksum"_s, u"gone.smc"_s, u"--in-place"_s} << 2
                                               << u"gone.smc"_s;
        QTest::newRow("header add to a header") << QStringList{u"header"_s, u"add"_s, s, u"-o"_s, u"x.smc"_s} << 1
                                                << u"もうコピアヘッダーがあります"_s;
        QTest::newRow("header remove from none")
            << QStringList{u"header"_s, u"remove"_s, u"bare.sfc"_s, u"-o"_s, u"x.smc"_s} << 1 << u"ありません"_s;
        QTest::newRow("header, bad action") << QStringList{u"header"_s, u"flip"_s, s, u"-o"_s, u"x.smc"_s} << 2
                                            << u"add か remove"_s;
        QTest::newRow("header without -o") << QStringList{u"header"_s, u"add"_s, u"bare.sfc"_s} << 2 << u"-o OUT"_s;
        QTest::newRow("header onto itself") << QStringList{u"header"_s, u"add"_s, u"bare.sfc"_s, u"-o"_s, u"bare.sfc"_s}
                                            << 2 << u"同じファイル"_s;
        QTest::newRow("apply, bad patch form")
            << QStringList{u"apply"_s, s, u"one.ips"_s, u"--in-place"_s, u"--patch-form"_s, u"big"_s} << 2
            << u"header か headerless"_s;
        QTest::newRow("apply, second patch refused")
            << QStringList{u"apply"_s, s, u"one.ips"_s, u"bad.ips"_s, u"--in-place"_s} << 1 << u"bad.ips"_s;
        QTest::newRow("apply, second patch missing")
            << QStringList{u"apply"_s, s, u"one.ips"_s, u"gone.ips"_s, u"-o"_s, u"x.smc"_s} << 2 << u"gone.ips"_s;
        const QStringList set{u"set"_s, s, u"-o"_s, u"x.smc"_s};
        QTest::newRow("set, a value below 0") << set + QStringList{u"武力=知力-100"_s} << 1 << u"入力できない値"_s;
        QTest::newRow("set, division by zero") << set + QStringList{u"武力/=0"_s} << 1 << u"0 による割り算"_s;
        QTest::newRow("set, syntax") << set + QStringList{u"武力+=(2"_s} << 2 << u"7 文字目"_s;
        QTest::newRow("set, text column") << set + QStringList{u"武力=ルビ"_s} << 2 << u"数の列ではありません"_s;
        QTest::newRow("set, unknown table")
            << set + QStringList{u"-t"_s, u"horses"_s, u"武力=1"_s} << 2 << u"表「horses」"_s;
        QTest::newRow("set, bad filter") << set + QStringList{u"--where"_s, u"知力x<3"_s, u"武力=1"_s} << 2
                                         << u"「知力x」という列はありません"_s;
        QTest::newRow("merge without -o") << QStringList{u"merge"_s, s, s, s} << 2 << u"どちらか一方"_s;
        QTest::newRow("merge, missing base")
            << QStringList{u"merge"_s, u"gone.smc"_s, s, s, u"--in-place"_s} << 2 << u"gone.smc"_s;
        QTest::newRow("merge, sizes differ")
            << QStringList{u"merge"_s, s, s, u"longer.sfc"_s, u"--in-place"_s} << 2 << u"大きさが違います"_s;
        QTest::newRow("merge onto theirs")
            << QStringList{u"merge"_s, s, u"bare.sfc"_s, s, u"-o"_s, u"./stale.smc"_s} << 2 << u"同じファイル"_s;
        // The test makes the links: "symbX" and "hardX" are a symbolic and a hard link to X.
        // No command writes over a file it reads, under any of its names: only --in-place writes the image.
        const QList<QStringList> commands{{u"fix-checksum"_s, s},
                                          {u"header"_s, u"remove"_s, s},
                                          {u"apply"_s, s, u"one.ips"_s},
                                          {u"import"_s, s, u"forces.tsv"_s},
                                          {u"export"_s, s, u"-t"_s, u"items"_s, u"--names"_s, u"bare.sfc"_s},
                                          {u"patch"_s, s, u"edited.bps"_s},
                                          {u"merge"_s, u"bare.sfc"_s, s, u"longer.sfc"_s},
                                          {u"set"_s, s, u"武力+=1"_s}};
        for (const QStringList& command : commands)
            for (const QString& input : command.filter(u"."_s))
                for (const QString& way : {u""_s, u"./"_s, u"symbolic link to "_s, u"hard link to "_s})
                    QTest::addRow("%s -o %s%s", qPrintable(command.first()), qPrintable(way), qPrintable(input))
                        << command + QStringList{u"-o"_s, way.left(4).trimmed() + input} << 2 << u"同じファイル"_s;
        QTest::newRow("export to the folder of its name list")
            << QStringList{u"export"_s, s, u"--names"_s, u"forces.tsv"_s, u"-o"_s, u"."_s} << 2 << u"同じファイル"_s;
    }

    void commands_refuseAndWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        SKIP_IF_UNIX_ONLY(QString::fromUtf8(QTest::currentDataTag()));
        for (const QString& link : arguments.filter(QRegularExpression(u"^(symb|hard)"_s))) {
            const QString target = path(link.mid(4));
            if (link.startsWith(u"symb"_s) ? !QFile::link(target, path(link)) : !makeHardLink(target, path(link)))
                QSKIP("this system gives the test no such link");
        }
        arguments = inFolder(arguments);
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of(arguments);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.startsWith(u"tavrin "_s + arguments.first() + u": "_s) && run.err.contains(message),
                 qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    // The built command swaps two columns on the rows the filter keeps and writes exactly those bytes; a
    // dry run prints the changes as diff does and writes nothing, and so does a run with nothing to change.
    void set_changesTheFilteredRowsOnly()
    {
        const qint64 officers = blockSpec(BlockId::Officer).position;
        const auto byteOf = [this, officers](int record, int offset) {
            return quint8(m_stale[officers + record * 30 + offset]);
        };
        QList<qint64> expected;
        for (int record = 0; record < 3; ++record)
            if (byteOf(record, 7) != byteOf(record, 8))
                expected << officers + record * 30 + 7 << officers + record * 30 + 8;
        QVERIFY(!expected.isEmpty());
        const QStringList swap{u"set"_s, path(u"stale.smc"_s), u"--where"_s, u"No<3"_s, u"武力=知力; 知力=武力"_s};
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        const CliRun dry = CliRun::of(swap + QStringList{u"-o"_s, path(u"out.smc"_s), u"--dry-run"_s});
        QCOMPARE(dry.code, 0);
        QVERIFY2(dry.out.startsWith(u"officers 0 武力: 77 -> %1\n"_s.arg(byteOf(0, 8))), qUtf8Printable(dry.out));
        QCOMPARE(dry.out.count(u'\n'), expected.size() + 1);
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());

        QProcess process;
        process.start(builtFile(TAVRIN_CLI), swap + QStringList{u"-o"_s, path(u"out.smc"_s)});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString rows = QString::number(expected.size() / 2);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                 rows + u" 行、"_s + QString::number(expected.size()) + u" セルを変更しました\n"_s);
        const QByteArray out = readFileBytes(path(u"out.smc"_s));
        QCOMPARE(differences(m_stale, out), expected);
        QCOMPARE(quint8(out[WarByteOfRecord0]), byteOf(0, 8));

        const DiskFingerprint written = DiskFingerprint::of(m_dir->path());
        const CliRun none = CliRun::of({u"set"_s, path(u"out.smc"_s), u"寿命=寿命"_s, u"--in-place"_s});
        QCOMPARE(none.code, 0);
        QCOMPARE(none.out, u"変わるセルはありません\n"_s);
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(written), QStringList());
    }

    // In place, a read-only image is refused even for root, who passes every access check; every
    // image keeps its permission bits.
    void inPlace_refusesReadOnlyAndKeepsPermissions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("permissions");
        QTest::addColumn<int>("code");
        const int readOnly = int(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const int writeOnly = int(QFileDevice::WriteOwner);
        const QStringList fix{u"fix-checksum"_s, u"stale.smc"_s, u"--in-place"_s};
        const QStringList apply{u"apply"_s, u"stale.smc"_s, u"one.ips"_s, u"--in-place"_s};
        const QStringList import{u"import"_s, u"stale.smc"_s, u"forces.tsv"_s, u"--in-place"_s};
        QTest::newRow("fix-checksum, read-only") << fix << readOnly << 2;
        QTest::newRow("apply, read-only") << apply << readOnly << 2;
        QTest::newRow("import, read-only") << import << readOnly << 2;
        QTest::newRow("apply, write-only") << apply << writeOnly << 0;
        QTest::newRow("import, write-only") << import << writeOnly << 0;
        // Reading alone leaves a read-only image as it was, set-group-ID bit included.
        QTest::newRow("export, read-only") << QStringList{u"export"_s, u"stale.smc"_s, u"-t"_s, u"items"_s} << readOnly
                                           << 0;
        QTest::newRow("diff, mode 2440") << QStringList{u"diff"_s, u"stale.smc"_s, u"bare.sfc"_s}
                                         << (int(QFileDevice::ReadOwner | QFileDevice::ReadGroup) | SetGroupId) << 0;
    }

    void inPlace_refusesReadOnlyAndKeepsPermissions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, permissions);
        QFETCH(int, code);
        const QFileDevice::Permissions wanted = QFileDevice::Permissions::fromInt(permissions & ~SetGroupId);
#ifdef Q_OS_UNIX
        const bool root = ::geteuid() == 0;
#else
        const bool root = false; // and the read-only attribute is the only permission there
#endif
        if (!wanted.testFlag(QFileDevice::ReadOwner) && !root)
            QSKIP("only root reads an image its owner may not read");
        QVERIFY(QFile::setPermissions(path(u"stale.smc"_s), wanted));
#ifdef Q_OS_UNIX
        const QByteArray native = QFile::encodeName(path(u"stale.smc"_s));
        if (permissions & SetGroupId)
            QCOMPARE(::chmod(native.constData(), 02440), 0);
        const auto mode = [&native] {
            struct stat st = {};
            return ::stat(native.constData(), &st) == 0 ? int(st.st_mode) : -1;
        };
        const int modeBefore = mode();
#else
        if (permissions & SetGroupId)
            QSKIP("no set-group-ID bit here");
#endif
        const QFileDevice::Permissions before = QFile::permissions(path(u"stale.smc"_s));
        const DiskFingerprint unchanged = DiskFingerprint::of(m_dir->path());
        const CliRun run = CliRun::of(inFolder(arguments));
        QVERIFY2(run.code == code, qUtf8Printable(run.err));
        QCOMPARE(QFile::permissions(path(u"stale.smc"_s)), before);
#ifdef Q_OS_UNIX
        QCOMPARE(mode(), modeBefore);
#endif
        if (code == 0)
            return;
        QVERIFY2(run.err.contains(u"書き込みが許可されていません"_s), qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(unchanged), QStringList());
    }

    void header_addThenRemove_givesTheImageBack()
    {
        const CliRun added = CliRun::of({u"header"_s, u"add"_s, path(u"bare.sfc"_s), u"-o"_s, path(u"h.smc"_s)});
        QVERIFY2(added.code == 0, qUtf8Printable(added.err));
        QCOMPARE(readFileBytes(path(u"h.smc"_s)), QByteArray(0x200, '\0') + m_stale.mid(0x200));
        const CliRun removed = CliRun::of({u"header"_s, u"remove"_s, path(u"h.smc"_s), u"-o"_s, path(u"b.sfc"_s)});
        QVERIFY2(removed.code == 0, qUtf8Printable(removed.err));
        QCOMPARE(readFileBytes(path(u"b.sfc"_s)), m_stale.mid(0x200));
    }

    // Patches made for the other form, several in order, and the checksum fixed after them.
    void apply_patchesOfEitherFormInOrder_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QStringList>("patches");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("war");   // officer 0's WarByteOfRecord0 afterwards
        QTest::addColumn<int>("notes"); // lines saying a patch went through the other form
        QTest::newRow("BPS for headerless onto a header") << u"stale.smc"_s << QStringList{u"bare50.bps"_s}
                                                          << QStringList() << 50 << 1;
        QTest::newRow("BPS for a header onto headerless") << u"bare.sfc"_s << QStringList{u"head50.bps"_s}
                                                          << QStringList() << 50 << 1;
        QTest::newRow("IPS for headerless onto a header")
            << u"stale.smc"_s << QStringList{u"bare50.ips"_s} << QStringList{u"--patch-form"_s, u"headerless"_s} << 50
            << 1;
        QTest::newRow("two in order, the second made from the first's result")
            << u"stale.smc"_s << QStringList{u"head50.ips"_s, u"head50to60.bps"_s} << QStringList() << 60 << 0;
        QTest::newRow("two, other form, then the checksum")
            << u"stale.smc"_s << QStringList{u"bare50.bps"_s, u"head50to60.bps"_s}
            << QStringList{u"--fix-checksum"_s} << 60 << 1;
    }

    void apply_patchesOfEitherFormInOrder()
    {
        QFETCH(QString, image);
        QFETCH(QStringList, patches);
        QFETCH(QStringList, options);
        QFETCH(int, war);
        QFETCH(int, notes);
        const QByteArray head = m_stale;
        QByteArray head50 = head;
        head50[WarByteOfRecord0] = char(50);
        QByteArray head60 = head50;
        head60[WarByteOfRecord0] = char(60);
        // The other form's patches are made from an image with a header of zeros, as `header add` gives.
        const QByteArray zeroHead = QByteArray(0x200, '\0') + head.mid(0x200);
        const QByteArray zeroHead50 = QByteArray(0x200, '\0') + head50.mid(0x200);
        const bool bareImage = image.endsWith(u".sfc"_s);
        QVERIFY(writeFileBytes(path(u"bare50.bps"_s), BpsPatch::create(head.mid(0x200), head50.mid(0x200)).bytes));
        QVERIFY(writeFileBytes(path(u"bare50.ips"_s), IpsPatch::create(head.mid(0x200), head50.mid(0x200)).bytes));
        QVERIFY(writeFileBytes(path(u"head50.bps"_s), BpsPatch::create(zeroHead, zeroHead50).bytes));
        QVERIFY(writeFileBytes(path(u"head50.ips"_s), IpsPatch::create(head, head50).bytes));
        QVERIFY(writeFileBytes(path(u"head50to60.bps"_s), BpsPatch::create(head50, head60).bytes));

        QStringList arguments{u"apply"_s, path(image)};
        for (const QString& patch : patches)
            arguments << path(patch);
        const CliRun run = CliRun::of(arguments + options + QStringList{u"-o"_s, path(u"out.img"_s)});
        QVERIFY2(run.code == 0, qUtf8Printable(run.err + run.out));
        const QByteArray out = readFileBytes(path(u"out.img"_s));
        const QByteArray original = readFileBytes(path(image));
        // The result keeps the image's own form and its own header.
        QCOMPARE(out.size(), original.size());
        const qint64 war0 = bareImage ? WarByteOfRecord0 - 0x200 : WarByteOfRecord0;
        QCOMPARE(int(quint8(out.at(war0))), war);
        QCOMPARE(run.out.count(u"用のパッチなので"_s), notes);
        const bool fixing = options.contains(u"--fix-checksum"_s);
        QVERIFY(checksumValid(out) == fixing);
        const qint64 pair = bareImage ? Pair - 0x200 : Pair;
        QList<qint64> expected{war0};
        if (fixing)
            expected << pair << pair + 1 << pair + 2 << pair + 3;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(differences(original, out), expected);
    }

    void import_fixChecksum_savesAValidPair()
    {
        QVERIFY(CliRun::of({u"export"_s, path(u"stale.smc"_s), u"-t"_s, u"officers"_s, u"-o"_s, path(u"o.tsv"_s)})
                    .code == 0);
        const CliRun plain = CliRun::of({u"import"_s, path(u"stale.smc"_s), path(u"o.tsv"_s), u"-o"_s, path(u"a.smc"_s)});
        QVERIFY2(plain.code == 0, qUtf8Printable(plain.err));
        QCOMPARE(readFileBytes(path(u"a.smc"_s)), m_stale);
        const CliRun fixed = CliRun::of(
            {u"import"_s, path(u"stale.smc"_s), path(u"o.tsv"_s), u"-o"_s, path(u"b.smc"_s), u"--fix-checksum"_s});
        QVERIFY2(fixed.code == 0, qUtf8Printable(fixed.err));
        const QByteArray b = readFileBytes(path(u"b.smc"_s));
        QVERIFY(checksumValid(b));
        QCOMPARE(differences(m_stale, b), (QList<qint64>{Pair, Pair + 1, Pair + 2, Pair + 3}));
    }
};

TAVRIN_TEST(ImageCommandsTest)
#include "imagecommandstest.moc"
