#include "cartridgechecksum.h"
#include "diskchange.h"
#include "editorsession.h"
#include "filebytes.h"
#include "officerwar.h"
#include "testregistry.h"

#include <QFileInfo>
#include <QMenu>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 Pair = 0x200 + 0x7FDC;
const QByteArray StalePair("\x12\x34\x56\x78", 4);
const QByteArray OtherPair("\xAA\xBB\xCC\xDD", 4);

bool checksumValid(const QByteArray& image)
{
    QByteArray fixed = image;
    return CartridgeChecksum::fix(fixed, ImageForm::CopierHeader) && fixed == image;
}

} // namespace

// ファイル > "チェックサムを修正" in the real window: an undoable step that reaches the file only at a
// save, computed from what that save writes, and four bytes that no other save touches.
class ChecksumFixTest : public QObject
{
    Q_OBJECT

    // Chooses the item the way a user does: Alt+F, then a click on it.
    static void chooseFix(EditorSession& session)
    {
        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_F, Qt::AltModifier);
        QMenu* menu = session.main().fileMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(session.main().fileItem(10)).center());
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

private Q_SLOTS:
    void menuItem_looksLikeTheOthers()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_F, Qt::AltModifier);
        QMenu* menu = session.main().fileMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
        const QList<QAction*> actions = menu->actions();
        // Beside the other item that works on the image as a whole.
        QCOMPARE(actions.indexOf(session.main().fileItem(10)), actions.indexOf(session.main().fileItem(6)) + 1);
        if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty())
            menu->grab().save(shots + u"/checksum-menu.png"_s);
        EditorSession::press(Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    // Steps: "fix" the menu item, "edit" a new War typed on the next officer row, "undo"/"redo" by
    // their keys, "save" over the file (after which the file on disk is checked), "other" another
    // program writing its own four checksum bytes into the file (its time kept, so no question asks).
    void fix_reachesTheFileOnlyOnSave_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("pairOnDisk"); // at the end: "fixed" (right for the bytes), "stale", "other"
        QTest::addColumn<int>("edits");          // officer bytes the file holds changed at the end
        QTest::newRow("fix, save") << QStringList{u"fix"_s, u"save"_s} << u"fixed"_s << 0;
        QTest::newRow("fix, edit after it, save")
            << QStringList{u"edit"_s, u"fix"_s, u"edit"_s, u"save"_s} << u"fixed"_s << 2;
        QTest::newRow("edit, save: never unasked") << QStringList{u"edit"_s, u"save"_s} << u"stale"_s << 1;
        QTest::newRow("fix, undo, save") << QStringList{u"fix"_s, u"undo"_s, u"save"_s} << u"stale"_s << 0;
        QTest::newRow("fix, undo, redo, save")
            << QStringList{u"fix"_s, u"undo"_s, u"redo"_s, u"save"_s} << u"fixed"_s << 0;
        QTest::newRow("fix, save, undo, save puts the old bytes back")
            << QStringList{u"fix"_s, u"save"_s, u"undo"_s, u"save"_s} << u"stale"_s << 0;
        QTest::newRow("fix, save, edit, save keeps it right")
            << QStringList{u"fix"_s, u"save"_s, u"edit"_s, u"save"_s} << u"fixed"_s << 1;
        // A fix undone before any save wrote it leaves the four bytes to whoever wrote them last.
        QTest::newRow("fix, undo, other, save keeps the other's")
            << QStringList{u"fix"_s, u"undo"_s, u"other"_s, u"save"_s} << u"other"_s << 0;
        QTest::newRow("fix, undo, redo, save, undo, save puts the old bytes back")
            << QStringList{u"fix"_s, u"undo"_s, u"redo"_s, u"save"_s, u"undo"_s, u"save"_s} << u"stale"_s << 0;
        QTest::newRow("fix, save, other, undo, save puts the old bytes back")
            << QStringList{u"fix"_s, u"save"_s, u"other"_s, u"undo"_s, u"save"_s} << u"stale"_s << 0;
        // Once a save has put the old bytes back, later saves leave the four bytes alone again.
        QTest::newRow("fix, save, undo, save, other, save keeps the other's")
            << QStringList{u"fix"_s, u"save"_s, u"undo"_s, u"save"_s, u"other"_s, u"save"_s} << u"other"_s << 0;
        QTest::newRow("fix, save, undo, save, redo, undo, other, save keeps the other's")
            << QStringList{u"fix"_s, u"save"_s, u"undo"_s, u"save"_s, u"redo"_s, u"undo"_s, u"other"_s, u"save"_s}
            << u"other"_s << 0;
        QTest::newRow("fix, save, undo, other, redo, save, undo, save puts the old bytes back")
            << QStringList{u"fix"_s, u"save"_s, u"undo"_s, u"other"_s, u"redo"_s, u"save"_s, u"undo"_s, u"save"_s}
            << u"stale"_s << 0;
        // The bytes put back are those the save of the fix wrote over, whoever wrote them.
        QTest::newRow("fix, undo, other, redo, save, undo, save puts the other's back")
            << QStringList{u"fix"_s, u"undo"_s, u"other"_s, u"redo"_s, u"save"_s, u"undo"_s, u"save"_s}
            << u"other"_s << 0;
        QTest::newRow("fix, save, undo, fix, undo, save, redo, save, undo, save puts the old bytes back")
            << QStringList{u"fix"_s,  u"save"_s, u"undo"_s, u"fix"_s,  u"undo"_s,
                           u"save"_s, u"redo"_s, u"save"_s, u"undo"_s, u"save"_s}
            << u"stale"_s << 0;
    }

    void fix_reachesTheFileOnlyOnSave()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, pairOnDisk);
        QFETCH(int, edits);
        EditorSession session;
        QVERIFY(session.active);
        QByteArray stale = SampleImage::generate();
        stale.replace(Pair, 4, StalePair);
        QVERIFY(writeFileBytes(session.sample, stale));
        session.main().openImage(session.sample);
        QUndoStack& stack = session.main().session().undoStack();
        int row = 1;
        for (const QString& step : steps) {
            const QByteArray onDisk = readFileBytes(session.sample);
            // A new step lands above the current one, dropping any undone steps.
            const int index = stack.index();
            if (step == u"fix"_s) {
                chooseFix(session);
                QCOMPARE(stack.index(), index + 1);
                QCOMPARE(stack.undoText(), u"チェックサムを修正"_s);
                QVERIFY(session.main().session().isModified());
            } else if (step == u"edit"_s) {
                session.select(TableId::Officer, row++, WarColumn);
                EditorSession::type(u"99\r"_s);
                QCOMPARE(stack.index(), index + 1);
            } else if (step == u"undo"_s || step == u"redo"_s) {
                session.view(TableId::Officer)->setFocus();
                EditorSession::press(Qt::Key_Z, step == u"undo"_s ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            } else if (step == u"save"_s) {
                QVERIFY(session.save());
                QVERIFY(!session.main().session().isModified());
                continue;
            } else if (step == u"other"_s) {
                const QDateTime time = QFileInfo(session.sample).fileTime(QFileDevice::FileModificationTime);
                QVERIFY(writeFileBytes(session.sample, QByteArray(onDisk).replace(Pair, 4, OtherPair)));
                QVERIFY(diskchange::keepTime(session.sample, time));
                continue;
            }
            // Nothing but a save writes.
            QCOMPARE(readFileBytes(session.sample), onDisk);
        }
        const QByteArray saved = readFileBytes(session.sample);
        QCOMPARE(checksumValid(saved), pairOnDisk == u"fixed"_s);
        QList<qint64> expected;
        for (const qint64 at : differences(stale, saved))
            if (at < Pair || at >= Pair + 4)
                expected << at;
        QCOMPARE(expected.size(), edits);
        if (pairOnDisk != u"fixed"_s)
            QCOMPARE(saved.mid(Pair, 4), pairOnDisk == u"other"_s ? OtherPair : StalePair);
    }

    void fix_withoutAnImage_doesNothing()
    {
        EditorSession session(false);
        QVERIFY(session.active);
        session.main().fileItemClicked(10);
        QCOMPARE(session.main().session().undoStack().count(), 0);
        QVERIFY(!session.main().session().isModified());
    }
};

TAVRIN_TEST(ChecksumFixTest)
#include "checksumfixtest.moc"
