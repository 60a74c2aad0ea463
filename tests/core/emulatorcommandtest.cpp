#include "emulatorcommand.h"
#include "testregistry.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The emulator's command as the settings and TAVRIN_EMULATOR give it: words grouped by quotes, and
// the image's path always one whole argument.
class EmulatorCommandTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "P" in `expected` stands for the image's path in the system's form.
    void argumentsFor_keepThePathOneArgument_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QStringList>("expected");
        const QString spaced = u"/tmp/テスト プレイ/三国 志.smc"_s;
        QTest::newRow("the default") << EmulatorCommand::defaultArguments() << spaced << QStringList{u"P"_s};
        QTest::newRow("quoted %1") << u"\"%1\""_s << spaced << QStringList{u"P"_s};
        QTest::newRow("inside a word") << u"--rom=%1"_s << spaced << QStringList{u"--rom=P"_s};
        QTest::newRow("twice") << u"%1 -b %1"_s << spaced << QStringList{u"P"_s, u"-b"_s, u"P"_s};
        QTest::newRow("words grouped by quotes")
            << u"-a  \"b  c\" %1"_s << spaced << QStringList{u"-a"_s, u"b  c"_s, u"P"_s};
        QTest::newRow("three quotes for one") << u"\"\"\"x\"\"\" %1"_s << spaced << QStringList{u"\"x\""_s, u"P"_s};
        QTest::newRow("without %1 the path comes last")
            << u"-fs 1"_s << spaced << QStringList{u"-fs"_s, u"1"_s, u"P"_s};
        QTest::newRow("nothing but the path") << QString() << spaced << QStringList{u"P"_s};
        QTest::newRow("a path holding %1 is not read again") << u"%1"_s << u"/tmp/%1 %2.smc"_s << QStringList{u"P"_s};
    }

    void argumentsFor_keepThePathOneArgument()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, image);
        QFETCH(QStringList, expected);
        for (QString& word : expected)
            word.replace(u"P"_s, QDir::toNativeSeparators(image));
        QCOMPARE(EmulatorCommand(u"/usr/games/emu"_s, arguments).argumentsFor(image), expected);
    }

    void programAndWords_data()
    {
        QTest::addColumn<bool>("wholeLine");
        QTest::addColumn<QString>("text"); // the whole line, or the program box of the settings
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        const QStringList path{u"I"_s};
        QTest::newRow("line: a bare name") << true << u"mednafen"_s << u"mednafen"_s << path;
        QTest::newRow("line: quoted program with spaces and words")
            << true << u"\"/opt/エミュ レーター/emu\" -a \"b c\" %1"_s << u"/opt/エミュ レーター/emu"_s
            << QStringList{u"-a"_s, u"b c"_s, u"I"_s};
        QTest::newRow("line: blank") << true << u"   "_s << QString() << path;
        QTest::newRow("settings: a path with spaces as typed")
            << false << u" /opt/my emu/emu "_s << u"/opt/my emu/emu"_s << path;
        QTest::newRow("settings: a path in quotes, as Windows copies it")
            << false << u"\"C:/Program Files/emu.exe\""_s << u"C:/Program Files/emu.exe"_s << path;
        QTest::newRow("settings: empty") << false << QString() << QString() << path;
    }

    void programAndWords()
    {
        QFETCH(bool, wholeLine);
        QFETCH(QString, text);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const EmulatorCommand command = wholeLine ? EmulatorCommand::fromCommandLine(text)
                                                  : EmulatorCommand(text, EmulatorCommand::defaultArguments());
        QCOMPARE(command.isEmpty(), program.isEmpty());
        QCOMPARE(command.program(), QDir::toNativeSeparators(program));
        QCOMPARE(command.argumentsFor(u"I"_s), arguments);
    }
};

TAVRIN_TEST(EmulatorCommandTest)
#include "emulatorcommandtest.moc"
