#include "../platform/modalcloser.h"
#include "builtfile.h"
#include "frmmain.h"
#include "helpmenu.h"
#include "testregistry.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Stands in for the desktop: records what it was asked to open.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    OpenedUrls()
    {
        QDesktopServices::setUrlHandler(u"file"_s, this, "open");
        QDesktopServices::setUrlHandler(u"https"_s, this, "open");
    }
    ~OpenedUrls() override
    {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
    }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

namespace {

// Opens the Help menu as the user does, so that its about-to-show handler runs, and closes it.
bool readMeEnabledWhenMenuOpens(frmMain& window)
{
    window.helpMenu()->popup(QPoint(0, 0));
    const bool enabled = window.helpItem(0)->isEnabled();
    window.helpMenu()->hide();
    return enabled;
}

bool touch(const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

class HelpMenuTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void items_captionsAndVisibility_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("visible");
        QTest::newRow("0") << 0 << u"ReadMeを開く(&R)..."_s << true;
        QTest::newRow("1") << 1 << u"作者のHPへ(&H)"_s << true;
        QTest::newRow("2") << 2 << u"バージョン情報(&V)..."_s << true;
        QTest::newRow("98") << 98 << u"-"_s << false;
        QTest::newRow("99") << 99 << u"自動更新(&U)..."_s << false;
    }

    void items_captionsAndVisibility()
    {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(bool, visible);
        frmMain window({u"tavrin-editor"_s});
        QAction* item = window.helpItem(index);
        QVERIFY(item);
        QCOMPARE(item->text(), caption == u"-"_s ? QString() : caption);
        QCOMPARE(item->isSeparator(), caption == u"-"_s);
        QCOMPARE(item->isVisible(), visible);
        QCOMPARE(window.helpMenu()->title(), u"ヘルプ(&H)"_s);
    }

    void readMeItem_enabledOnlyWhileReadMeExists()
    {
        QTemporaryDir dir;
        frmMain window({u"tavrin-editor"_s});
        window.help().setApplicationDir(dir.path());
        QVERIFY(!readMeEnabledWhenMenuOpens(window));
        QVERIFY(!readMeEnabledWhenMenuOpens(window));
        QFile readMe(dir.filePath(u"ReadMe.txt"_s));
        QVERIFY(readMe.open(QIODevice::WriteOnly));
        readMe.close();
        QVERIFY(readMeEnabledWhenMenuOpens(window));
        QVERIFY(readMe.remove());
        QVERIFY(!readMeEnabledWhenMenuOpens(window));
    }

    void readMeItem_opensTheFileOnlyWhileItExists()
    {
        QTemporaryDir dir;
        frmMain window({u"tavrin-editor"_s});
        window.help().setApplicationDir(dir.path());
        OpenedUrls opened;
        window.help().HelpItemClicked(0);
        QVERIFY(opened.urls.isEmpty());
        QFile readMe(dir.filePath(u"ReadMe.txt"_s));
        QVERIFY(readMe.open(QIODevice::WriteOnly));
        readMe.close();
        window.helpItem(0)->trigger();
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(u"ReadMe.txt"_s))});
    }

    void readMe_isLookedForBesideTheExecutable()
    {
        frmMain window({u"tavrin-editor"_s});
        QCOMPARE(window.help().readMePath(), QCoreApplication::applicationDirPath() + u"/ReadMe.txt"_s);
    }

    // An installed tree: the programs' folder and the data folder as the install rules lay them out.
    void readMe_foundBesideOrInTheInstalledDataFolder_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside only") << true << false << u"beside"_s;
        QTest::newRow("installed only") << false << true << u"installed"_s;
        QTest::newRow("both: beside wins") << true << true << u"beside"_s;
        QTest::newRow("neither") << false << false << QString();
    }

    void readMe_foundBesideOrInTheInstalledDataFolder()
    {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral(TAVRIN_INSTALL_BINDIR));
        QVERIFY(QDir().mkpath(bin));
        const QString besidePath = bin + u"/ReadMe.txt"_s;
        const QString installedPath = prefix.filePath(QStringLiteral(TAVRIN_INSTALL_DATADIR) + u"/ReadMe.txt"_s);
        if (beside)
            QVERIFY(touch(besidePath));
        if (installed)
            QVERIFY(touch(installedPath));

        frmMain window({u"tavrin-editor"_s});
        window.help().setApplicationDir(bin);
        OpenedUrls opened;
        QCOMPARE(readMeEnabledWhenMenuOpens(window), !expected.isEmpty());
        window.help().HelpItemClicked(0);
        if (expected.isEmpty()) {
            QVERIFY(opened.urls.isEmpty());
            return;
        }
        const QString path = expected == u"beside"_s ? besidePath : installedPath;
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    }

    // The build puts the guide beside the editor, so running from the build tree finds it; the guide
    // is UTF-8 throughout and in Japanese.
    void readMe_besideTheBuiltEditor()
    {
#ifndef TAVRIN_EDITOR_DIR
        QSKIP("this build has no editor");
#else
        frmMain window({u"tavrin-editor"_s});
        window.help().setApplicationDir(builtFile(TAVRIN_EDITOR_DIR));
        QVERIFY(readMeEnabledWhenMenuOpens(window));
        QFile file(window.help().readMePath());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(file.readAll());
        QVERIFY(!utf8.hasError());
        QVERIFY(text.startsWith(u"Tavrinエディター"_s));
        OpenedUrls opened;
        window.helpItem(0)->trigger();
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(file.fileName())});
#endif
    }

    void homePageItem_opensTheAddressInTheBrowser()
    {
        frmMain window({u"tavrin-editor"_s});
        OpenedUrls opened;
        window.helpItem(1)->trigger();
        QCOMPARE(opened.urls, QList<QUrl>{QUrl(HelpMenu::homePage())});
        QCOMPARE(opened.urls.first().scheme(), u"https"_s);
    }

    void versionItem_showsTitleVersionTabAndCredit()
    {
        frmMain window({u"tavrin-editor"_s});
        ModalCloser closer;
        window.helpItem(2)->trigger();
        QCOMPARE(closer.texts.size(), 1);
        const QString text = closer.texts.first();
        QVERIFY2(text.startsWith(u"Tavrinエディター Ver1.0.4\t作者 "_s), qPrintable(text));
        QCOMPARE(text.count(u'\t'), 1);
        QVERIFY(!text.contains(u'\n') && !text.contains(u'\r'));
        QVERIFY(text.size() > u"Tavrinエディター Ver1.0.4\t作者 "_s.size());
        QCOMPARE(text, HelpMenu::versionText());
        QCOMPARE(closer.titles.first(), u"Tavrinエディター"_s);
        QCOMPARE(closer.buttons.first().count(u'|'), 0);
    }

    void otherIndices_doNothing()
    {
        frmMain window({u"tavrin-editor"_s});
        OpenedUrls opened;
        ModalCloser closer;
        for (const int index : {3, 98, 99, -1})
            window.help().HelpItemClicked(index);
        QTest::qWait(30);
        QVERIFY(opened.urls.isEmpty());
        QVERIFY(closer.texts.isEmpty());
    }
};

TAVRIN_TEST(HelpMenuTest)
#include "helpmenutest.moc"
