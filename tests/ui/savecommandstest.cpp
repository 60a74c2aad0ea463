#include "filebytes.h"
#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "testregistry.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

// The two save commands: the name the save-as dialog settles on, and saves once the opened image
// has gone from the disk.
class SaveCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveAs_typedNameOfExistingFile_asksBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("refused") << QMessageBox::No;
        QTest::newRow("confirmed") << QMessageBox::Yes;
    }

    void saveAs_typedNameOfExistingFile_asksBeforeAnythingIsWritten()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        EditorSession session;
        const QString old = session.dir.filePath(u"old.smc"_s);
        QVERIFY(writeFileBytes(old, "keep"));
        const QByteArray image = readFileBytes(session.sample);
        bool nameBoxHadKeyboard = false;
        bool openAfterAnswer = false;
        QByteArray oldWhenAnswered;
        ModalCloser closer(answer);
        closer.onDialog = [&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(files);
            files->setDirectory(session.dir.path());
            auto* nameEdit = files->findChild<QLineEdit*>(u"fileNameEdit"_s);
            QVERIFY(nameEdit);
            nameEdit->setFocus();
            // Typed once this handler has returned, so that the closer can answer the question.
            QTimer::singleShot(0, dialog, [&, dialog, nameEdit] {
                // The dialog's own focus widget: under Wine the window may not be active yet, and
                // then no widget of it has the application's focus.
                nameBoxHadKeyboard = dialog->focusWidget() == nameEdit;
                QTest::keyClicks(nameEdit, u"old"_s);
                QTest::keyClick(nameEdit, Qt::Key_Return);
                openAfterAnswer = dialog->isVisible();
                oldWhenAnswered = readFileBytes(old);
            });
        };
        session.main().fileItem(2)->trigger();

        QVERIFY(nameBoxHadKeyboard);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY2(closer.texts.first().contains(u"old.smc"_s), qPrintable(closer.texts.first()));
        QCOMPARE(oldWhenAnswered, QByteArray("keep"));
        if (answer == QMessageBox::No) {
            // Back in the dialog; the closer then cancels it, as the user may.
            QVERIFY(openAfterAnswer);
            QCOMPARE(readFileBytes(old), QByteArray("keep"));
            QCOMPARE(session.main().document().state().currentPath(), session.sample);
            return;
        }
        QVERIFY(!openAfterAnswer);
        QCOMPARE(readFileBytes(old), image);
        QCOMPARE(session.main().document().state().currentPath(), old);
    }

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
