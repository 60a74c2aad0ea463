#include "commandline.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitWindowsCommandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("quoted, one space") << u"\"C:\\Tavrin\\tavrin.exe\" \"C:\\My Roms\\game.smc\""_s
                                           << QStringList{u"C:\\Tavrin\\tavrin.exe"_s, u"C:\\My Roms\\game.smc"_s};
        QTest::newRow("quoted, two spaces")
            << u"\"C:\\tavrin.exe\"  \"C:\\a b.smc\""_s << QStringList{u"C:\\tavrin.exe"_s, u"C:\\a b.smc"_s};
        QTest::newRow("two files, first is piece 1")
            << u"\"C:\\tavrin.exe\" \"C:\\a.smc\" \"C:\\b.smc\""_s
            << QStringList{u"C:\\tavrin.exe"_s, u"C:\\a.smc"_s, u"C:\\b.smc"_s};
        QTest::newRow("unquoted") << u"C:\\tavrin.exe C:\\a.smc"_s << QStringList{u"C:\\tavrin.exe"_s, u"C:\\a.smc"_s};
        QTest::newRow("unquoted keeps empty pieces")
            << u"C:\\tavrin.exe  C:\\a.smc"_s << QStringList{u"C:\\tavrin.exe"_s, QString(), u"C:\\a.smc"_s};
        QTest::newRow("quoted program, unquoted file")
            << u"\"C:\\tavrin.exe\" a.smc"_s << QStringList{u"C:\\tavrin.exe\" a.sm"_s};
        QTest::newRow("quoted program alone") << u"\"C:\\tavrin.exe\""_s << QStringList{u"C:\\tavrin.exe"_s};
        QTest::newRow("lone quote") << u"\""_s << QStringList{QString()};
    }

    void splitWindowsCommandLine()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, pieces);
        QCOMPARE(commandline::SplitWindowsCommandLine(line), pieces);
    }

    void imagePath_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::newRow("no arguments") << QStringList{u"tavrin-editor"_s} << QString();
        QTest::newRow("nothing at all") << QStringList{} << QString();
        QTest::newRow("image with spaces")
            << QStringList{u"tavrin-editor"_s, u"/roms/my game.smc"_s} << u"/roms/my game.smc"_s;
        QTest::newRow("first of two") << QStringList{u"tavrin-editor"_s, u"a.smc"_s, u"b.smc"_s} << u"a.smc"_s;
    }

    // The process's own command line on Windows: %1 names an image that exists, %2 one with a space in
    // its name, %3 a file that does not exist.
    void imagePathFromCommandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        const QString exe = u"C:\\Tavrin\\tavrin-editor.exe"_s;
        QTest::newRow("launcher: quoted program, unquoted file")
            << u"\"%0\" %1"_s << QStringList{exe, u"%1"_s} << u"%1"_s;
        QTest::newRow("unquoted program, quoted file with a space")
            << u"%0 \"%2\""_s << QStringList{exe, u"%2"_s} << u"%2"_s;
        QTest::newRow("both quoted") << u"\"%0\" \"%2\""_s << QStringList{exe, u"%2"_s} << u"%2"_s;
        QTest::newRow("the split's file wins over Qt's reading")
            << u"\"%0\"  \"%1\""_s << QStringList{exe, u"%2"_s} << u"%1"_s;
        QTest::newRow("no file anywhere: the split's piece as before")
            << u"\"%0\" \"%3\""_s << QStringList{exe, u"%3"_s} << u"%3"_s;
        QTest::newRow("program alone") << u"\"%0\""_s << QStringList{exe} << QString();
    }

    void imagePathFromCommandLine()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList names{u"C:\\Tavrin\\tavrin-editor.exe"_s, dir.filePath(u"game.smc"_s),
                                dir.filePath(u"my game.smc"_s), dir.filePath(u"missing.smc"_s)};
        for (const int i : {1, 2}) {
            QFile file(names[i]);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const auto fill = [&names](QString text) {
            for (qsizetype i = 0; i < names.size(); ++i)
                text.replace(u'%' + QString::number(i), names[i]);
            return text;
        };
        for (QString& argument : arguments)
            argument = fill(argument);
        QCOMPARE(commandline::ImagePathFromCommandLine(fill(line), arguments), fill(path));
    }

    void imagePath()
    {
        // Arguments handed in by a caller count on every platform; Windows reads the process's own
        // command line only when the arguments are the process's.
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QCOMPARE(commandline::ImagePath(arguments), path);
    }
};

TAVRIN_TEST(CommandLineTest)
#include "commandlinetest.moc"
