#include "documentcontent.h"
#include "../platform/modalcloser.h"
#include "clipboard.h"
#include "editorsession.h"
#include "fieldedit.h"
#include "frmedit.h"
#include "officertable.h"
#include "officerwar.h"
#include "tableidmetatype.h"
#include "testregistry.h"

#include <QClipboard>
#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int LifespanOffset = 4;
const QString Sentinel = u"left on the clipboard"_s;

// The centre of a data cell in the view's viewport, scrolled into sight first.
QPoint cellCentre(GridView* view, int row, int col)
{
    const QModelIndex index = view->model()->index(GridModel::toModelRow(row), col);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

// A double-click as the desktop delivers it: the first click comes as a press and a release, and
// only the second as a double-click. (QTest's double-click alone skips the first click.)
void doubleClick(QWidget* target, const QPoint& at)
{
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
}

QPoint headerCentre(GridView* view, int col)
{
    const QHeaderView* header = view->horizontalHeader();
    return QPoint(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
}

// The numbers of a column from the first data row down.
QList<int> columnNumbers(const Grid& grid, int col)
{
    QList<int> numbers;
    for (int row = 1; row < grid.rows(); ++row)
        numbers << grid.text(row, col).toInt();
    return numbers;
}

// A record whose lifespan byte carries bits in its lower nibble, which no cell shows.
int recordWithLowLifespanBits(EditorSession& session)
{
    for (int n = 0; n < OfficerTable::RecordCount; ++n)
        if (session.officerByte(n, LifespanOffset) & 0x0F)
            return n;
    return -1;
}

} // namespace

class OfficerGridCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlC_copiesSelectionAsTabsAndCarriageReturns_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("copies");
        QTest::newRow("ctrl") << int(Qt::ControlModifier) << true;
        QTest::newRow("ctrl shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("ctrl alt") << int(Qt::ControlModifier | Qt::AltModifier) << false;
        QTest::newRow("c alone") << int(Qt::NoModifier) << false;
    }

    void ctrlC_copiesSelectionAsTabsAndCarriageReturns()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, copies);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 1, 0);
        // Rows 1 and 2, columns 0 and 1, selected from the keyboard as a user does.
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::press(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(std::min(grid.row(), grid.rowSel()), 1);
        QCOMPARE(std::max(grid.row(), grid.rowSel()), 2);
        QCOMPARE(std::min(grid.col(), grid.colSel()), 0);
        QCOMPARE(std::max(grid.col(), grid.colSel()), 1);
        QGuiApplication::clipboard()->setText(Sentinel);

        EditorSession::press(Qt::Key_C, Qt::KeyboardModifiers(modifiers));
        const QString expected = u"0\t"_s + grid.text(1, 1) + u"\r1\t"_s + grid.text(2, 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), copies ? expected : Sentinel);
        QVERIFY(!session.editor()->isVisible());
    }

    void ctrlC_onEveryGrid_copiesItsSelection_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::newRow("cities") << TableId::City;
        QTest::newRow("items") << TableId::Item;
        QTest::newRow("forces") << TableId::Force;
        QTest::newRow("placement") << TableId::Placement;
    }

    void ctrlC_onEveryGrid_copiesItsSelection()
    {
        QFETCH(TableId, table);
        EditorSession session;
        QVERIFY(session.active);
        session.select(table, 2, 1);
        Grid& grid = session.grid(table);
        // The selection as the user makes it, from the keyboard.
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::press(Qt::Key_Right, Qt::ShiftModifier);
        const QString expected = grid.text(2, 1) + u'\t' + grid.text(2, 2) + u'\r' + grid.text(3, 1) + u'\t' +
                                 grid.text(3, 2) + u'\r' + grid.text(4, 1) + u'\t' + grid.text(4, 2);
        QGuiApplication::clipboard()->setText(Sentinel);
        EditorSession::press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    }

    void copyTextToClipboard_keepsTextExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("cells") << u"0\t0A1B2C3D4E5F\r1\t000000000000"_s;
        QTest::newRow("empty cell") << QString();
        QTest::newRow("outside code page 932") << u"\u9134\t下\u90B3\r\u8B59"_s;
    }

    void copyTextToClipboard_keepsTextExactly()
    {
        QFETCH(QString, text);
        QGuiApplication::clipboard()->setText(Sentinel);
        QVERIFY(Clipboard::CopyTextToClipboard(text));
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }

    void headerDoubleClick_sortsDescendingThenAscending()
    {
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        GridView* view = session.view(TableId::Officer);
        Grid& grid = session.grid(TableId::Officer);
        const QPoint header = headerCentre(view, WarColumn);

        doubleClick(view->horizontalHeader()->viewport(), header);
        QList<int> war = columnNumbers(grid, WarColumn);
        QVERIFY(std::is_sorted(war.begin(), war.end(), std::greater<>()));
        QVERIFY(war.first() > war.last());
        QCOMPARE(session.caption(), session.pathCaption());
        // Rows move whole: each still shows its own record's value.
        for (int row = 1; row < grid.rows(); row += 37)
            QCOMPARE(grid.text(row, WarColumn).toInt(), session.officerByte(grid.text(row, 0).toInt(), WarOffset));
        QCOMPARE(view->model()->index(0, WarColumn).data().toString(), grid.text(1, WarColumn));

        doubleClick(view->horizontalHeader()->viewport(), header);
        war = columnNumbers(grid, WarColumn);
        QVERIFY(std::is_sorted(war.begin(), war.end()));
        QVERIFY(war.first() < war.last());
    }

    void dataRowDoubleClick_closedWithoutOk_storesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << u"cancel"_s;
        QTest::newRow("Escape") << u"escape"_s;
        QTest::newRow("close box") << u"close"_s;
    }

    void dataRowDoubleClick_closedWithoutOk_storesNothing()
    {
        QFETCH(QString, how);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        // The lower half of byte 4 is shown nowhere; a row stored from its cells would clear it.
        const int record = recordWithLowLifespanBits(session);
        QVERIFY(record >= 0);
        const int row = record + 1;
        GridView* view = session.view(TableId::Officer);
        Grid& grid = session.grid(TableId::Officer);
        const QStringList texts = rowTexts(grid, row);
        const QByteArray expected = session.block(TableId::Officer);

        ModalCloser closer;
        QString shownName;
        closer.onDialog = [&](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            QVERIFY(edit);
            shownName = edit->box(0)->text();
            edit->box(2)->setText(u"12"_s);
            if (how == u"cancel"_s)
                edit->button(1)->click();
            else if (how == u"escape"_s)
                QTest::keyClick(edit->box(2), Qt::Key_Escape);
            else
                edit->close();
        };
        doubleClick(view->viewport(), cellCentre(view, row, WarColumn));
        QCOMPARE(closer.dialogTitles, QStringList{u"武将編集"_s});
        QCOMPARE(shownName, texts.at(1));
        QCOMPARE(rowTexts(grid, row), texts);
        QCOMPARE(session.block(TableId::Officer), expected);
        QCOMPARE(stackOf(session).count(), 0);
    }

    // OK on an officer whose byte 4 has a lower half and whose reading is shorter than its bytes:
    // exactly the fields that changed are written, every cell then shows what its bytes hold, and
    // the tint marks exactly the cells whose bytes changed. Boxes are set by index (k shows column k + 1).
    void dataRowDoubleClick_ok_storesAndTintsExactlyWhatChanged_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text"); // "lower" lower-cases what the box shows
        QTest::addColumn<QList<int>>("offsets");
        QTest::newRow("nothing changed") << -1 << QString() << QList<int>{};
        QTest::newRow("武力 only") << 2 << u"201"_s << QList<int>{WarOffset};
        QTest::newRow("寿命") << 13 << u"8"_s << QList<int>{LifespanOffset};
        QTest::newRow("name typed in lower case") << 0 << u"lower"_s << QList<int>{};
    }

    void dataRowDoubleClick_ok_storesAndTintsExactlyWhatChanged()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QList<int>, offsets);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        int record = -1;
        for (int n = 0; n < OfficerTable::RecordCount && record < 0; ++n)
            if ((session.officerByte(n, LifespanOffset) & 0x0F) &&
                grid.text(n + 1, OfficerTable::ReadingColumn).endsWith(QChar(0)) &&
                grid.text(n + 1, OfficerTable::LifespanColumn) != u"8"_s)
                record = n;
        QVERIFY(record >= 0);
        const int row = record + 1;
        const QByteArray before = session.block(TableId::Officer);
        const QString marker = grid.text(row, OfficerTable::MarkerColumn);

        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            QVERIFY(edit);
            if (box >= 0)
                edit->box(box)->setText(text == u"lower"_s ? edit->box(box)->text().toLower() : text);
            QTimer::singleShot(0, edit->button(0), &QPushButton::click);
        };
        GridView* view = session.view(TableId::Officer);
        doubleClick(view->viewport(), cellCentre(view, row, WarColumn));
        QCOMPARE(closer.dialogTitles.size(), 1);

        const QByteArray& after = session.block(TableId::Officer);
        QList<int> changed;
        for (qsizetype i = 0; i < after.size(); ++i)
            if (after[i] != before[i])
                changed << int(i - qsizetype(record) * OfficerTable::RecordSize);
        QCOMPARE(changed, offsets);
        QCOMPARE(stackOf(session).count(), offsets.isEmpty() ? 0 : 1);
        QList<int> tinted;
        for (int c = 0; c < grid.cols(); ++c)
            if (grid.isChanged(row, c))
                tinted << c;
        // The class marker follows the fields it is worked out from.
        QList<int> expected = offsets.isEmpty() ? QList<int>{} : QList<int>{box + frmEdit::FirstColumn};
        if (grid.text(row, OfficerTable::MarkerColumn) != marker)
            expected << OfficerTable::MarkerColumn;
        QCOMPARE(tinted, expected);
        QCOMPARE(staleCells(session.main().document(), TableId::Officer), QStringList());
    }

    void dataRowDoubleClick_ok_reachesViewAndBlock()
    {
        EditorSession session;
        QVERIFY(session.active);
        constexpr int Row = 9;
        GridView* view = session.view(TableId::Officer);
        const int record = session.grid(TableId::Officer).text(Row, 0).toInt();
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            QVERIFY(edit);
            edit->box(2)->setText(u"99"_s);
            edit->box(13)->setText(u"5"_s);
            // Clicked from the event loop: a message OK raised here would otherwise have no one to answer it.
            QTimer::singleShot(0, edit->button(0), &QPushButton::click);
        };
        doubleClick(view->viewport(), cellCentre(view, Row, 8));
        QCOMPARE(closer.dialogTitles.size(), 1);
        QCOMPARE(closer.texts, QStringList());
        QCOMPARE(view->model()->index(GridModel::toModelRow(Row), WarColumn).data().toString(), u"99"_s);
        QCOMPARE(view->model()->index(GridModel::toModelRow(Row), OfficerTable::LifespanColumn).data().toString(),
                 u"5"_s);
        QCOMPARE(session.officerByte(record, WarOffset), 99);
        QCOMPARE(session.officerByte(record, LifespanOffset), 0x50);
    }

    void space_decidesByThePointer_data()
    {
        QTest::addColumn<bool>("overHeader");
        QTest::newRow("pointer over a data row opens the dialog") << false;
        QTest::newRow("pointer over the header sorts") << true;
    }

    void space_decidesByThePointer()
    {
        QFETCH(bool, overHeader);
        EditorSession session;
        QVERIFY(session.active);
        QVERIFY(session.save());
        GridView* view = session.view(TableId::Officer);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 4, WarColumn);
        const QStringList texts = rowTexts(grid, 4);
        QCursor::setPos(overHeader ? view->horizontalHeader()->viewport()->mapToGlobal(headerCentre(view, WarColumn))
                                   : view->viewport()->mapToGlobal(cellCentre(view, 20, 6)));
        ModalCloser closer;
        EditorSession::type(u" "_s);
        QCOMPARE(closer.dialogTitles, overHeader ? QStringList() : QStringList{u"武将編集"_s});
        QCOMPARE(session.caption(), session.pathCaption());
        QVERIFY(!session.editor()->isVisible());
        const QList<int> war = columnNumbers(grid, WarColumn);
        QCOMPARE(std::is_sorted(war.begin(), war.end(), std::greater<>()), overHeader);
        if (!overHeader)
            QCOMPARE(rowTexts(grid, 4), texts);
    }

    void doubleClick_beforeAnyOpen_opensNoDialog()
    {
        EditorSession session(false);
        QVERIFY(session.active);
        GridView* view = session.view(TableId::Officer);
        ModalCloser closer;
        doubleClick(view->viewport(), cellCentre(view, 3, WarColumn));
        QTest::qWait(50);
        QVERIFY(closer.dialogTitles.isEmpty());
        QCOMPARE(session.caption(), EditorState::applicationTitle());
    }

    void rightButton_showsPopupAtPointerAndLeavesSelection()
    {
        EditorSession session;
        QVERIFY(session.active);
        GridView* view = session.view(TableId::Officer);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 5, WarColumn);
        grid.setSelectionEnd(6, 4);
        const QPoint at = cellCentre(view, 10, 6);

        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
        QMenu* menu = session.main().busyoMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
        QCOMPARE(menu->pos(), view->viewport()->mapToGlobal(at));
        QCOMPARE(grid.row(), 5);
        QCOMPARE(grid.col(), WarColumn);
        QCOMPARE(grid.rowSel(), 6);
        QCOMPARE(grid.colSel(), 4);

        QAction* longLife = session.main().busyoItem(2);
        QCOMPARE(longLife->text(), u"長寿命化"_s);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(longLife).center());
        QTRY_VERIFY(!menu->isVisible());
        for (int row = 1; row < grid.rows(); ++row)
            QCOMPARE(grid.text(row, OfficerTable::LifespanColumn), u"7"_s);
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            QCOMPARE(session.officerByte(n, LifespanOffset), 0x70);
        QCOMPARE(view->model()->index(0, OfficerTable::LifespanColumn).data().toString(), u"7"_s);
    }

    void popup_onlyForRightButtonOnOfficerGrid_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<int>("button");
        QTest::newRow("middle on officers") << TableId::Officer << int(Qt::MiddleButton);
        QTest::newRow("left on officers") << TableId::Officer << int(Qt::LeftButton);
        QTest::newRow("right on cities") << TableId::City << int(Qt::RightButton);
    }

    void popup_onlyForRightButtonOnOfficerGrid()
    {
        QFETCH(TableId, table);
        QFETCH(int, button);
        EditorSession session;
        QVERIFY(session.active);
        session.select(table, 3, 3);
        GridView* view = session.view(table);
        QTest::mouseClick(view->viewport(), Qt::MouseButton(button), {}, cellCentre(view, 6, 3));
        QTest::qWait(50);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }
};

TAVRIN_TEST(OfficerGridCommandsTest)
#include "officergridcommandstest.moc"
