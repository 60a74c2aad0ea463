#include "documentcontent.h"
#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "editsession.h"
#include "fieldedit.h"
#include "frmedit.h"
#include "officerwar.h"
#include "testregistry.h"

#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

QStringList allTexts(const Grid& grid)
{
    QStringList texts;
    for (int r = 0; r < grid.rows(); ++r)
        texts << rowTexts(grid, r);
    return texts;
}

int rowOfRecord(const Grid& grid, int record)
{
    for (int r = 1; r < grid.rows(); ++r)
        if (grid.text(r, 0).toInt() == record)
            return r;
    return -1;
}

} // namespace

// Undo and redo through the real window: every change of block bytes is one step that puts back the
// exact bytes and cell texts, wherever the rows have moved since.
class UndoTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedCommit_undoRedo_restoresBytesAndCells_data()
    {
        QTest::addColumn<QKeyCombination>("redoKey");
        QTest::newRow("Ctrl+Y") << QKeyCombination(Qt::CTRL, Qt::Key_Y);
        QTest::newRow("Ctrl+Shift+Z") << QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
    }

    void typedCommit_undoRedo_restoresBytesAndCells()
    {
        QFETCH(QKeyCombination, redoKey);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        // An officer without 将, which a war value of 230 gives.
        int Row = 1;
        while (grid.text(Row, OfficerTable::MarkerColumn).contains(u'将'))
            ++Row;
        Document& document = session.main().document();
        const QByteArray before = session.block(TableId::Officer);
        const QStringList rowBefore = rowTexts(grid, Row);
        session.select(TableId::Officer, Row, WarColumn);
        EditorSession::type(u"230\r"_s);
        const QByteArray after = session.block(TableId::Officer);
        const QStringList rowAfter = rowTexts(grid, Row);
        QVERIFY(after != before);
        QCOMPARE(grid.text(Row, WarColumn), u"230"_s);
        // The class marker is derived from the war value: it follows the edit, its undo and its redo.
        QCOMPARE(staleCells(document, TableId::Officer), QStringList());

        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(rowTexts(grid, Row), rowBefore);

        EditorSession::press(redoKey.key(), redoKey.keyboardModifiers());
        QCOMPARE(session.block(TableId::Officer), after);
        QCOMPARE(rowTexts(grid, Row), rowAfter);
        QCOMPARE(staleCells(document, TableId::Officer), QStringList());
    }

    void undo_showsTheChangedGridAndCell()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 30;
        constexpr int Col = 5;
        session.select(TableId::City, Row, Col);
        EditorSession::type(u"7\r"_s);
        session.select(TableId::Officer, 2, 2);
        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.main().visibleView(), session.view(TableId::City));
        QCOMPARE(session.grid(TableId::City).row(), Row);
        QCOMPARE(session.grid(TableId::City).col(), Col);
        GridView* view = session.view(TableId::City);
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
    }

    void undo_afterSort_findsItsRecord()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        constexpr int Row = 12;
        const int record = session.recordOfRow(TableId::Officer, Row);
        const QByteArray before = session.block(TableId::Officer);
        const QStringList rowBefore = rowTexts(grid, Row);
        session.select(TableId::Officer, Row, WarColumn);
        EditorSession::type(u"1\r"_s);
        QCOMPARE(session.officerByte(record, WarOffset), 1);
        session.main().document().officers().sortGrid(WarColumn);
        const int sortedRow = rowOfRecord(grid, record);
        QVERIFY(sortedRow != Row);

        session.main().undoAction()->trigger();
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(rowTexts(grid, sortedRow), rowBefore);
        QCOMPARE(grid.row(), sortedRow);
        QCOMPARE(grid.col(), WarColumn);
    }

    void dialogOk_isOneStep()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 9;
        Grid& grid = session.grid(TableId::Officer);
        const QByteArray before = session.block(TableId::Officer);
        const QStringList rowBefore = rowTexts(grid, Row);
        session.select(TableId::Officer, Row, WarColumn);
        ModalCloser closer;
        closer.onDialog = [](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            QVERIFY(edit);
            edit->box(2)->setText(u"99"_s);
            edit->box(3)->setText(u"98"_s);
            // Clicked from the event loop: a message OK raised here would otherwise have no one to answer it.
            QTimer::singleShot(0, edit->button(0), &QPushButton::click);
        };
        GridView* view = session.view(TableId::Officer);
        const QModelIndex cell = view->model()->index(GridModel::toModelRow(Row), WarColumn);
        view->scrollTo(cell);
        const QPoint at = view->visualRect(cell).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(closer.dialogTitles.size(), 1);
        QCOMPARE(stackOf(session).count(), 1);
        QVERIFY(session.block(TableId::Officer) != before);

        session.main().undoAction()->trigger();
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(rowTexts(grid, Row), rowBefore);
    }

    void lifespans_areOneStep_undoRestoresEveryRecord()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        const QByteArray before = session.block(TableId::Officer);
        const QStringList textsBefore = allTexts(grid);
        session.main().busyoItem(2)->trigger();
        QCOMPARE(stackOf(session).count(), 1);
        QVERIFY(session.block(TableId::Officer) != before);

        session.main().undoAction()->trigger();
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(allTexts(grid), textsBefore);
        session.main().redoAction()->trigger();
        for (int row = 1; row < grid.rows(); ++row)
            QCOMPARE(grid.text(row, OfficerTable::LifespanColumn), u"7"_s);
    }

    void menuItems_followWhatCanBeUndoneAndRedone()
    {
        EditorSession session;
        QVERIFY(session.active);
        frmMain& window = session.main();
        QVERIFY(!window.undoAction()->isEnabled());
        QVERIFY(!window.redoAction()->isEnabled());
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"55\r"_s);
        QVERIFY(window.undoAction()->isEnabled());
        QVERIFY(!window.redoAction()->isEnabled());
        if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS")) {
            window.editMenu()->popup(window.mapToGlobal(QPoint(40, 20)));
            QVERIFY(QTest::qWaitForWindowExposed(window.editMenu()));
            window.editMenu()->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/edit-menu.png"_s);
            window.editMenu()->hide();
        }
        window.undoAction()->trigger();
        QVERIFY(!window.undoAction()->isEnabled());
        QVERIFY(window.redoAction()->isEnabled());
        window.redoAction()->trigger();
        QVERIFY(window.undoAction()->isEnabled());
        QVERIFY(!window.redoAction()->isEnabled());
    }

    void commitThatChangesNoByte_leavesNoStep()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 5, WarColumn);
        EditorSession::type(grid.text(5, WarColumn) + u"\r"_s);
        QCOMPARE(stackOf(session).count(), 0);
        // A refused text changes nothing either.
        EditorSession::press(Qt::Key_Return);
        EditorSession::press(Qt::Key_Backspace);
        EditorSession::press(Qt::Key_Return);
        QCOMPARE(stackOf(session).count(), 0);
        QVERIFY(!session.main().undoAction()->isEnabled());
    }

    void open_startsAnEmptyHistory_saveKeepsIt()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"66\r"_s);
        QVERIFY(session.save());
        QCOMPARE(stackOf(session).count(), 1);
        QVERIFY(session.main().undoAction()->isEnabled());
        session.main().openImage(session.sample);
        QCOMPARE(stackOf(session).count(), 0);
        QVERIFY(!session.main().undoAction()->isEnabled());
    }

    void undoInTheCellEditor_undoesTheTypingNotTheTable()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"66\r"_s);
        const QByteArray edited = session.block(TableId::Officer);
        EditorSession::type(u"12"_s);
        QVERIFY(session.editor()->isVisible());
        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.block(TableId::Officer), edited);
        QCOMPARE(session.editor()->text(), u"1"_s);
    }
};

TAVRIN_TEST(UndoTest)
#include "undotest.moc"
