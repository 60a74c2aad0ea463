#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "testregistry.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

using namespace Qt::StringLiterals;

// The two save commands once the opened image has gone from the disk.
class SaveCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveCommands_afterImageVanished_reportFailure_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("overwrite") << 1;
        QTest::newRow("save as") << 2;
    }

    void saveCommands_afterImageVanished_reportFailure()
    {
        QFETCH(int, index);
        EditorSession session;
        const QString vanished = session.dir.filePath(u"vanished.smc"_s);
        QVERIFY(QFile::copy(session.sample, vanished));
        session.main().openImage(vanished);
        QVERIFY(QFile::remove(vanished));
        const QString caption = session.caption();
        const QString copy = session.dir.filePath(u"copy.smc"_s);

        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(files);
            files->setDirectory(session.dir.path());
            files->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(u"copy"_s);
            dialog->accept();
        };
        session.main().fileItem(index)->trigger();

        QCOMPARE(closer.dialogTitles, index == 2 ? QStringList{u"名前を付けて保存"_s} : QStringList());
        QCOMPARE(closer.texts.size(), 1);
        QCOMPARE(closer.titles.first(), EditorState::applicationTitle());
        QVERIFY2(closer.texts.first().contains(u"vanished.smc"_s), qPrintable(closer.texts.first()));
        // Nothing was written, and the document still names the file it came from.
        QVERIFY(!QFile::exists(vanished));
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(session.main().document().state().currentPath(), vanished);
        QCOMPARE(session.caption(), caption);
    }

    void saveAs_cancelled_afterImageVanished_saysNothing()
    {
        EditorSession session;
        const QString vanished = session.dir.filePath(u"vanished.smc"_s);
        QVERIFY(QFile::copy(session.sample, vanished));
        session.main().openImage(vanished);
        QVERIFY(QFile::remove(vanished));
        ModalCloser closer;
        closer.onDialog = [](QDialog* dialog) { dialog->reject(); };
        session.main().fileItem(2)->trigger();
        QCOMPARE(closer.dialogTitles.size(), 1);
        QVERIFY(closer.texts.isEmpty());
    }
};

TAVRIN_TEST(SaveCommandsTest)
#include "savecommandstest.moc"
