#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "officertable.h"
#include "officerwar.h"
#include "tableidmetatype.h"
#include "testregistry.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

constexpr int NameColumn = 1;
constexpr int ReadingOffset = 22;

} // namespace

class CellEditorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void digit_opensEditorWithDigitAndCaretAfterIt_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("inputMethod");
        QTest::newRow("officer war") << TableId::Officer << WarColumn << 4 << false;
        QTest::newRow("officer name") << TableId::Officer << NameColumn << 12 << false;
        QTest::newRow("officer reading") << TableId::Officer << OfficerTable::ReadingColumn << 8 << true;
        QTest::newRow("city 4") << TableId::City << 4 << 5 << false;
        QTest::newRow("city 9") << TableId::City << 9 << 2 << false;
        QTest::newRow("item name") << TableId::Item << 4 << 24 << false;
        QTest::newRow("force ruler") << TableId::Force << 1 << 5 << false;
        QTest::newRow("placement 2") << TableId::Placement << 2 << 3 << false;
    }

    void digit_opensEditorWithDigitAndCaretAfterIt()
    {
        QFETCH(TableId, table);
        QFETCH(int, col);
        QFETCH(int, maxLength);
        QFETCH(bool, inputMethod);
        EditorSession session;
        QVERIFY(session.active);
        // Opened and closed on the reading first, so that the input method is seen switched back too.
        session.select(TableId::Officer, 2, OfficerTable::ReadingColumn);
        EditorSession::type(u"1\x1b"_s);
        session.select(table, 3, col);
        const QString before = session.grid(table).text(3, col);
        CellEditor* editor = session.editor();
        QVERIFY(!editor->isVisible());

        EditorSession::type(u"7"_s);
        QVERIFY(editor->isVisible());
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(editor->text(), u"7"_s);
        QCOMPARE(editor->cursorPosition(), 1);
        QVERIFY(!editor->hasSelectedText());
        QCOMPARE(editor->maxLength(), maxLength);
        QCOMPARE(editor->testAttribute(Qt::WA_InputMethodEnabled), inputMethod);
        QCOMPARE(editor->geometry(), session.view(table)->currentCellRect(editor->parentWidget()));
        // The key that opened the editor is not typed a second time; the next one follows it.
        EditorSession::type(u"1"_s);
        QCOMPARE(editor->text(), u"71"_s);
        QCOMPARE(session.grid(table).text(3, col), before);
    }

    void typedValue_reachesCellAndBlock_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("stored");
        QTest::newRow("officer war") << TableId::Officer << WarColumn << u"75\r"_s << u"75"_s << true;
        QTest::newRow("officer war capped") << TableId::Officer << WarColumn << u"300\r"_s << u"255"_s << true;
        QTest::newRow("officer lifespan capped") << TableId::Officer << 14 << u"9\r"_s << u"8"_s << true;
        // Computed from five bytes: typing there opens nothing, and the cell keeps showing the bytes' marker.
        QTest::newRow("officer marker not typed over") << TableId::Officer << 19 << u"12\r"_s << QString() << false;
        QTest::newRow("city population capped") << TableId::City << 2 << u"999\r"_s << u"300"_s << true;
        QTest::newRow("city nibble capped") << TableId::City << 9 << u"99\r"_s << u"15"_s << true;
        QTest::newRow("city word") << TableId::City << 4 << u"12345\r"_s << u"12345"_s << true;
        QTest::newRow("force ruler capped") << TableId::Force << 1 << u"532\r"_s << u"65535"_s << true;
        QTest::newRow("force home capped") << TableId::Force << 2 << u"47\r"_s << u"255"_s << true;
        QTest::newRow("placement capped") << TableId::Placement << 3 << u"300\r"_s << u"255"_s << true;
    }

    void typedValue_reachesCellAndBlock()
    {
        QFETCH(TableId, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(bool, stored);
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 4;
        session.select(table, Row, col);
        const QByteArray before = session.block(table);
        EditorSession::type(keys);

        QVERIFY(!session.editor()->isVisible());
        QCOMPARE(QApplication::focusWidget(), session.view(table));
        QCOMPARE(session.grid(table).text(Row, col), shown);
        QCOMPARE(session.view(table)->model()->index(GridModel::toModelRow(Row), col).data().toString(), shown);
        if (!stored) {
            QCOMPARE(session.block(table), before);
            return;
        }
        QVERIFY(session.block(table) != before);
        // What the block holds is what a fresh fill shows.
        session.main().document().fillGrids();
        QCOMPARE(session.grid(table).text(Row, col), shown);
    }

    void enter_opensEditorWithOldTextSelected_andCapsWhatIsTyped()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 6, WarColumn);
        const int record = session.recordOfRow(TableId::Officer, 6);
        const QString old = session.grid(TableId::Officer).text(6, WarColumn);
        CellEditor* editor = session.editor();

        EditorSession::type(u"\r"_s);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), old);
        QCOMPARE(editor->selectedText(), old);
        EditorSession::type(u"300"_s);
        QCOMPARE(editor->text(), u"300"_s);
        EditorSession::type(u"\r"_s);
        QCOMPARE(session.grid(TableId::Officer).text(6, WarColumn), u"255"_s);
        QCOMPARE(session.officerByte(record, WarOffset), 255);
    }

    void enter_onPaddedReading_leavesPaddingOutAndStoresSameBytes()
    {
        EditorSession session;
        QVERIFY(session.active);
        // A reading shorter than its eight bytes.
        int record = -1;
        for (int n = 0; n < OfficerTable::RecordCount && record < 0; ++n)
            if (session.officerByte(n, ReadingOffset) != 0 && session.officerByte(n, ReadingOffset + 7) == 0)
                record = n;
        QVERIFY(record >= 0);
        const int row = record + 1;
        const QString cell = session.grid(TableId::Officer).text(row, OfficerTable::ReadingColumn);
        QVERIFY(cell.endsWith(QChar(0)));
        session.select(TableId::Officer, row, OfficerTable::ReadingColumn);
        const QByteArray before = session.block(TableId::Officer);

        EditorSession::type(u"\r"_s);
        QString unpadded = cell;
        while (unpadded.endsWith(QChar(0)))
            unpadded.chop(1);
        QCOMPARE(session.editor()->text(), unpadded);
        QCOMPARE(session.editor()->selectedText(), unpadded);
        EditorSession::type(u"\r"_s);
        QCOMPARE(session.block(TableId::Officer), before);
    }

    void refusedText_leavesCellBlockAndCaption_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::newRow("digit then letter") << TableId::Officer << WarColumn << u"1a"_s;
        QTest::newRow("emptied") << TableId::Officer << WarColumn << u"\r\b"_s;
        QTest::newRow("name of 11") << TableId::Officer << NameColumn << u"\r0a0b0c0d0e0"_s;
        QTest::newRow("name with g") << TableId::Officer << NameColumn << u"\r0a0b0c0d0e0g"_s;
        QTest::newRow("face of 3") << TableId::Officer << 18 << u"\r1a2"_s;
        QTest::newRow("city letters") << TableId::City << 5 << u"1x"_s;
        QTest::newRow("item name short") << TableId::Item << 4 << u"\r00"_s;
        QTest::newRow("placement letter") << TableId::Placement << 2 << u"\rq"_s;
    }

    void refusedText_leavesCellBlockAndCaption()
    {
        QFETCH(TableId, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        EditorSession session;
        QVERIFY(session.active);
        session.select(table, 5, col);
        const QString cell = session.grid(table).text(5, col);
        const QByteArray block = session.block(table);
        EditorSession::type(keys);
        QVERIFY(session.editor()->isVisible());
        const QString caption = session.caption();

        EditorSession::type(u"\r"_s);
        QVERIFY(!session.editor()->isVisible());
        QCOMPARE(QApplication::focusWidget(), session.view(table));
        QCOMPARE(session.grid(table).text(5, col), cell);
        QCOMPARE(session.block(table), block);
        QCOMPARE(session.caption(), caption);
    }

    void leavingEditor_discardsText_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::addColumn<bool>("fromMenuBar");
        QTest::newRow("escape") << false << false;
        QTest::newRow("click into grid") << true << false;
        QTest::newRow("click into grid from the menu bar") << true << true;
    }

    void leavingEditor_discardsText()
    {
        QFETCH(bool, byClick);
        QFETCH(bool, fromMenuBar);
        EditorSession session;
        QVERIFY(session.active);
        GridView* view = session.view(TableId::Officer);
        session.select(TableId::Officer, 3, WarColumn);
        const QString cell = session.grid(TableId::Officer).text(3, WarColumn);
        const QByteArray block = session.block(TableId::Officer);
        EditorSession::type(u"99"_s);
        QCOMPARE(session.editor()->text(), u"99"_s);
        // The cell never shows what is being typed.
        QCOMPARE(view->model()->index(GridModel::toModelRow(3), WarColumn).data().toString(), cell);

        if (fromMenuBar) {
            // Alt alone hands the keyboard to the menu bar; the editor must stay open meanwhile.
            EditorSession::press(Qt::Key_Alt);
            QCOMPARE(QApplication::focusWidget(), session.main().menuBar());
            QVERIFY(session.editor()->isVisible());
        }
        if (byClick) {
            const QModelIndex other = view->model()->index(GridModel::toModelRow(8), 6);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(other).center());
            QCOMPARE(session.grid(TableId::Officer).row(), 8);
        } else {
            EditorSession::type(u"\x1b"_s);
        }
        QVERIFY(!session.editor()->isVisible());
        QCOMPARE(QApplication::focusWidget(), view);
        QCOMPARE(session.grid(TableId::Officer).text(3, WarColumn), cell);
        QCOMPARE(session.block(TableId::Officer), block);
        // The next Enter opens a fresh editor; nothing of the discarded text is left.
        session.grid(TableId::Officer).setCurrentCell(3, WarColumn);
        EditorSession::type(u"\r"_s);
        QCOMPARE(session.editor()->text(), cell);
    }

    void columnsThatDoNotOpen_doNothingAndKeepCaption_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("key");
        QTest::newRow("officer 0 enter") << TableId::Officer << 0 << u"\r"_s;
        QTest::newRow("officer 0 digit") << TableId::Officer << 0 << u"5"_s;
        QTest::newRow("city 1 enter") << TableId::City << 1 << u"\r"_s;
        QTest::newRow("city 18 enter") << TableId::City << 18 << u"\r"_s;
        QTest::newRow("city 22 digit") << TableId::City << 22 << u"2"_s;
        QTest::newRow("item 0 enter") << TableId::Item << 0 << u"\r"_s;
        QTest::newRow("force 0 digit") << TableId::Force << 0 << u"9"_s;
        QTest::newRow("placement 1 digit") << TableId::Placement << 1 << u"3"_s;
    }

    void columnsThatDoNotOpen_doNothingAndKeepCaption()
    {
        QFETCH(TableId, table);
        QFETCH(int, col);
        QFETCH(QString, key);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        session.select(table, 2, col);
        const QString saved = session.caption();
        const QString cell = session.grid(table).text(2, col);
        EditorSession::type(key);
        QVERIFY(!session.editor()->isVisible());
        QCOMPARE(QApplication::focusWidget(), session.view(table));
        QCOMPARE(session.caption(), saved);
        QCOMPARE(session.grid(table).text(2, col), cell);
    }

    void afterSave_firstKeyTypedOnGridShowsPathAgain_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("opens");
        QTest::newRow("letter on officers") << TableId::Officer << WarColumn << u"a"_s << false;
        QTest::newRow("digit on officers") << TableId::Officer << WarColumn << u"4"_s << true;
        QTest::newRow("enter on cities") << TableId::City << 3 << u"\r"_s << true;
        QTest::newRow("escape on placement") << TableId::Placement << 2 << u"\x1b"_s << false;
        QTest::newRow("space on cities") << TableId::City << 3 << u" "_s << false;
    }

    void afterSave_firstKeyTypedOnGridShowsPathAgain()
    {
        QFETCH(TableId, table);
        QFETCH(int, col);
        QFETCH(QString, key);
        QFETCH(bool, opens);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        session.select(table, 2, col);
        EditorSession::type(key);
        QCOMPARE(session.caption(), session.pathCaption());
        QCOMPARE(session.editor()->isVisible(), opens);
    }

    void beforeAnyOpen_keysOnAGridKeepTheInitialCaption_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<QString>("keys");
        QTest::newRow("Enter, then Enter") << TableId::Officer << u"\r\r"_s;
        QTest::newRow("digits and Enter") << TableId::City << u"12\r"_s;
        QTest::newRow("letter") << TableId::Placement << u"a"_s;
        QTest::newRow("space on officers") << TableId::Officer << u" "_s;
    }

    void beforeAnyOpen_keysOnAGridKeepTheInitialCaption()
    {
        QFETCH(TableId, table);
        QFETCH(QString, keys);
        EditorSession session(false);
        QVERIFY(session.active);
        session.select(table, 2, 2);
        ModalCloser closer;
        EditorSession::type(keys);
        QCOMPARE(session.caption(), EditorState::applicationTitle());
    }

    void viewSwitchWhileEditing_commitsIntoVisibleGridUnderItsRule()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int CityRow = 5, Population = 2;
        session.grid(TableId::City).setCurrentCell(CityRow, Population);
        session.select(TableId::Officer, 3, WarColumn);
        const QString officerCell = session.grid(TableId::Officer).text(3, WarColumn);
        const QByteArray officers = session.block(TableId::Officer);
        EditorSession::type(u"999"_s);
        const QRect where = session.editor()->geometry();

        session.main().editItem(2)->trigger();
        QCOMPARE(session.main().visibleView(), session.view(TableId::City));
        QVERIFY(session.editor()->isVisible());
        QCOMPARE(QApplication::focusWidget(), session.editor());
        QCOMPARE(session.editor()->geometry(), where);

        EditorSession::type(u"\r"_s);
        // The city rule caps population at 300 where the officer rule would have given 255.
        QCOMPARE(session.grid(TableId::City).text(CityRow, Population), u"300"_s);
        const int record = session.recordOfRow(TableId::City, CityRow);
        const QByteArray& cities = session.block(TableId::City);
        const qsizetype at = qsizetype(record) * 30 + 2;
        QCOMPARE(quint8(cities.at(at)) | quint8(cities.at(at + 1)) << 8, 300);
        QCOMPARE(session.grid(TableId::Officer).text(3, WarColumn), officerCell);
        QCOMPARE(session.block(TableId::Officer), officers);
        QCOMPARE(QApplication::focusWidget(), session.view(TableId::City));
    }

    void viewSwitchFromKeyboardMenu_keepsEditorOpen_data()
    {
        QTest::addColumn<bool>("altFirst");
        QTest::newRow("access key") << false;
        QTest::newRow("alt, then access key") << true;
    }

    void viewSwitchFromKeyboardMenu_keepsEditorOpen()
    {
        QFETCH(bool, altFirst);
        EditorSession session;
        QVERIFY(session.active);
        session.grid(TableId::City).setCurrentCell(5, 4);
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"77"_s);
        if (altFirst) {
            EditorSession::press(Qt::Key_Alt);
            EditorSession::press(Qt::Key_E);
        } else {
            EditorSession::press(Qt::Key_E, Qt::AltModifier);
        }
        QTRY_COMPARE(QApplication::activePopupWidget(), session.main().editMenu());
        QMenu* menu = session.main().editMenu();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(session.main().editItem(2)).center());
        QCOMPARE(session.main().visibleView(), session.view(TableId::City));
        QVERIFY(session.editor()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), session.editor());
        EditorSession::type(u"\r"_s);
        QCOMPARE(session.grid(TableId::City).text(5, 4), u"77"_s);
    }

    void viewSwitchWhileEditing_toLabelColumn_storesNothing()
    {
        // Typed over, the record number would send every later store of the row to another record.
        EditorSession session;
        QVERIFY(session.active);
        session.grid(TableId::Officer).setCurrentCell(4, 0);
        session.select(TableId::City, 3, 2);
        const QByteArray officers = session.block(TableId::Officer);
        const QByteArray cities = session.block(TableId::City);
        EditorSession::type(u"7"_s);
        session.main().editItem(1)->trigger();
        EditorSession::type(u"\r"_s);
        QVERIFY(!session.editor()->isVisible());
        QCOMPARE(session.grid(TableId::Officer).text(4, 0), u"3"_s);
        QCOMPARE(session.block(TableId::Officer), officers);
        QCOMPARE(session.block(TableId::City), cities);
        QCOMPARE(QApplication::focusWidget(), session.view(TableId::Officer));
    }

    void openFromFileMenuWhileEditing_keepsEditorForTheNewImage()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString other = session.dir.filePath(u"other.smc"_s);
        QVERIFY(QFile::copy(session.sample, other));
        session.select(TableId::Officer, 3, WarColumn);
        EditorSession::type(u"42"_s);

        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(files);
            files->setDirectory(session.dir.path());
            files->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(u"other.smc"_s);
            dialog->accept();
        };
        session.main().fileItem(0)->trigger();
        QCOMPARE(closer.dialogTitles, QStringList{u"ファイルを開く"_s});
        QCOMPARE(session.main().document().state().currentPath(), other);
        QVERIFY(session.editor()->isVisible());
        QCOMPARE(session.main().focusWidget(), session.editor());
        // The desktop gives the window back its activation when the dialog has gone; this platform
        // leaves that to the test.
        session.main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&session.main()));
        QCOMPARE(QApplication::focusWidget(), session.editor());
        QCOMPARE(session.editor()->text(), u"42"_s);

        EditorSession::type(u"\r"_s);
        QCOMPARE(session.grid(TableId::Officer).text(3, WarColumn), u"42"_s);
        QCOMPARE(session.officerByte(session.recordOfRow(TableId::Officer, 3), WarOffset), 42);
    }

    void editorGeometry_isCurrentCellOutsideLabelColumns_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("scrolledAway");
        QTest::newRow("officer near top") << TableId::Officer << 5 << WarColumn << false;
        QTest::newRow("city far right") << TableId::City << 100 << 17 << false;
        QTest::newRow("city cell scrolled under labels") << TableId::City << 10 << 2 << true;
    }

    void editorGeometry_isCurrentCellOutsideLabelColumns()
    {
        QFETCH(TableId, table);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, scrolledAway);
        EditorSession session;
        QVERIFY(session.active);
        GridView* view = session.view(table);
        // Narrow enough that no grid fits sideways, so that the label columns can hide cells.
        session.main().resize(560, 400);
        session.select(table, row, col);
        if (scrolledAway) {
            QVERIFY(view->horizontalScrollBar()->maximum() > 0);
            view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
            QVERIFY(!view->viewport()->rect().intersects(view->currentCellRect(view->viewport())));
        }
        EditorSession::type(u"1"_s);
        CellEditor* editor = session.editor();
        const QRect rect = editor->geometry();
        QCOMPARE(rect, view->currentCellRect(editor->parentWidget()));
        QVERIFY(rect.isValid());
        // Inside the scrolling cells: right of the label columns, below the header row.
        const QRect cells(view->viewport()->mapTo(editor->parentWidget(), QPoint(0, 0)), view->viewport()->size());
        QVERIFY2(cells.contains(rect), qPrintable(u"%1,%2"_s.arg(rect.x()).arg(rect.y())));
        QVERIFY(rect.left() >= cells.left() + view->frozenWidth());
        QCOMPARE(view->cellAt(editor->mapToGlobal(editor->rect().center())), (GridCell{row, col}));
    }
};

TAVRIN_TEST(CellEditorTest)
#include "celleditortest.moc"
