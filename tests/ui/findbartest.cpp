#include "editorsession.h"
#include "filebytes.h"
#include "findbar.h"
#include "findbarsteps.h"
#include "findcommands.h"
#include "gridfind.h"
#include "gotodialog.h"
#include "../platform/modalcloser.h"
#include "officertable.h"
#include "testregistry.h"

#include <QBrush>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

constexpr int NameCol = 1;
constexpr int ReadingCol = 2;
constexpr int WarCol = 3;
constexpr int LifespanCol = OfficerTable::LifespanColumn;

// The records the officer grid shows, in row order, counted from the cells.
QStringList shownRecords(EditorSession& session)
{
    Grid& grid = session.grid(TableId::Officer);
    GridView* view = session.view(TableId::Officer);
    QStringList records;
    for (int r = 1; r < grid.rows(); ++r)
        if (!view->isRowHidden(GridModel::toModelRow(r)))
            records << grid.text(r, 0);
    return records;
}

void saveShot(QWidget& widget, const QString& name)
{
    if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
        widget.grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u'/' + name);
}

} // namespace

// The find bar, the filter, go-to and the names from the list, in the real window.
class FindBarTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editMenu_listsFindAndGoToBeforeTheViews()
    {
        EditorSession session;
        QVERIFY(session.active);
        QStringList texts;
        for (const QAction* action : session.main().editMenu()->actions())
            texts << (action->isSeparator() ? u"-"_s : action->text());
        const qsizetype find = texts.indexOf(u"検索..."_s);
        QVERIFY(find > texts.indexOf(u"やり直し(&R)"_s));
        QCOMPARE(texts.mid(find),
                 (QStringList{u"検索..."_s, u"移動..."_s, u"一括変更..."_s, u"-"_s, u"次の相違"_s, u"前の相違"_s,
                              u"比較先の値を取り込む"_s, u"比較先の値をすべて取り込む"_s, u"-"_s, u"武将"_s, u"都市"_s,
                              u"アイテム"_s, u"勢力"_s, u"配置"_s}));
        QCOMPARE(session.main().findAction()->shortcut(), QKeySequence(u"Ctrl+F"_s));
        QCOMPARE(session.main().goToAction()->shortcut(), QKeySequence(u"Ctrl+G"_s));
        QCOMPARE(session.main().batchAction()->shortcut(), QKeySequence(u"Ctrl+H"_s));
    }

    // Ctrl+H, a preview as the text is typed, Enter as one undo step on the shown rows only, undo, an
    // error, and Escape that changes nothing.
    void batch_previewsThenChangesTheShownRowsAsOneStep()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        QUndoStack& stack = session.main().session().undoStack();
        session.select(TableId::Officer, 1, WarCol);
        openBar(session);
        typeFilter(session, u"武力<50"_s);
        const QStringList shown = shownRecords(session);
        QVERIFY(shown.size() > 2 && shown.size() < 500);
        const QByteArray before = session.block(TableId::Officer);
        QStringList wars;
        for (int r = 1; r < grid.rows(); ++r)
            wars << grid.text(r, WarCol);

        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), bar(session).batchEdit());
        commit(bar(session).batchEdit(), u"武力＋＝１０"_s);
        const QString rows = QString::number(shown.size());
        QCOMPARE(bar(session).message(), rows + u" 行、"_s + rows + u" セルが変わります"_s);
        saveShot(session.main(), u"batch-preview.png"_s);
        QCOMPARE(session.block(TableId::Officer), before);

        EditorSession::press(Qt::Key_Return);
        QCOMPARE(stack.undoText(), u"一括変更: 武力＋＝１０ ("_s + rows + u" 行)"_s);
        QCOMPARE(bar(session).message(), rows + u" 行、"_s + rows + u" セルを変更しました"_s);
        for (int r = 1; r < grid.rows(); ++r) {
            const int record = session.recordOfRow(TableId::Officer, r);
            const int expected = wars[r - 1].toInt() + (shown.contains(grid.text(r, 0)) ? 10 : 0);
            QCOMPARE(grid.text(r, WarCol), QString::number(expected));
            QCOMPARE(session.officerByte(record, 7), expected);
        }
        const int changedRow = int(shown.first().toInt()) + 1;
        const QModelIndex cell =
            session.view(TableId::Officer)->model()->index(GridModel::toModelRow(changedRow), WarCol);
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(), GridModel::changedCellTint());

        // In the box Ctrl+Z undoes its text, as in any text box; on the grid it undoes the step.
        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(grid.text(changedRow, WarCol), wars[changedRow - 1]);

        // Back in the box, the bar says again what Enter would do now.
        bar(session).batchEdit()->setFocus();
        QCOMPARE(bar(session).message(), rows + u" 行、"_s + rows + u" セルが変わります"_s);
        bar(session).batchEdit()->selectAll();
        commit(bar(session).batchEdit(), u"武力+=(知力"_s);
        QCOMPARE(bar(session).message(), u"8 文字目: 式が途中で終わっています（)が要ります）。"_s);
        saveShot(session.main(), u"batch-error.png"_s);
        commit(bar(session).batchEdit(), u")"_s);
        EditorSession::press(Qt::Key_Escape);
        QVERIFY(!bar(session).isVisible());
        QCOMPARE(session.block(TableId::Officer), before);
        QCOMPARE(stack.undoText(), QString());
    }

    void find_movesForwardAndBackWithWrap()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        // Three officers read ｿｳｿｳ; no other reading holds it.
        for (int r = 1; r < grid.rows(); ++r)
            grid.setText(r, ReadingCol, u"ｱｲ"_s);
        for (const int r : {40, 7, 300})
            grid.setText(r, ReadingCol, u"ｿｳｿｳ"_s);
        session.select(TableId::Officer, 20, 0);
        openBar(session);
        QVERIFY(bar(session).isVisible());
        QCOMPARE(QApplication::focusWidget(), bar(session).findEdit());

        // Full-width katakana finds the half-width reading as it is typed.
        typeFind(session, u"ソウソウ"_s);
        QCOMPARE(grid.row(), 40);
        QCOMPARE(grid.col(), ReadingCol);
        const struct
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int row;
            bool wraps;
        } steps[] = {
            {Qt::Key_Return, Qt::NoModifier, 300, false}, {Qt::Key_Return, Qt::NoModifier, 7, true},
            {Qt::Key_F3, Qt::NoModifier, 40, false},      {Qt::Key_Return, Qt::ShiftModifier, 7, false},
            {Qt::Key_F3, Qt::ShiftModifier, 300, true},
        };
        for (const auto& step : steps) {
            EditorSession::press(step.key, step.modifiers);
            QCOMPARE(grid.row(), step.row);
            QCOMPARE(bar(session).message().isEmpty(), !step.wraps);
        }
        saveShot(session.main(), u"find-bar-wrapped.png"_s);
        const QModelIndex current = session.view(TableId::Officer)->currentIndex();
        QVERIFY(session.view(TableId::Officer)
                    ->viewport()
                    ->rect()
                    .intersects(session.view(TableId::Officer)->visualRect(current)));

        // Case does not count either: hex names are found in lower case.
        const QString hex = grid.text(123, NameCol);
        typeFind(session, hex.toLower());
        QCOMPARE(grid.text(grid.row(), grid.col()).toLower(), hex.toLower());

        typeFind(session, u"ゾ"_s);
        QCOMPARE(bar(session).message(), u"見つかりません"_s);

        EditorSession::press(Qt::Key_Escape);
        QVERIFY(!bar(session).isVisible());
        QCOMPARE(QApplication::focusWidget(), session.view(TableId::Officer));
    }

    void filter_showsMatchingRowsWithTheirCount()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        // The rows that should stay, found from the cells themselves.
        const QString word = grid.text(1, ReadingCol).left(1);
        QStringList expected;
        for (int r = 1; r < grid.rows(); ++r)
            if (grid.text(r, WarCol).toInt() >= 60 && grid.text(r, LifespanCol).toInt() <= 5 &&
                grid.text(r, ReadingCol).contains(word))
                expected << grid.text(r, 0);
        QVERIFY(!expected.isEmpty());

        session.select(TableId::Officer, 1, WarCol);
        openBar(session);
        typeFilter(session, u"武力>=60 寿命<=5 "_s + word);
        QCOMPARE(bar(session).message(), QString());
        QCOMPARE(shownRecords(session), expected);
        QCOMPARE(bar(session).countText(), u"532 件中 "_s + QString::number(expected.size()) + u" 件"_s);
        QVERIFY(!grid.isRowHidden(grid.row()));
        saveShot(session.main(), u"find-bar-filter.png"_s);

        // A wrong word typed after them is reported, and the rows stay as they were.
        QTest::keyClick(bar(session).filterEdit(), Qt::Key_End);
        commit(bar(session).filterEdit(), u" 知力x<3"_s);
        QCOMPARE(bar(session).message(), u"「知力x」という列はありません。"_s);
        saveShot(session.main(), u"find-bar-filter-error.png"_s);
        QCOMPARE(shownRecords(session), expected);

        // Cleared, every row is back in its order.
        typeFilter(session, QString());
        QCOMPARE(shownRecords(session).size(), 532);
        QCOMPARE(shownRecords(session).first(), u"0"_s);
        QCOMPARE(bar(session).countText(), u"532 件中 532 件"_s);
    }

    void filter_belongsToTheGridItWasAppliedTo()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& placement = session.grid(TableId::Placement);
        session.select(TableId::Placement, 1, 2);
        openBar(session);
        typeFilter(session, u"S3所在!=12 S1兵士>0"_s);
        int expected = 0;
        for (int r = 1; r < placement.rows(); ++r)
            expected += placement.text(r, 13).toInt() != 12 && placement.text(r, 2).toInt() > 0;
        QCOMPARE(placement.shownRowCount(), expected);
        QVERIFY(expected < 531);
        QCOMPARE(bar(session).countText(), u"531 件中 "_s + QString::number(expected) + u" 件"_s);

        // The officer grid has no filter of its own; back on the placement grid, its filter shows again.
        session.main().editItemClicked(EditorSession::editIndexOf(TableId::Officer));
        QCOMPARE(session.main().visibleView(), session.view(TableId::Officer));
        QCOMPARE(bar(session).filterText(), QString());
        QCOMPARE(bar(session).countText(), u"532 件中 532 件"_s);
        session.main().editItemClicked(EditorSession::editIndexOf(TableId::Placement));
        QCOMPARE(bar(session).filterText(), u"S3所在!=12 S1兵士>0"_s);
        QCOMPARE(placement.shownRowCount(), expected);
    }

    void filter_copyPasteAndSortWorkOnShownRows()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 1, WarCol);
        openBar(session);
        typeFilter(session, u"武力>=80"_s);
        const QStringList shown = shownRecords(session);
        QVERIFY(shown.size() > 2 && shown.size() < 500);

        // Ctrl+A and Ctrl+C on the grid copy the shown rows only.
        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_A, Qt::ControlModifier);
        EditorSession::press(Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split(u'\r');
        QCOMPARE(lines.size(), shown.size());
        QCOMPARE(lines.first().section(u'\t', 0, 0), shown.first());
        QCOMPARE(lines.last().section(u'\t', 0, 0), shown.last());

        // A pasted column lands in consecutive shown rows, skipping the hidden ones between them.
        const int first = grid.nextShownRow(0, 1);
        const int second = grid.nextShownRow(first, 1);
        // Keyboard moves pass over hidden rows.
        session.select(TableId::Officer, first, WarCol);
        EditorSession::press(Qt::Key_Down);
        QCOMPARE(grid.row(), second);
        EditorSession::press(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.row(), grid.nextShownRow(grid.rows(), -1));
        session.select(TableId::Officer, first, WarCol);
        QGuiApplication::clipboard()->setText(u"81\r\n82"_s);
        EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.text(first, WarCol), u"81"_s);
        QCOMPARE(grid.text(second, WarCol), u"82"_s);

        // Sorting sorts the whole grid: shown rows come in order, hidden ones stay hidden among them.
        const QHeaderView* header = session.view(TableId::Officer)->horizontalHeader();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->sectionViewportPosition(WarCol) + 5, header->height() / 2));
        QStringList values;
        for (int r = 1; r < grid.rows(); ++r)
            if (!grid.isRowHidden(r))
                values << grid.text(r, WarCol);
        QCOMPARE(values.size(), shown.size());
        for (int i = 1; i < values.size(); ++i)
            QVERIFY(values[i - 1].toInt() >= values[i].toInt());
        typeFilter(session, QString());
        for (int r = 2; r < grid.rows(); ++r)
            QVERIFY(grid.text(r - 1, WarCol).toInt() >= grid.text(r, WarCol).toInt());
    }

    void filter_editedRowStaysUntilAppliedAndUndoClearsIt()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 1, WarCol);
        openBar(session);
        typeFilter(session, u"武力>=80"_s);
        const int row = grid.nextShownRow(0, 1);
        const QString record = grid.text(row, 0);
        const QString war = grid.text(row, WarCol);
        const int count = grid.shownRowCount();

        session.select(TableId::Officer, row, WarCol);
        EditorSession::type(u"\r\b\b\b10\r"_s);
        QCOMPARE(grid.text(row, WarCol), u"10"_s);
        QVERIFY(!grid.isRowHidden(row));

        // Applied again (Enter in its box), the filter hides the row.
        bar(session).filterEdit()->setFocus();
        EditorSession::press(Qt::Key_Return);
        QVERIFY(grid.isRowHidden(row));
        QCOMPARE(grid.shownRowCount(), count - 1);

        // Undo shows what it changed back: the filter goes.
        session.view(TableId::Officer)->setFocus();
        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.text(grid.row(), 0), record);
        QCOMPARE(grid.text(grid.row(), WarCol), war);
        QVERIFY(!grid.hasHiddenRows());
        QCOMPARE(bar(session).filterText(), QString());
        QCOMPARE(bar(session).countText(), u"532 件中 532 件"_s);
    }

    void goTo_makesTheRecordCurrentAndRefusesOthers()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        // Sorted, so that row and record differ.
        session.main().document().officers().sortGrid(WarCol);
        session.select(TableId::Officer, 1, WarCol);
        // A find that failed before leaves its message, which the go to must not leave standing.
        openBar(session);
        typeFind(session, u"見当たらない言葉"_s);
        QCOMPARE(bar(session).message(), u"見つかりません"_s);
        session.view(TableId::Officer)->setFocus();
        QStringList refusals;
        ModalCloser closer(QMessageBox::Ok, ModalCloser::LeaveDialogs);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<GoToDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            for (const QString& typed : {u"532"_s, u"abc"_s, u"４１７"_s}) {
                dialog->numberEdit()->setText(typed);
                QTest::keyClick(dialog->numberEdit(), Qt::Key_Return);
                if (dialog->isVisible()) {
                    refusals << dialog->message();
                    saveShot(*dialog, u"go-to-refused.png"_s);
                }
            }
        });
        EditorSession::press(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(refusals.size(), 2);
        QCOMPARE(refusals[0], u"番号 532 はありません。0 から 531 までの番号を入れてください。"_s);
        QCOMPARE(refusals[1], u"番号を数字で入れてください。0 から 531 までの番号を入れてください。"_s);
        QCOMPARE(grid.text(grid.row(), 0), u"417"_s);
        QCOMPARE(grid.col(), WarCol);
        QCOMPARE(bar(session).message(), QString());
    }

    void names_foundBesideTheImageShownAndMatched()
    {
        // The working directory holds no list; the image's folder does.
        EditorSession session(false);
        QVERIFY(session.active);
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        session.main().document().setNameListPath(u"b.txt"_s);
        QByteArray list;
        for (int n = 0; n < 532; ++n)
            list += "Officer" + QByteArray::number(n) + "\r\n";
        list.replace("Officer17\r\n", "\x91\x82\x91\x80\r\n"); // 曹操 in Shift-JIS
        QVERIFY(writeFileBytes(session.dir.filePath(u"b.txt"_s), list));
        session.main().openImage(session.sample);
        QDir::setCurrent(previous);

        Grid& grid = session.grid(TableId::Officer);
        GridView* view = session.view(TableId::Officer);
        const int row = *GridFind::rowOfRecord(grid, 17);
        const auto tip = [&](int col) {
            return view->model()->index(GridModel::toModelRow(row), col).data(Qt::ToolTipRole).toString();
        };
        QCOMPARE(tip(0), u"曹操"_s);
        QCOMPARE(tip(NameCol), u"曹操"_s);
        QCOMPARE(tip(WarCol), QString());
        QCOMPARE(grid.cols(), 20);
        QCOMPARE(session.grid(TableId::Placement).text(18, 1), u"曹操"_s);

        session.select(TableId::Officer, row, WarCol);
        EditorSession::type(u"\r\b\b\b7\r"_s);
        QCOMPARE(tip(WarCol).startsWith(u"元の値: "_s), true);
        // A changed name cell shows the list name above its old value.
        const QString oldName = grid.text(row, NameCol);
        session.select(TableId::Officer, row, NameCol);
        QGuiApplication::clipboard()->setText(u"0102030405AB"_s);
        EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.text(row, NameCol), u"0102030405AB"_s);
        QCOMPARE(tip(NameCol), u"曹操\n元の値: "_s + oldName);

        openBar(session);
        typeFind(session, u"曹操"_s);
        QCOMPARE(grid.row(), row);
        QCOMPARE(grid.col(), NameCol);
        typeFilter(session, u"officer12"_s);
        QCOMPARE(shownRecords(session), (QStringList{u"12"_s, u"120"_s, u"121"_s, u"122"_s, u"123"_s, u"124"_s,
                                                     u"125"_s, u"126"_s, u"127"_s, u"128"_s, u"129"_s}));
    }
};

TAVRIN_TEST(FindBarTest)
#include "findbartest.moc"
