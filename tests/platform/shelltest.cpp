#include "shell.h"
#include "testregistry.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Stands in for the desktop: records what it was asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class ShellTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void directoryOfPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("directory");
        QTest::newRow("windows file") << u"C:\\a\\b.txt"_s << u"C:\\a"_s;
        QTest::newRow("bare name") << u"b.txt"_s << QString();
        QTest::newRow("trailing backslash") << u"C:\\a\\"_s << u"C:\\a"_s;
        QTest::newRow("drive root file") << u"C:\\b.txt"_s << u"C:"_s;
        QTest::newRow("slash path") << u"/usr/share/doc/ReadMe.txt"_s << u"/usr/share/doc"_s;
        QTest::newRow("mixed, last wins") << u"C:/x\\y/z.txt"_s << u"C:/x\\y"_s;
        QTest::newRow("file at root") << u"/ReadMe.txt"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void directoryOfPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, directory);
        QCOMPARE(Shell::DirectoryOfPath(path), directory);
    }

    void shellOpen_routesFilesAndAddresses()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_s, &recorder, "open");
        QDesktopServices::setUrlHandler(u"https"_s, &recorder, "open");
        QVERIFY(Shell::ShellOpen(u"/opt/tavrin/ReadMe.txt"_s));
        QVERIFY(Shell::ShellOpen(u"https://example.com/tavrin/"_s));
        QVERIFY(!Shell::ShellOpen(QString()));
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
        QCOMPARE(recorder.opened.size(), 2);
        QCOMPARE(recorder.opened.at(0), QUrl::fromLocalFile(u"/opt/tavrin/ReadMe.txt"_s));
        QCOMPARE(recorder.opened.at(1), QUrl(u"https://example.com/tavrin/"_s));
    }
};

TAVRIN_TEST(ShellTest)
#include "shelltest.moc"
