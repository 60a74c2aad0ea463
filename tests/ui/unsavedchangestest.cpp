#include "filebytes.h"
#include "editorsession.h"
#include "../platform/filedrop.h"
#include "officerwar.h"
#include "questionanswerer.h"
#include "savechangesquestion.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

const QString Buttons = u"保存|保存しない|キャンセル"_s;

} // namespace

// The question before unsaved edits are lost: asked only when the blocks differ from the file, and
// each answer does what it says.
class UnsavedChangesTest : public QObject
{
    Q_OBJECT

    // A copy of the session's image beside it, to open next, and one unsaved edit in the session.
    static QString otherImageAndAnEdit(EditorSession& session)
    {
        const QString other = session.dir.filePath(u"other.smc"_s);
        if (!QFile::copy(session.sample, other))
            return {};
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        return other;
    }

private Q_SLOTS:
    void close_unmodified_asksNothing()
    {
        EditorSession session;
        QVERIFY(session.active);
        QuestionAnswerer answerer(u"キャンセル"_s);
        QVERIFY(session.main().close());
        QCOMPARE(answerer.texts, QStringList());
    }

    void close_afterUndoBackToTheFile_asksNothing()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        session.main().undoAction()->trigger();
        QuestionAnswerer answerer(u"キャンセル"_s);
        QVERIFY(session.main().close());
        QCOMPARE(answerer.texts, QStringList());
    }

    void close_modified_eachAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("fileChanges");
        QTest::newRow("save") << u"保存"_s << true << true;
        QTest::newRow("discard") << u"保存しない"_s << true << false;
        QTest::newRow("cancel") << u"キャンセル"_s << false << false;
    }

    void close_modified_eachAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(bool, fileChanges);
        EditorSession session;
        QVERIFY(session.active);
        const QByteArray onDisk = readFileBytes(session.sample);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        const QByteArray edited = session.block(TableId::Officer);

        QuestionAnswerer answerer(answer);
        QCOMPARE(session.main().close(), closes);
        QCOMPARE(answerer.texts, QStringList{SaveChangesQuestion::text()});
        // The desktop's button layout decides the order; the three answers are what matters.
        QCOMPARE(answerer.buttons.size(), 1);
        QStringList shown = answerer.buttons.first().split(u'|');
        shown.sort();
        QStringList expected = Buttons.split(u'|');
        expected.sort();
        QCOMPARE(shown, expected);
        QCOMPARE(session.main().isVisible(), !closes);
        QCOMPARE(readFileBytes(session.sample) != onDisk, fileChanges);
        // Whatever the answer, the edit is still in memory.
        QCOMPARE(session.block(TableId::Officer), edited);
    }

    void close_saveThatFails_keepsWindowAndEdits()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        const QByteArray edited = session.block(TableId::Officer);
        // The save copies the open file as it is on disk; a vanished file cannot be saved.
        QVERIFY(QFile::remove(session.sample));

        QuestionAnswerer answerer(u"保存"_s);
        answerer.thenAnswer(u"OK"_s);
        QVERIFY(!session.main().close());
        QCOMPARE(answerer.texts.size(), 2);
        QCOMPARE(answerer.texts.at(0), SaveChangesQuestion::text());
        QVERIFY(answerer.texts.at(1).contains(QDir::toNativeSeparators(session.sample)));
        QVERIFY(session.main().isVisible());
        QCOMPARE(session.block(TableId::Officer), edited);
        QVERIFY(session.main().session().isModified());
    }

    void open_whileModified_asksAndCancelKeepsTheDocument()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString other = otherImageAndAnEdit(session);
        QVERIFY(!other.isEmpty());
        const QByteArray edited = session.block(TableId::Officer);

        {
            QuestionAnswerer answerer(u"キャンセル"_s);
            session.main().openImageAsked(other);
            QCOMPARE(answerer.texts, QStringList{SaveChangesQuestion::text()});
        }
        QCOMPARE(session.main().document().state().currentPath(), session.sample);
        QCOMPARE(session.block(TableId::Officer), edited);

        {
            QuestionAnswerer answerer(u"保存しない"_s);
            session.main().openImageAsked(other);
            QCOMPARE(answerer.texts.size(), 1);
        }
        QCOMPARE(session.main().document().state().currentPath(), other);
        QVERIFY(session.block(TableId::Officer) != edited);
        QVERIFY(!session.main().session().isModified());
    }

    void drop_whileModified_asksOnceTheDropHasReturned_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("opens");
        QTest::newRow("cancel") << u"キャンセル"_s << false;
        QTest::newRow("discard") << u"保存しない"_s << true;
    }

    void drop_whileModified_asksOnceTheDropHasReturned()
    {
        QFETCH(QString, answer);
        QFETCH(bool, opens);
        EditorSession session;
        QVERIFY(session.active);
        const QString other = otherImageAndAnEdit(session);
        QVERIFY(!other.isEmpty());

        QuestionAnswerer answerer(answer);
        QVERIFY(dropFiles(session.main().view(TableId::Officer)->viewport(), {other}));
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(session.main().document().state().currentPath(), session.sample);
        finishDrop();
        QCOMPARE(answerer.texts, QStringList{SaveChangesQuestion::text()});
        QCOMPARE(session.main().document().state().currentPath(), opens ? other : session.sample);
        QCOMPARE(session.main().session().isModified(), !opens);
    }

    void openFromMenu_cancelledQuestion_showsNoFileDialog()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        QuestionAnswerer answerer(u"キャンセル"_s);
        session.main().fileItem(0)->trigger();
        QCOMPARE(answerer.texts, QStringList{SaveChangesQuestion::text()});
        QCOMPARE(session.main().document().state().currentPath(), session.sample);
    }

    void save_makesTheDocumentUnmodified()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42\r"_s);
        QVERIFY(session.main().session().isModified());
        QVERIFY(session.save());
        QVERIFY(!session.main().session().isModified());
        // Undoing past the save differs from the file again.
        session.main().undoAction()->trigger();
        QVERIFY(session.main().session().isModified());
    }
};

TAVRIN_TEST(UnsavedChangesTest)
#include "unsavedchangestest.moc"
