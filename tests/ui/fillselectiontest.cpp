#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "tableidmetatype.h"
#include "testregistry.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;

// Ctrl+Enter in the cell editor: the typed text goes into every cell of the selection, each through
// its own column's rule, as one undo step, in the real window.
class FillSelectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlEnter_fillsTheSelectionThroughEachColumnsRule_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<QRect>("block"); // x column, y row; the first cell is where typing starts
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QStringList>("shown"); // what the block's cells show afterwards, row by row
        QTest::addColumn<int>("refused");
        // Officer columns 15 and 16 cap at 150 and 100; column 18 takes four hexadecimal digits only.
        QTest::newRow("officers, two caps") << TableId::Officer << QRect(15, 5, 2, 2) << u"150"_s << false
                                            << QStringList{u"150"_s, u"100"_s, u"150"_s, u"100"_s} << 0;
        QTest::newRow("officers, one refused") << TableId::Officer << QRect(16, 8, 3, 1) << u"90"_s << false
                                               << QStringList{u"90"_s, u"90"_s, QString()} << 1;
        QTest::newRow("keypad Enter") << TableId::Officer << QRect(3, 2, 1, 3) << u"77"_s << true
                                      << QStringList{u"77"_s, u"77"_s, u"77"_s} << 0;
        QTest::newRow("cities") << TableId::City << QRect(2, 3, 2, 2) << u"5"_s << false
                                << QStringList{u"5"_s, u"5"_s, u"5"_s, u"5"_s} << 0;
        QTest::newRow("one cell") << TableId::Placement << QRect(2, 4, 1, 1) << u"9"_s << false << QStringList{u"9"_s}
                                  << 0;
    }

    void ctrlEnter_fillsTheSelectionThroughEachColumnsRule()
    {
        QFETCH(TableId, table);
        QFETCH(QRect, block);
        QFETCH(QString, typed);
        QFETCH(bool, keypad);
        QFETCH(QStringList, shown);
        QFETCH(int, refused);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(table);
        const QByteArray before = session.block(table);
        session.select(table, block.top(), block.left());
        for (int i = 1; i < block.width(); ++i)
            EditorSession::press(Qt::Key_Right, Qt::ShiftModifier);
        for (int i = 1; i < block.height(); ++i)
            EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        // The text of the cells that refuse it stays as it was.
        QStringList expected = shown;
        for (int r = 0; r < block.height(); ++r)
            for (int c = 0; c < block.width(); ++c)
                if (QString& cell = expected[r * block.width() + c]; cell.isNull())
                    cell = grid.text(block.top() + r, block.left() + c);
        const QString outsideBelow = grid.text(block.bottom() + 1, block.left());

        ModalCloser closer;
        EditorSession::type(typed);
        QVERIFY(session.editor()->isEditing());
        EditorSession::press(Qt::Key_Enter, Qt::ControlModifier | (keypad ? Qt::KeypadModifier : Qt::NoModifier));

        QVERIFY(!session.editor()->isEditing());
        QStringList cells;
        for (int r = block.top(); r <= block.bottom(); ++r)
            for (int c = block.left(); c <= block.right(); ++c)
                cells << grid.text(r, c);
        QCOMPARE(cells, expected);
        QCOMPARE(grid.text(block.bottom() + 1, block.left()), outsideBelow);
        QVERIFY(session.block(table) != before);
        // The selection and the current cell are where they were, and the keyboard is back on the grid
        // (the window's own focus: offscreen, nothing activates the window again after a message box).
        QCOMPARE(std::min(grid.row(), grid.rowSel()), block.top());
        QCOMPARE(std::max(grid.col(), grid.colSel()), block.right());
        QCOMPARE(session.main().focusWidget(), session.view(table));
        // Refused cells are told in one message that names them.
        QCOMPARE(closer.texts.size(), refused > 0 ? 1 : 0);
        if (refused > 0) {
            QVERIFY(closer.texts.first().contains(u"%1 個のセルは値が受け付けられませんでした"_s.arg(refused)));
            QVERIFY(closer.texts.first().contains(grid.text(0, block.right())));
        }

        QUndoStack& stack = session.main().session().undoStack();
        QCOMPARE(stack.count(), 1);
        stack.undo();
        QCOMPARE(session.block(table), before);
        stack.redo();
        cells.clear();
        for (int r = block.top(); r <= block.bottom(); ++r)
            for (int c = block.left(); c <= block.right(); ++c)
                cells << grid.text(r, c);
        QCOMPARE(cells, expected);
    }

    void ctrlEnter_reachesTheBytesOfEveryRecord()
    {
        EditorSession session;
        QVERIFY(session.active);
        // 武力 (byte 7) of three officers; the rows name their records, which sorting may reorder.
        session.select(TableId::Officer, 20, 3);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::type(u"300"_s);
        EditorSession::press(Qt::Key_Return, Qt::ControlModifier);
        for (int row = 20; row <= 22; ++row)
            QCOMPARE(session.officerByte(session.recordOfRow(TableId::Officer, row), 7), 255);
    }

    void plainEnter_storesTheCurrentCellOnly()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 5, 3);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        const int current = grid.row();
        const int other = current == 5 ? 6 : 5;
        const QString otherBefore = grid.text(other, 3);
        EditorSession::type(u"12\r"_s);
        QCOMPARE(grid.text(current, 3), u"12"_s);
        QCOMPARE(grid.text(other, 3), otherBefore);
    }
};

TAVRIN_TEST(FillSelectionTest)
#include "fillselectiontest.moc"
