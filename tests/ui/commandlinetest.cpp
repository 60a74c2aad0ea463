#include "commandline.h"
#include "testregistry.h"

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
