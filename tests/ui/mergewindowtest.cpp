#include "comparingsession.h"
#include "filedialogchoice.h"
#include "../platform/modalcloser.h"
#include "officerwar.h"
#include "testregistry.h"

using namespace Qt::StringLiterals;

// ファイル > マージ... through the real window: THEIRS's change taken as one undo step, the conflict
// (both sides changed one 武力) marked with its values, F7 to it, Alt+Left taking THEIRS's value, undo.
class MergeWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merge_takesTheirsMarksTheConflictAndUndoes()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QByteArray original = readFileBytes(session.sample);
        QByteArray theirs = original;
        theirs[WarByteOfRecord0 + 30 * 5] = char(95);
        theirs[WarByteOfRecord0 + 30 * 6] = char(60);
        const QString basePath = session.dir.filePath(u"base.smc"_s);
        const QString theirsPath = session.dir.filePath(u"theirs.sfc"_s);
        QVERIFY(writeFileBytes(basePath, original));
        QVERIFY(writeFileBytes(theirsPath, CopierHeader::removed(theirs).bytes));
        const QString war5 = session.grid(TableId::Officer).text(6, WarColumn);
        const QString war6 = session.grid(TableId::Officer).text(7, WarColumn);
        session.select(TableId::Officer, 8, WarColumn);
        EditorSession::type(u"33\r"_s);
        session.select(TableId::Officer, 7, WarColumn);
        EditorSession::type(u"77\r"_s);

        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            chooseInFileDialog(dialog, closer.dialogTitles.size() == 1 ? basePath : theirsPath);
        };
        session.main().fileItem(15)->trigger();
        QCOMPARE(closer.dialogTitles, (QStringList{u"マージ: 共通のもとのイメージ"_s, u"マージ: 取り込むイメージ"_s}));
        QCOMPARE(stackOf(session).undoText(), u"マージ: 1 セル"_s);
        QCOMPARE(session.grid(TableId::Officer).text(6, WarColumn), u"95"_s);
        QCOMPARE(session.grid(TableId::Officer).text(7, WarColumn), u"77"_s);
        QCOMPARE(comparing(session).bar().summary(), u"マージ: 取り込み 1 セル、衝突 1 セル"_s);
        QVERIFY(!isMarked(session, TableId::Officer, 6, WarColumn));
        QVERIFY(isMarked(session, TableId::Officer, 7, WarColumn));
        QCOMPARE(comparedCell(session, TableId::Officer, 7, WarColumn).data(Qt::ToolTipRole).toString(),
                 u"元の値: "_s + war6 + u" / 比較先: 60"_s);
        if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty())
            session.main().grab().save(shots + u"/merge.png"_s);

        // The file dialogs had the keyboard last.
        session.main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&session.main()));
        session.select(TableId::Officer, 1, 0);
        EditorSession::press(Qt::Key_F7);
        QCOMPARE(session.grid(TableId::Officer).row(), 7);
        QCOMPARE(session.grid(TableId::Officer).col(), WarColumn);
        EditorSession::press(Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(session.grid(TableId::Officer).text(7, WarColumn), u"60"_s);
        QCOMPARE(session.officerByte(6, WarOffset), 60);
        QVERIFY(!isMarked(session, TableId::Officer, 7, WarColumn));
        QCOMPARE(comparing(session).bar().summary(), u"マージ: 取り込み 1 セル、衝突 0 セル"_s);

        session.main().undoAction()->trigger();
        QVERIFY(isMarked(session, TableId::Officer, 7, WarColumn));
        // Taking everything takes the conflicts, never this side's own edits that the merge kept.
        comparing(session).takeAllAction()->trigger();
        QCOMPARE(session.officerByte(6, WarOffset), 60);
        QCOMPARE(session.officerByte(7, WarOffset), 33);
        session.main().undoAction()->trigger();
        session.main().undoAction()->trigger();
        QCOMPARE(session.grid(TableId::Officer).text(6, WarColumn), war5);
        QCOMPARE(session.officerByte(5, WarOffset), war5.toInt());
        QCOMPARE(readFileBytes(session.sample), original);
    }
};

TAVRIN_TEST(MergeWindowTest)
#include "mergewindowtest.moc"
