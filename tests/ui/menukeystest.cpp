#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "table.h"
#include "testregistry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

// Each grid with a cell that takes the number 7 as typed, and the cell to its right.
struct GridCell
{
    TableId id;
    int row;
    int col;
};

QAction* itemNamed(frmMain& window, const QString& name)
{
    if (name == u"open"_s)
        return window.fileItem(0);
    if (name == u"save"_s)
        return window.fileItem(1);
    if (name == u"save as"_s)
        return window.fileItem(2);
    if (name == u"undo"_s)
        return window.undoAction();
    if (name == u"redo"_s)
        return window.redoAction();
    if (name == u"copy"_s)
        return window.copyAction();
    return window.pasteAction();
}

void saveMenuShot(frmMain& window, QMenu* menu, const QString& name)
{
    if (!qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
        return;
    menu->popup(window.mapToGlobal(QPoint(10, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    menu->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u'/' + name);
    menu->hide();
}

} // namespace

// The Edit menu's clipboard items, the desktop shortcuts of the File menu, and separators, through
// the real window.
class MenuKeysTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shortcuts_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QList<QKeySequence>>("keys");
        QTest::newRow("open") << u"open"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O)};
        QTest::newRow("save") << u"save"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_S)};
        QTest::newRow("save as") << u"save as"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
        QTest::newRow("undo") << u"undo"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z)};
        QTest::newRow("redo") << u"redo"_s
                              << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
        QTest::newRow("copy") << u"copy"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_C)};
        QTest::newRow("paste") << u"paste"_s << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_V)};
    }

    void shortcuts()
    {
        QFETCH(QString, item);
        QFETCH(QList<QKeySequence>, keys);
        EditorSession session(false);
        QAction* action = itemNamed(session.main(), item);
        QVERIFY(action);
        QCOMPARE(action->shortcuts(), keys);
    }

    void editMenu_clipboardItemsFollowUndoAndRedo_viewItemsLast()
    {
        EditorSession session(false);
        frmMain& window = session.main();
        const QList<QAction*> actions = window.editMenu()->actions();
        QCOMPARE(actions.value(0), window.undoAction());
        QCOMPARE(actions.value(1), window.redoAction());
        QCOMPARE(actions.value(2), window.copyAction());
        QCOMPARE(actions.value(3), window.pasteAction());
        QCOMPARE(window.copyAction()->text(), u"コピー"_s);
        QCOMPARE(window.pasteAction()->text(), u"貼り付け"_s);
        // The five view items close the menu in their order, a separator above them.
        const qsizetype views = actions.size() - 5;
        QVERIFY(actions.value(views - 1)->isSeparator());
        for (int index = 1; index <= 5; ++index)
            QCOMPARE(actions.value(views + index - 1), window.editItem(index));
        saveMenuShot(window, window.editMenu(), u"edit-menu.png"_s);
    }

    void separators_carryNoText()
    {
        EditorSession session(false);
        frmMain& window = session.main();
        int separators = 0;
        for (QMenu* menu : {window.fileMenu(), window.editMenu(), window.helpMenu()}) {
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    continue;
                ++separators;
                QVERIFY2(action->text().isEmpty(), qPrintable(menu->title() + u": "_s + action->text()));
            }
        }
        // Two in the File menu, two in the Edit menu, one hidden in the Help menu.
        QCOMPARE(separators, 5);
        QVERIFY(window.fileItem(3)->isSeparator());
        QVERIFY(window.fileItem(8)->isSeparator());
        saveMenuShot(window, window.fileMenu(), u"file-menu.png"_s);
    }

    void fileKeys_openTheirDialogs_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("title");
        QTest::newRow("Ctrl+O") << int(Qt::Key_O) << int(Qt::ControlModifier) << u"ファイルを開く"_s;
        QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                      << u"名前を付けて保存"_s;
    }

    void fileKeys_openTheirDialogs()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, title);
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 3, 3);
        const QByteArray onDisk = session.block(TableId::Officer);
        ModalCloser closer;
        EditorSession::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // The dialog was cancelled: nothing opened or written, no question asked.
        QCOMPARE(closer.dialogTitles, QStringList{title});
        QVERIFY(closer.texts.isEmpty());
        QCOMPARE(session.main().document().state().currentPath(), session.sample);
        QCOMPARE(session.block(TableId::Officer), onDisk);
    }

    void copyAndPaste_byMenuAndKeys_onEveryGrid_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<int>("col"); // a column that takes a small number; -1: the first editable one
        const QList<std::tuple<const char*, TableId, int>> grids{{"officers", TableId::Officer, 3},
                                                                 {"cities", TableId::City, -1},
                                                                 {"items", TableId::Item, -1},
                                                                 {"forces", TableId::Force, -1},
                                                                 {"placement", TableId::Placement, -1}};
        for (const auto& [name, id, col] : grids) {
            QTest::addRow("%s, menu", name) << int(id) << true << col;
            QTest::addRow("%s, keys", name) << int(id) << false << col;
        }
    }

    void copyAndPaste_byMenuAndKeys_onEveryGrid()
    {
        QFETCH(int, table);
        QFETCH(bool, byMenu);
        QFETCH(int, col);
        const auto id = TableId(table);
        EditorSession session;
        QVERIFY(session.active);
        frmMain& window = session.main();
        Grid& grid = session.grid(id);
        const int row = grid.fixedRows() + 1;
        if (col < 0)
            col = window.document().table(id).firstEditableColumn();
        session.select(id, row, col);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        const QString expected = grid.text(row, col) + u'\r' + grid.text(row + 1, col);

        QGuiApplication::clipboard()->setText(u"left on the clipboard"_s);
        if (byMenu)
            window.copyAction()->trigger();
        else
            EditorSession::press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);

        // One value pasted over the two selected cells fills both, as one step.
        const QString value = grid.text(row, col) == u"7"_s ? u"6"_s : u"7"_s;
        QGuiApplication::clipboard()->setText(value);
        if (byMenu)
            window.pasteAction()->trigger();
        else
            EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.text(row, col), value);
        QCOMPARE(grid.text(row + 1, col), value);
        QCOMPARE(window.session().undoStack().count(), 1);
    }

    void clipboardItems_inTheCellEditor_workOnItsText_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("menu") << true;
        QTest::newRow("keys") << false;
    }

    void clipboardItems_inTheCellEditor_workOnItsText()
    {
        QFETCH(bool, byMenu);
        EditorSession session;
        QVERIFY(session.active);
        frmMain& window = session.main();
        session.select(TableId::Officer, 3, 3);
        const QString before = session.grid(TableId::Officer).text(3, 3);
        EditorSession::type(u"1"_s);
        QVERIFY(session.editor()->isEditing());
        QGuiApplication::clipboard()->setText(u"23"_s);
        if (byMenu)
            window.pasteAction()->trigger();
        else
            EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(session.editor()->text(), u"123"_s);
        session.editor()->setSelection(1, 2);
        if (byMenu)
            window.copyAction()->trigger();
        else
            EditorSession::press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"23"_s);
        // The grid saw none of it until Enter.
        QVERIFY(session.editor()->isEditing());
        QCOMPARE(session.grid(TableId::Officer).text(3, 3), before);
        QCOMPARE(window.session().undoStack().count(), 0);
    }
};

TAVRIN_TEST(MenuKeysTest)
#include "menukeystest.moc"
