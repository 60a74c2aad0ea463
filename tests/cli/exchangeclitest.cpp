#include "atomicfile.h"
#include "builtfile.h"
#include "diskfingerprint.h"
#include "filebytes.h"
#include "filesizelimit.h"
#include "blockcatalogue.h"
#include "document.h"
#include "sampleimage.h"
#include "subcommand.h"
#include "tableexport.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// One in-process run of `tavrin` with what it wrote to each stream.
struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run tavrin(const QStringList& arguments)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.code = cli::runCommandLine(QStringList{u"tavrin"_s} + arguments, out, err);
    out.flush();
    err.flush();
    return run;
}

// The sample's officer 12 War (record byte 7) raised by one, as a second image to compare with.
QByteArray sampleWithWarRaised(int record)
{
    QByteArray image = SampleImage::generate();
    const qsizetype at = blockSpec(BlockId::Officer).position + 30 * record + 7;
    image[at] = char(quint8(image[at]) + 1);
    return image;
}

} // namespace

// tavrin export, import and diff: exit codes, messages, and which files they write.
class ExchangeCliTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_image;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_image = path(u"sample.smc"_s);
        QVERIFY(SampleImage::write(m_image));
    }

    void usageErrors_exitTwoWithAMessage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("export without image") << QStringList{u"export"_s} << u"IMAGE"_s;
        QTest::newRow("export two images") << QStringList{u"export"_s, u"a"_s, u"b"_s} << u"一つ"_s;
        QTest::newRow("export unknown table")
            << QStringList{u"export"_s, u"x.smc"_s, u"-t"_s, u"heroes"_s} << u"heroes"_s;
        QTest::newRow("export unknown format") << QStringList{u"export"_s, u"x.smc"_s, u"-f"_s, u"xls"_s} << u"xls"_s;
        QTest::newRow("export unknown option") << QStringList{u"export"_s, u"x.smc"_s, u"--frob"_s} << u"frob"_s;
        QTest::newRow("import without files") << QStringList{u"import"_s, u"x.smc"_s, u"-o"_s, u"y.smc"_s} << u"FILE"_s;
        QTest::newRow("import without output") << QStringList{u"import"_s, u"x.smc"_s, u"a.tsv"_s} << u"--in-place"_s;
        QTest::newRow("import with both outputs")
            << QStringList{u"import"_s, u"x.smc"_s, u"a.tsv"_s, u"-o"_s, u"y.smc"_s, u"--in-place"_s}
            << u"--in-place"_s;
        QTest::newRow("diff with one image") << QStringList{u"diff"_s, u"x.smc"_s} << u"二つ"_s;
    }

    void usageErrors_exitTwoWithAMessage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = tavrin(arguments);
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains(u"--help"_s));
    }

    void help_eachSubcommandExplainsItself()
    {
        for (const QString& command : {u"export"_s, u"import"_s, u"diff"_s}) {
            const Run run = tavrin({command, u"--help"_s});
            QCOMPARE(run.code, 0);
            QVERIFY(run.out.startsWith(u"使い方: tavrin "_s + command));
            QVERIFY(run.err.isEmpty());
        }
    }

    void export_oneTableToStandardOutput()
    {
        const Run run = tavrin({u"export"_s, m_image, u"-t"_s, u"items"_s, u"-f"_s, u"csv"_s});
        QCOMPARE(run.code, 0);
        Document doc;
        doc.setUpGrids();
        QVERIFY(doc.open(m_image).isDone());
        QCOMPARE(run.out, TableExport::text(doc, TableId::Item, FileFormat::Csv));
    }

    void export_allTablesIntoAFolderThatIsMade()
    {
        const QString folder = path(u"made/tables"_s);
        const QByteArray before = readFileBytes(m_image);
        const Run run = tavrin({u"export"_s, m_image, u"-o"_s, folder});
        QCOMPARE(run.code, 0);
        for (const QString& name : {u"officers"_s, u"cities"_s, u"items"_s, u"forces"_s, u"placement"_s})
            QVERIFY(QFile::exists(QDir(folder).filePath(name + u".tsv"_s)));
        QCOMPARE(readFileBytes(m_image), before);
        // One table into an existing folder takes the table's own file name.
        QCOMPARE(tavrin({u"export"_s, m_image, u"-t"_s, u"forces"_s, u"-f"_s, u"csv"_s, u"-o"_s, folder}).code, 0);
        QVERIFY(readFileBytes(QDir(folder).filePath(u"forces.csv"_s)).startsWith("\xEF\xBB\xBFNo,"));
    }

    // Every target is checked before the first file is written, and a run that fails leaves
    // nothing behind: no table, and no folder it made.
    void export_failedRun_leavesNothing_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("cities.tsv is a folder") << u"folder"_s;
        QTest::newRow("forces.tsv is read-only") << u"read-only"_s;
        QTest::newRow("a new folder, and no room for officers.tsv") << u"full disk"_s;
        QTest::newRow("officers.tsv replaced, then items.tsv cannot take its place") << u"rename"_s;
    }

    void export_failedRun_leavesNothing()
    {
        QFETCH(QString, obstacle);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const QString root = path(tag);
        QVERIFY(QDir().mkpath(root));
        const QString folder = root + u"/tables"_s;
        if (obstacle == u"folder"_s)
            QVERIFY(QDir().mkpath(folder + u"/cities.tsv"_s));
        if (obstacle == u"rename"_s) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(writeFileBytes(folder + u"/officers.tsv"_s, "old officers"));
            QVERIFY(writeFileBytes(folder + u"/items.tsv"_s, "old items"));
            atomicfile::setCommitHook([](QSaveFile& output) {
                if (output.fileName().endsWith(u"items.tsv"_s))
                    output.cancelWriting();
            });
        }
        if (obstacle == u"read-only"_s) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(writeFileBytes(folder + u"/forces.tsv"_s, "old"));
            QVERIFY(QFile::setPermissions(folder + u"/forces.tsv"_s, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        }
        const DiskFingerprint before = DiskFingerprint::of(root);
        Run run;
        if (obstacle == u"full disk"_s) {
#ifdef Q_OS_UNIX
            const FileSizeLimit limit(4096);
            QVERIFY(limit.isActive());
            run = tavrin({u"export"_s, m_image, u"-o"_s, folder});
#else
            QSKIP("no file size limit to stand for a full disk here");
#endif
        } else {
            run = tavrin({u"export"_s, m_image, u"-o"_s, folder});
            atomicfile::setCommitHook(nullptr);
        }
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.startsWith(u"tavrin export: "_s), qUtf8Printable(run.err));
        QCOMPARE(DiskFingerprint::of(root).changedSince(before), QStringList());
    }

    void export_missingImageExitsTwo()
    {
        const Run run = tavrin({u"export"_s, path(u"nothing.smc"_s), u"-o"_s, path(u"none"_s)});
        QCOMPARE(run.code, 2);
        QVERIFY(run.err.contains(u"nothing.smc"_s));
        QVERIFY(!QFile::exists(path(u"none"_s)));
    }

    void importThenDiff_reportsTheChangedField()
    {
        const QString folder = path(u"edit"_s);
        QCOMPARE(tavrin({u"export"_s, m_image, u"-o"_s, folder}).code, 0);
        const QString officers = QDir(folder).filePath(u"officers.tsv"_s);
        QList<QByteArray> lines = readFileBytes(officers).split('\n');
        QList<QByteArray> cells = lines[13].split('\t');
        const QByteArray old = cells[3];
        cells[3] = "120";
        lines[13] = cells.join('\t');
        QVERIFY(writeFileBytes(officers, lines.join('\n')));

        const QString out = path(u"edited.smc"_s);
        const QByteArray before = readFileBytes(m_image);
        const Run imported = tavrin({u"import"_s, m_image, officers, u"-o"_s, out});
        QCOMPARE(imported.code, 0);
        QVERIFY(imported.err.contains(u"1 個のセルを書き込みました"_s));
        QCOMPARE(readFileBytes(m_image), before);

        const Run diff = tavrin({u"diff"_s, m_image, out});
        QCOMPARE(diff.code, 1);
        QCOMPARE(diff.out, u"officers 12 武力: %1 -> 120\n1 個の値が違います。\n"_s.arg(QString::fromUtf8(old)));
        const Run same = tavrin({u"diff"_s, m_image, m_image});
        QCOMPARE(same.code, 0);
        QCOMPARE(same.out, u"違いはありません。\n"_s);
    }

    void import_refusedCellsExitOneAndTheRestIsSaved()
    {
        const QString file = path(u"forces-refused.tsv"_s);
        QVERIFY(writeFileBytes(file, "No\t君主\t本拠\t？\n3\tabc\t9\t9\n"));
        const QString out = path(u"refused.smc"_s);
        const Run run = tavrin({u"import"_s, m_image, file, u"-o"_s, out});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(u"君主"_s) && run.err.contains(u"「abc」"_s), qPrintable(run.err));
        const QByteArray saved = readFileBytes(out);
        QCOMPARE(quint8(saved[blockSpec(BlockId::Force).position + 25 * 3 + 2]), quint8(9));
    }

    void import_badFileWritesNothing()
    {
        const QString good = path(u"forces-good.tsv"_s);
        const QString bad = path(u"forces-bad.tsv"_s);
        QVERIFY(writeFileBytes(good, "No\t君主\t本拠\t？\n3\t1\t9\t9\n"));
        QVERIFY(writeFileBytes(bad, "No\t君主\t本拠\t？\n3\t1\t9\n"));
        const QString out = path(u"never.smc"_s);
        const QByteArray before = readFileBytes(m_image);
        const Run run = tavrin({u"import"_s, m_image, good, bad, u"-o"_s, out});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(u"forces-bad.tsv: 2 行目"_s), qPrintable(run.err));
        QVERIFY(!QFile::exists(out));
        const Run inPlace = tavrin({u"import"_s, m_image, good, bad, u"--in-place"_s});
        QCOMPARE(inPlace.code, 2);
        QCOMPARE(readFileBytes(m_image), before);
    }

    void import_outputNamingTheImageIsRefused()
    {
        const QString file = path(u"forces-same.tsv"_s);
        QVERIFY(writeFileBytes(file, "No\t君主\t本拠\t？\n3\t1\t9\t9\n"));
        const QByteArray before = readFileBytes(m_image);
        const QString sameByOtherName = m_dir.path() + u"/./sample.smc"_s;
        const Run run = tavrin({u"import"_s, m_image, file, u"-o"_s, sameByOtherName});
        QCOMPARE(run.code, 2);
        QVERIFY(run.err.contains(u"--in-place"_s));
        QCOMPARE(readFileBytes(m_image), before);
    }

    void import_inPlaceWritesTheImage()
    {
        const QString image = path(u"inplace.smc"_s);
        QVERIFY(SampleImage::write(image));
        const QString file = path(u"forces-inplace.tsv"_s);
        QVERIFY(writeFileBytes(file, "No\t君主\t本拠\t？\n3\t1\t9\t9\n"));
        QCOMPARE(tavrin({u"import"_s, image, file, u"--in-place"_s}).code, 0);
        const QByteArray saved = readFileBytes(image);
        const qsizetype record = blockSpec(BlockId::Force).position + 25 * 3;
        QCOMPARE(saved.mid(record, 4), QByteArray("\x01\x00\x09\x09", 4));
    }

    void executable_runsWithoutADisplay()
    {
        const QString other = path(u"other.smc"_s);
        QVERIFY(writeFileBytes(other, sampleWithWarRaised(12)));
        QProcess process;
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(builtFile(TAVRIN_CLI), {u"diff"_s, m_image, other});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.startsWith(u"officers 12 武力: "_s), qPrintable(out));
        QVERIFY(out.endsWith(u"1 個の値が違います。\n"_s));
    }

    // Output that could not be written is a failure, whatever the command made of its job.
    void executable_outputNotWritten_exitsTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("export --text") << QStringList{u"export"_s, u"IMAGE"_s, u"--text"_s};
        QTest::newRow("export -t officers") << QStringList{u"export"_s, u"IMAGE"_s, u"-t"_s, u"officers"_s};
        QTest::newRow("info") << QStringList{u"info"_s, u"IMAGE"_s};
        QTest::newRow("diff, the same") << QStringList{u"diff"_s, u"IMAGE"_s, u"IMAGE"_s};
        QTest::newRow("diff, different") << QStringList{u"diff"_s, u"IMAGE"_s, u"OTHER"_s};
    }

    void executable_outputNotWritten_exitsTwo()
    {
#ifndef Q_OS_LINUX
        QSKIP("no /dev/full here to stand for output that cannot be written");
#endif
        QFETCH(QStringList, arguments);
        const QString other = path(u"other-war.smc"_s);
        QVERIFY(writeFileBytes(other, sampleWithWarRaised(3)));
        arguments.replaceInStrings(u"IMAGE"_s, m_image).replaceInStrings(u"OTHER"_s, other);
        QProcess process;
        process.setStandardOutputFile(u"/dev/full"_s);
        process.start(builtFile(TAVRIN_CLI), arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(err.contains(u"標準出力に書き込めませんでした"_s), qUtf8Printable(err));
    }

    void executable_speaksJapaneseInQtsTextsToo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("shown"); // on either stream
        QTest::addColumn<QStringList>("notShown");
        QTest::newRow("export --help") << QStringList{u"export"_s, u"--help"_s} << 0
                                       << QStringList{u"オプション:"_s, u"引数:"_s, u"IMAGE"_s}
                                       << QStringList{u"Options:"_s, u"Arguments:"_s, u"Usage:"_s};
        QTest::newRow("import --help") << QStringList{u"import"_s, u"--help"_s} << 0
                                       << QStringList{u"オプション:"_s, u"引数:"_s}
                                       << QStringList{u"Options:"_s, u"Arguments:"_s};
        QTest::newRow("unknown option") << QStringList{u"export"_s, u"--bogus"_s} << 2
                                        << QStringList{u"は未知のオプションです"_s} << QStringList{u"Unknown option"_s};
    }

    // Whatever the user's language: the program is Japanese.
    void executable_speaksJapaneseInQtsTextsToo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, notShown);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LANG"_s, u"C.UTF-8"_s);
        environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        process.setProcessEnvironment(environment);
        process.start(builtFile(TAVRIN_CLI), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), code);
        const QString text =
            QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError());
        for (const QString& part : shown)
            QVERIFY2(text.contains(part), qPrintable(part + u" missing from:\n"_s + text));
        for (const QString& part : notShown)
            QVERIFY2(!text.contains(part), qPrintable(part + u" found in:\n"_s + text));
        // The parser's own usage line, which names the binary, is left out for the synopsis.
        QVERIFY2(text.count(u"使い方:"_s) <= 1, qPrintable(text));
    }
};

TAVRIN_TEST(ExchangeCliTest)
#include "exchangeclitest.moc"
