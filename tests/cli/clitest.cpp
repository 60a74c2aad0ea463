#include "subcommand.h"
#include "testregistry.h"

#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

// The dispatcher: help, version, and what happens with no or an unknown subcommand.
class CliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dispatch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("writesOut");
        QTest::addColumn<bool>("writesErr");
        QTest::newRow("help") << QStringList{u"tavrin"_s, u"--help"_s} << 0 << true << false;
        QTest::newRow("version") << QStringList{u"tavrin"_s, u"--version"_s} << 0 << true << false;
        QTest::newRow("nothing") << QStringList{u"tavrin"_s} << 2 << false << true;
        QTest::newRow("unknown") << QStringList{u"tavrin"_s, u"frobnicate"_s} << 2 << false << true;
    }

    void dispatch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, writesOut);
        QFETCH(bool, writesErr);
        QString outText;
        QString errText;
        QTextStream out(&outText);
        QTextStream err(&errText);
        QCOMPARE(cli::runCommandLine(arguments, out, err), exitCode);
        out.flush();
        err.flush();
        QCOMPARE(!outText.isEmpty(), writesOut);
        QCOMPARE(!errText.isEmpty(), writesErr);
    }

    void unknownSubcommand_isNamedInTheMessage()
    {
        QString outText;
        QString errText;
        QTextStream out(&outText);
        QTextStream err(&errText);
        cli::runCommandLine({u"tavrin"_s, u"frobnicate"_s}, out, err);
        err.flush();
        QVERIFY(errText.contains(u"frobnicate"_s));
    }
};

TAVRIN_TEST(CliTest)
#include "clitest.moc"
