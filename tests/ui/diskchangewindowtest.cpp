#include "diskchange.h"
#include "../platform/modalcloser.h"
#include "diskchangedquestion.h"
#include "editorsession.h"
#include "officerwar.h"
#include "questionanswerer.h"
#include "testregistry.h"

#include <QFileDialog>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

// Types 99 into 武力 of officer 0 (row 1 before any sort).
void editWarOfOfficer0(EditorSession& session)
{
    session.select(TableId::Officer, 1, WarColumn);
    EditorSession::type(u"99\r"_s);
}

} // namespace

// The question before a save over an image that another program changed while it was open, through
// the real window and its File menu.
class DiskChangeWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void save_afterAnotherProgramChangedTheFile_asks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("answer");
        for (const QString& kind : {u"size"_s, u"time"_s, u"table byte"_s}) {
            QTest::addRow("%s, cancel", qPrintable(kind)) << kind << u"キャンセル"_s;
            QTest::addRow("%s, overwrite", qPrintable(kind)) << kind << u"上書き"_s;
        }
    }

    void save_afterAnotherProgramChangedTheFile_asks()
    {
        QFETCH(QString, kind);
        QFETCH(QString, answer);
        EditorSession session;
        QVERIFY(session.active);
        editWarOfOfficer0(session);
        QVERIFY(diskchange::apply(session.sample, kind));
        const QByteArray theirs = readFileBytes(session.sample);
        const QString caption = session.caption();

        QuestionAnswerer answerer(answer);
        session.main().fileItem(1)->trigger();
        QCOMPARE(answerer.texts, QStringList{DiskChangedQuestion::text()});
        QCOMPARE(answerer.texts.first(), u"ファイルが他のプログラムで変更されています。上書きしますか？"_s);
        QCOMPARE(answerer.buttons, QStringList{u"上書き|キャンセル"_s});
        if (answer == u"キャンセル"_s) {
            // Nothing written, and the edit is still there, unsaved.
            QCOMPARE(readFileBytes(session.sample), theirs);
            QCOMPARE(session.caption(), caption);
            QVERIFY(session.main().session().isModified());
            QCOMPARE(session.officerByte(0, 7), 99);
        } else {
            const QByteArray written = readFileBytes(session.sample);
            QCOMPARE(quint8(written.at(WarByteOfRecord0)), 99);
            QCOMPARE(written.size(), theirs.size());
            QVERIFY(!session.main().session().isModified());
            QVERIFY(session.caption().endsWith(u"[保存完了]"_s));
        }
    }

    void save_withNothingChanged_doesNotAsk()
    {
        EditorSession session;
        QVERIFY(session.active);
        ModalCloser closer;
        editWarOfOfficer0(session);
        QVERIFY(session.save());
        // The editor's own save is not another program's change.
        session.select(TableId::Officer, 2, WarColumn);
        EditorSession::type(u"98\r"_s);
        QVERIFY(session.save());
        QVERIFY(closer.texts.isEmpty());
        QCOMPARE(quint8(readFileBytes(session.sample).at(WarByteOfRecord0)), 99);
    }

    void saveAs_toAnotherFile_doesNotAsk()
    {
        EditorSession session;
        QVERIFY(session.active);
        editWarOfOfficer0(session);
        QVERIFY(diskchange::apply(session.sample, u"table byte"_s));
        const QByteArray theirs = readFileBytes(session.sample);
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(files);
            files->setDirectory(session.dir.path());
            files->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(u"copy"_s);
            dialog->accept();
        };
        session.main().fileItem(2)->trigger();
        QVERIFY(closer.texts.isEmpty());
        QCOMPARE(readFileBytes(session.sample), theirs);
        QCOMPARE(quint8(readFileBytes(session.dir.filePath(u"copy.smc"_s)).at(WarByteOfRecord0)), 99);
    }

    void save_afterTheFileWasDeletedOrReplaced_saysSoAndWritesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("deleted") << u"deleted"_s << u"ファイルが見つかりません"_s;
        QTest::newRow("other form") << u"other form"_s << u"ヘッダーなし"_s;
    }

    void save_afterTheFileWasDeletedOrReplaced_saysSoAndWritesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        EditorSession session;
        QVERIFY(session.active);
        editWarOfOfficer0(session);
        QVERIFY(diskchange::apply(session.sample, kind));
        const QByteArray theirs = readFileBytes(session.sample);
        ModalCloser closer;
        session.main().fileItem(1)->trigger();
        // One message, no question.
        QCOMPARE(closer.texts.size(), 1);
        QCOMPARE(closer.buttons, QStringList{u"OK"_s});
        QVERIFY2(closer.texts.first().contains(reason), qPrintable(closer.texts.first()));
        QCOMPARE(readFileBytes(session.sample), theirs);
        QCOMPARE(QFile::exists(session.sample), kind != u"deleted"_s);
        QVERIFY(session.main().session().isModified());
    }

    void closing_savedAnswer_thenCancelledOverwrite_keepsTheWindowOpen()
    {
        EditorSession session;
        QVERIFY(session.active);
        editWarOfOfficer0(session);
        QVERIFY(diskchange::apply(session.sample, u"time"_s));
        const QByteArray theirs = readFileBytes(session.sample);
        // 保存 to the unsaved-changes question, then キャンセル to the changed-file question.
        QuestionAnswerer answerer(u"保存"_s);
        answerer.thenAnswer(u"キャンセル"_s);
        QVERIFY(!session.main().close());
        QCOMPARE(answerer.texts.size(), 2);
        QCOMPARE(answerer.texts.last(), DiskChangedQuestion::text());
        QVERIFY(session.main().isVisible());
        QCOMPARE(readFileBytes(session.sample), theirs);
    }
};

TAVRIN_TEST(DiskChangeWindowTest)
#include "diskchangewindowtest.moc"
