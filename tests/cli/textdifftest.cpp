#include "builtfile.h"
#include "clirun.h"
#include "filebytes.h"
#include "officerwar.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// City record 0's population (300), with the copier header.
constexpr qint64 Population = 0xAC07F + 2;

} // namespace

// `tavrin export --text` as one stable text of the five tables, and as a git textconv driver in a
// real repository; and the sample generator's answers to options.
class TextDiffTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Runs git in the repository with no system or user configuration, so the machine's own settings
    // neither leak in nor get touched.
    QString git(const QStringList& arguments, int* code = nullptr)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_dir->path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_dir->path());
        environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path(u"repo"_s));
        process.start(u"git"_s, arguments);
        if (!process.waitForFinished(30000))
            return {};
        if (code)
            *code = process.exitCode();
        return QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError());
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void exportText_namesEveryTableAndEachField()
    {
        QByteArray image = SampleImage::generate();
        QVERIFY(writeFileBytes(path(u"a.smc"_s), image));
        image[WarByteOfRecord0] = char(95);
        QVERIFY(writeFileBytes(path(u"b.smc"_s), image));
        const CliRun a = CliRun::of({u"export"_s, u"--text"_s, path(u"a.smc"_s)});
        const CliRun b = CliRun::of({u"export"_s, path(u"b.smc"_s), u"--text"_s});
        QVERIFY2(a.code == 0 && b.code == 0, qUtf8Printable(a.err + b.err));
        QCOMPARE(CliRun::of({u"export"_s, u"--text"_s, path(u"a.smc"_s)}).out, a.out);
        const QStringList lines = a.out.split(u'\n');
        qsizetype at = -1;
        for (const QString& table : {u"[officers]"_s, u"[cities]"_s, u"[items]"_s, u"[forces]"_s, u"[placement]"_s}) {
            const qsizetype next = lines.indexOf(table);
            QVERIFY2(next > at, qUtf8Printable(table));
            at = next;
        }
        // 532 officers after the name line; one line each.
        QCOMPARE(lines.indexOf(u"[cities]"_s), 1 + 532 + 1);
        // Exactly one line differs, and it names the field with its value.
        const QStringList other = b.out.split(u'\n');
        QCOMPARE(other.size(), lines.size());
        QStringList changed;
        for (qsizetype k = 0; k < lines.size(); ++k)
            if (lines.at(k) != other.at(k))
                changed << lines.at(k) << other.at(k);
        QCOMPARE(changed.size(), 2);
        QVERIFY(changed.at(0).startsWith(u"No=0\t"_s) && changed.at(0).contains(u"\t武力=85\t"_s));
        QVERIFY(changed.at(1).contains(u"\t武力=95\t"_s));
    }

    // The text depends on the image's bytes alone: a list lying beside the image adds no names; the
    // list named by --names does, wherever the image lies.
    void exportText_namesOnlyFromTheListNamed_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("named");
        QTest::newRow("a list beside the image") << QStringList() << 0 << false;
        QTest::newRow("--names") << QStringList{u"--names"_s, u"LIST"_s} << 0 << true;
        QTest::newRow("--names, no such file") << QStringList{u"--names"_s, u"gone.txt"_s} << 2 << false;
    }

    void exportText_namesOnlyFromTheListNamed()
    {
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(bool, named);
        QVERIFY(QDir(m_dir->path()).mkpath(u"roms"_s));
        QVERIFY(writeFileBytes(path(u"roms/a.smc"_s), SampleImage::generate()));
        QVERIFY(writeFileBytes(path(u"roms/b.txt"_s), "Alpha\r\nBeta\r\n"));
        QVERIFY(writeFileBytes(path(u"elsewhere.smc"_s), SampleImage::generate()));
        options.replaceInStrings(u"LIST"_s, path(u"roms/b.txt"_s)).replaceInStrings(u"gone.txt"_s, path(u"gone.txt"_s));
        const CliRun beside = CliRun::of(QStringList{u"export"_s, u"--text"_s, path(u"roms/a.smc"_s)} + options);
        QVERIFY2(beside.code == code, qUtf8Printable(beside.err));
        if (code != 0) {
            QVERIFY2(beside.err.contains(QDir::toNativeSeparators(path(u"gone.txt"_s))), qUtf8Printable(beside.err));
            QVERIFY(beside.out.isEmpty());
            return;
        }
        const CliRun alone = CliRun::of(QStringList{u"export"_s, u"--text"_s, path(u"elsewhere.smc"_s)} + options);
        QCOMPARE(alone.out, beside.out);
        const QStringList lines = beside.out.split(u'\n');
        const QStringList placement = lines.mid(lines.indexOf(u"[placement]"_s));
        QVERIFY(placement.value(1).startsWith(u"No=0\t名前="_s));
        QCOMPARE(placement.value(1).startsWith(u"No=0\t名前=Alpha\t"_s), named);
        QCOMPARE(placement.value(2).startsWith(u"No=1\t名前=Beta\t"_s), named);
    }

    void exportText_refusesTheOptionsOfFiles_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("with -t") << QStringList{u"-t"_s, u"officers"_s};
        QTest::newRow("with -f") << QStringList{u"-f"_s, u"csv"_s};
        QTest::newRow("with -o") << QStringList{u"-o"_s, u"x"_s};
    }

    void exportText_refusesTheOptionsOfFiles()
    {
        QFETCH(QStringList, options);
        QVERIFY(writeFileBytes(path(u"a.smc"_s), SampleImage::generate()));
        const CliRun run = CliRun::of(QStringList{u"export"_s, u"--text"_s, path(u"a.smc"_s)} + options);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(u"--text"_s), qUtf8Printable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void gitDiff_withTheDriver_showsTheChangedFields_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("listBeside");
        QTest::newRow("an image alone") << u"game.smc"_s << false;
        // git hands the old side to the driver as a temporary file, with no list beside it.
        QTest::newRow("in a folder with a name list") << u"roms/game.smc"_s << true;
    }

    void gitDiff_withTheDriver_showsTheChangedFields()
    {
        QFETCH(QString, image);
        QFETCH(bool, listBeside);
        if (QStandardPaths::findExecutable(u"git"_s).isEmpty()) {
#ifdef Q_OS_WIN
            QSKIP("no git for Windows on the PATH (the Wine prefix has none)");
#else
            QSKIP("git is not installed: scripts/deps.sh installs it");
#endif
        }
        QVERIFY(QDir(m_dir->path()).mkdir(u"repo"_s));
        int code = -1;
        const QString init = git({u"init"_s, u"-q"_s}, &code);
        QVERIFY2(code == 0, qUtf8Printable(init));
        for (const QStringList& setting :
             {QStringList{u"user.name"_s, u"Test"_s}, QStringList{u"user.email"_s, u"test@example.invalid"_s},
              QStringList{u"diff.tavrin.textconv"_s, builtFile(TAVRIN_CLI) + u" export --text"_s},
              QStringList{u"diff.tavrin.cachetextconv"_s, u"true"_s}}) {
            git(QStringList{u"config"_s} + setting, &code);
            QCOMPARE(code, 0);
        }
        QVERIFY(writeFileBytes(path(u"repo/.gitattributes"_s), "*.smc diff=tavrin\n*.sfc diff=tavrin\n"));
        const QString imagePath = path(u"repo/"_s + image);
        QVERIFY(QDir().mkpath(QFileInfo(imagePath).path()));
        if (listBeside)
            QVERIFY(writeFileBytes(QFileInfo(imagePath).dir().filePath(u"b.txt"_s), "Alpha\r\nBeta\r\n"));
        QByteArray bytes = SampleImage::generate();
        QVERIFY(writeFileBytes(imagePath, bytes));
        git({u"add"_s, u"."_s}, &code);
        QCOMPARE(code, 0);
        const QString first = git({u"commit"_s, u"-q"_s, u"-m"_s, u"original"_s}, &code);
        QVERIFY2(code == 0, qUtf8Printable(first));
        bytes[WarByteOfRecord0] = char(95);
        bytes[Population] = char(0x2D); // 300 becomes 301
        QVERIFY(writeFileBytes(imagePath, bytes));

        // The edit in the working tree, then committed.
        for (const QStringList& range : {QStringList(), QStringList{u"HEAD~1"_s, u"HEAD"_s}}) {
            if (!range.isEmpty()) {
                const QString second = git({u"commit"_s, u"-q"_s, u"-am"_s, u"edit"_s}, &code);
                QVERIFY2(code == 0, qUtf8Printable(second));
            }
            const QString diff = git(QStringList{u"diff"_s, u"--no-color"_s} + range, &code);
            QVERIFY2(code == 0, qUtf8Printable(diff));
            QVERIFY2(!diff.contains(u"Binary files"_s), qUtf8Printable(diff));
            const QStringList lines = diff.split(u'\n');
            const auto has = [&](const QString& start, const QString& part) {
                return std::any_of(lines.cbegin(), lines.cend(),
                                   [&](const QString& line) { return line.startsWith(start) && line.contains(part); });
            };
            QVERIFY2(has(u"-No=0\t"_s, u"\t武力=85\t"_s) && has(u"+No=0\t"_s, u"\t武力=95\t"_s), qUtf8Printable(diff));
            QVERIFY2(has(u"-"_s, u"人口*10000=300"_s) && has(u"+"_s, u"人口*10000=301"_s), qUtf8Printable(diff));
            // Two records changed: two lines out, two in, and the hunk names its table above them.
            QVERIFY2(lines.filter(QRegularExpression(u"^[-+][^-+]"_s)).size() == 4, qUtf8Printable(diff));
        }
    }

    // git as the users run it: the merge driver combines two branches' edits of one image field
    // by field; two different edits of one field stop the merge with OURS's value in the file.
    void gitMerge_withTheDriver_mergesFieldsAndStopsOnAConflict()
    {
        if (QStandardPaths::findExecutable(u"git"_s).isEmpty())
            QSKIP("git is not installed: scripts/deps.sh installs it");
        QVERIFY(QDir(m_dir->path()).mkdir(u"repo"_s));
        int code = -1;
        git({u"init"_s, u"-q"_s}, &code);
        QCOMPARE(code, 0);
        const QString tavrin = builtFile(TAVRIN_CLI);
        for (const QStringList& setting :
             {QStringList{u"user.name"_s, u"Test"_s}, QStringList{u"user.email"_s, u"test@example.invalid"_s},
              QStringList{u"diff.tavrin.textconv"_s, tavrin + u" export --text"_s},
              QStringList{u"merge.tavrin.name"_s, u"tavrin field merge"_s},
              QStringList{u"merge.tavrin.driver"_s, tavrin + u" merge %O %A %B --in-place"_s}}) {
            git(QStringList{u"config"_s} + setting, &code);
            QCOMPARE(code, 0);
        }
        QVERIFY(writeFileBytes(path(u"repo/.gitattributes"_s), "*.smc diff=tavrin merge=tavrin\n"));
        const QByteArray original = SampleImage::generate();
        const QString image = path(u"repo/game.smc"_s);
        // Commits on a new branch from `from` the sample with officers' 武力 set as given.
        const auto commit = [&](const QString& branch, const QString& from, const QList<std::pair<int, int>>& wars) {
            int step = -1;
            git({u"checkout"_s, u"-q"_s, u"-b"_s, branch, from}, &step);
            QByteArray bytes = original;
            for (const auto& [officer, war] : wars)
                bytes[WarByteOfRecord0 + 30 * officer] = char(war);
            return step == 0 && writeFileBytes(image, bytes) &&
                   git({u"commit"_s, u"-qam"_s, branch}, &step).isEmpty() && step == 0;
        };
        QVERIFY(writeFileBytes(image, original));
        git({u"add"_s, u"."_s}, &code);
        git({u"commit"_s, u"-qm"_s, u"original"_s}, &code);
        QCOMPARE(code, 0);
        QVERIFY(commit(u"ours"_s, u"HEAD"_s, {{1, 11}, {3, 33}}));
        QVERIFY(commit(u"theirs"_s, u"HEAD~1"_s, {{2, 22}, {3, 33}}));
        QVERIFY(commit(u"other"_s, u"HEAD~1"_s, {{1, 99}}));
        git({u"checkout"_s, u"-q"_s, u"ours"_s}, &code);
        const QString clean = git({u"merge"_s, u"-q"_s, u"--no-edit"_s, u"theirs"_s}, &code);
        QVERIFY2(code == 0, qUtf8Printable(clean));
        QByteArray merged = readFileBytes(image);
        for (const auto& [officer, war] : {std::pair{1, 11}, {2, 22}, {3, 33}})
            QCOMPARE(int(merged[WarByteOfRecord0 + 30 * officer]), war);

        const QString stopped = git({u"merge"_s, u"--no-edit"_s, u"other"_s}, &code);
        QVERIFY2(code != 0 && stopped.contains(u"CONFLICT"_s), qUtf8Printable(stopped));
        QVERIFY2(stopped.contains(u"武将 1 武力: 元 "_s + QString::number(int(original[WarByteOfRecord0 + 30])) +
                                  u" / こちら 11 / あちら 99"_s),
                 qUtf8Printable(stopped));
        merged = readFileBytes(image);
        QCOMPARE(int(merged[WarByteOfRecord0 + 30]), 11);
        QCOMPARE(int(merged[WarByteOfRecord0 + 60]), 22);
        const QString diff = git({u"diff"_s, u"--no-color"_s, u"other"_s, u"--"_s, u"game.smc"_s}, &code);
        QVERIFY2(diff.contains(u"-No=1\t"_s) && diff.contains(u"\t武力=99\t"_s) && diff.contains(u"\t武力=11\t"_s),
                 qUtf8Printable(diff));
    }

    void sampleGenerator_answersOrRefusesOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("written"); // the file the run must write; empty: none at all
        QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << QString();
        QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << QString();
        QTest::newRow("unknown option") << QStringList{u"--frob"_s} << 2 << QString();
        QTest::newRow("two paths") << QStringList{u"a.smc"_s, u"b.smc"_s} << 2 << QString();
        QTest::newRow("nothing") << QStringList() << 2 << QString();
        QTest::newRow("a path") << QStringList{u"a.smc"_s} << 0 << u"a.smc"_s;
        QTest::newRow("a name like an option after --") << QStringList{u"--"_s, u"-odd.smc"_s} << 0 << u"-odd.smc"_s;
    }

    void sampleGenerator_answersOrRefusesOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, written);
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(builtFile(TAVRIN_SAMPLE), arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), code);
        const QString output = QString::fromUtf8(code == 0 ? process.readAllStandardOutput() : process.readAllStandardError());
        QStringList files = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        if (written.isEmpty()) {
            QVERIFY2(output.contains(u"usage: tavrin-sample"_s), qUtf8Printable(output));
            QCOMPARE(files, QStringList());
        } else {
            QCOMPARE(files, QStringList{written});
            QCOMPARE(readFileBytes(path(written)), SampleImage::generate());
        }
    }
};

TAVRIN_TEST(TextDiffTest)
#include "textdifftest.moc"
