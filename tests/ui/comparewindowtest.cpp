#include "comparebar.h"
#include "comparecommands.h"
#include "comparedsample.h"
#include "comparison.h"
#include "copierheader.h"
#include "documentcontent.h"
#include "editorsession.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "findbar.h"
#include "findcommands.h"
#include "imageblocks.h"
#include "../platform/modalcloser.h"
#include "patchfile.h"
#include "tableidmetatype.h"
#include "testregistry.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

const QString AllDifferences = u"相違 6 セル（武将 2、都市 1、アイテム 1、勢力 1、配置 1）"_s;
const QString OutsideNote = u"　表の外でも 1 バイト違います（取り込みません）"_s;

CompareCommands& comparing(EditorSession& session)
{
    return session.main().compareCommands();
}

QModelIndex comparedCell(EditorSession& session, TableId id, int row, int col)
{
    const GridModel* model = session.view(id)->gridModel();
    return model->index(GridModel::toModelRow(row), col);
}

bool isMarked(EditorSession& session, TableId id, int row, int col)
{
    return comparedCell(session, id, row, col).data(GridModel::ComparedRole).toBool();
}

// Writes the other side as a file of the kind its extension names, beside the sample.
QString writeOtherSide(EditorSession& session, const ComparedSample& s, const QString& name)
{
    QByteArray bytes = s.other;
    if (name.endsWith(u".sfc"_s))
        bytes = CopierHeader::removed(s.other).bytes;
    else if (name.endsWith(u".ips"_s))
        bytes = PatchFile::create(PatchFormat::Ips, s.original, s.other).bytes;
    else if (name.endsWith(u".bps"_s))
        bytes = PatchFile::create(PatchFormat::Bps, s.original, s.other).bytes;
    else if (name.startsWith(u"same"_s))
        bytes = s.original;
    const QString path = session.dir.filePath(name);
    return writeFileBytes(path, bytes) ? path : QString();
}

// A session comparing the sample with the other image, of either form or as a patch.
struct ComparingSession : EditorSession
{
    ComparedSample s{readFileBytes(sample)};
    QString other;

    explicit ComparingSession(const QString& name = u"friend.smc"_s)
    {
        other = writeOtherSide(*this, s, name);
        if (!comparing(*this).compareWith(other))
            other.clear();
    }
    CompareBar& bar() { return comparing(*this).bar(); }
};

void commitText(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

// ファイル > 比較... through the real window: marks and their tooltips on every grid, the bar, F7 and
// Shift+F7, the filter word 相違, taking a selection or everything as one undo step, and the marks
// following edits.
class CompareWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compare_marksEachDifferingStoredCell_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("throughMenu");
        QTest::addColumn<QString>("summary");
        QTest::newRow("image without header, Ctrl+D")
            << u"friend.sfc"_s << true << u"比較先: friend.sfc　"_s + AllDifferences + OutsideNote;
        QTest::newRow("IPS patch") << u"fix.ips"_s << false
                                   << u"比較先: fix.ips（パッチを当てた結果）　"_s + AllDifferences + OutsideNote;
        QTest::newRow("BPS patch") << u"fix.bps"_s << false
                                   << u"比較先: fix.bps（パッチを当てた結果）　"_s + AllDifferences + OutsideNote;
        QTest::newRow("the same image") << u"same.smc"_s << false << u"比較先: same.smc　相違はありません"_s;
    }

    void compare_marksEachDifferingStoredCell()
    {
        QFETCH(QString, name);
        QFETCH(bool, throughMenu);
        QFETCH(QString, summary);
        EditorSession session;
        QVERIFY(session.active);
        const ComparedSample s(readFileBytes(session.sample));
        const QString other = writeOtherSide(session, s, name);
        QVERIFY(!comparing(session).isBarOpen());
        QVERIFY(!session.main().fileItem(14)->isEnabled());
        if (throughMenu) {
            ModalCloser closer;
            closer.onDialog = [&](QDialog* dialog) { chooseInFileDialog(dialog, other); };
            EditorSession::press(Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(closer.dialogTitles, QStringList{u"比較"_s});
        } else {
            QVERIFY(comparing(session).compareWith(other));
        }
        QVERIFY(comparing(session).isBarOpen());
        QCOMPARE(comparing(session).bar().summary(), summary);
        QVERIFY(session.main().fileItem(14)->isEnabled());
        const bool same = name.startsWith(u"same"_s);
        for (const ComparedValue& value : s.values) {
            const int row = value.record + 1;
            QCOMPARE(isMarked(session, value.table, row, value.col), !same);
            const QString tip = comparedCell(session, value.table, row, value.col).data(Qt::ToolTipRole).toString();
            QCOMPARE(tip.endsWith(u"比較先: "_s + value.text), !same);
            QVERIFY(!isMarked(session, value.table, row, value.col + 1));
            QVERIFY(!isMarked(session, value.table, row + 1, value.col));
        }
        // The name list's tooltip line stays above.
        QVERIFY(!isMarked(session, TableId::Officer, 6, 0));
        for (const TableId id : AllTables)
            QCOMPARE(session.grid(id).shownRowCount(), session.grid(id).rows() - 1);
    }

    void f7_walksTheMarkedCellsAndWraps_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("message");
        const QKeyCombination f7(Qt::Key_F7);
        const QKeyCombination back(Qt::SHIFT, Qt::Key_F7);
        QTest::newRow("first") << QList{f7} << 6 << 3 << QString();
        QTest::newRow("second") << QList{f7, f7} << 301 << 14 << QString();
        QTest::newRow("past the last") << QList{f7, f7, f7} << 6 << 3
                                       << u"最後の相違まで進みました。先頭から続けます。"_s;
        QTest::newRow("back past the first") << QList{f7, back} << 301 << 14
                                             << u"最初の相違まで戻りました。最後から続けます。"_s;
    }

    void f7_walksTheMarkedCellsAndWraps()
    {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, message);
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        session.select(TableId::Officer, 1, 1);
        for (const QKeyCombination key : keys)
            EditorSession::press(key.key(), key.keyboardModifiers());
        const Grid& grid = session.grid(TableId::Officer);
        QCOMPARE(QList({grid.row(), grid.col()}), QList({row, col}));
        QCOMPARE(session.bar().message(), message);
    }

    void f7_onAGridWithoutMarksSaysSo()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        // The city grid's one mark taken, it has none left.
        session.select(TableId::City, 2, 2);
        EditorSession::press(Qt::Key_Left, Qt::AltModifier);
        EditorSession::press(Qt::Key_F7);
        QCOMPARE(session.bar().message(), u"この表には相違がありません。"_s);
        QCOMPARE(QList({session.grid(TableId::City).row(), session.grid(TableId::City).col()}), QList({2, 2}));
    }

    void filter_differenceWordKeepsTheRowsWithMarks()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        session.main().findCommands().openFind();
        QLineEdit* filter = session.main().findCommands().bar().filterEdit();
        filter->setFocus();
        commitText(filter, u"相違"_s);
        QCOMPARE(session.main().findCommands().bar().countText(), u"532 件中 2 件"_s);
        const Grid& grid = session.grid(TableId::Officer);
        QVERIFY(!grid.isRowHidden(6) && !grid.isRowHidden(301) && grid.isRowHidden(7));
        // Without a comparison the word is refused and the rows stay as they are.
        comparing(session).end();
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(session.main().findCommands().bar().message(), u"「相違」で絞り込めるのは、比較している間だけです。"_s);
        QCOMPARE(grid.shownRowCount(), 2);
    }

    void take_selectionIsOneUndoStep_data()
    {
        QTest::addColumn<TableId>("table");
        QTest::addColumn<QList<int>>("selection");
        QTest::addColumn<int>("taken");
        // An empty selection stands for Ctrl+A.
        QTest::newRow("one officer cell") << TableId::Officer << QList{6, 3, 6, 3} << 1;
        QTest::newRow("Ctrl+A on the officers") << TableId::Officer << QList<int>{} << 2;
        QTest::newRow("Ctrl+A on the placement") << TableId::Placement << QList<int>{} << 1;
        QTest::newRow("a block around the city value") << TableId::City << QList{1, 1, 3, 5} << 1;
        QTest::newRow("cells without marks") << TableId::Officer << QList{7, 3, 9, 6} << 0;
    }

    void take_selectionIsOneUndoStep()
    {
        QFETCH(TableId, table);
        QFETCH(QList<int>, selection);
        QFETCH(int, taken);
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        Grid& grid = session.grid(table);
        const QByteArray before = session.block(table);
        if (selection.isEmpty()) {
            session.select(table, 3, 3);
            EditorSession::press(Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(QList({std::min(grid.row(), grid.rowSel()), std::max(grid.row(), grid.rowSel())}),
                     QList({1, grid.rows() - 1}));
        } else {
            // Extended with the keyboard, as a user selects a block.
            session.select(table, selection[0], selection[1]);
            for (int r = selection[0]; r < selection[2]; ++r)
                EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
            for (int c = selection[1]; c < selection[3]; ++c)
                EditorSession::press(Qt::Key_Right, Qt::ShiftModifier);
            QCOMPARE(QList({std::min(grid.row(), grid.rowSel()), std::min(grid.col(), grid.colSel()),
                            std::max(grid.row(), grid.rowSel()), std::max(grid.col(), grid.colSel())}),
                     selection);
        }
        const auto selected = [&](const ComparedValue& value) {
            return selection.isEmpty() || (value.record + 1 >= selection[0] && value.record + 1 <= selection[2] &&
                                           value.col >= selection[1] && value.col <= selection[3]);
        };
        EditorSession::press(Qt::Key_Left, Qt::AltModifier);
        QUndoStack& stack = stackOf(session);
        if (taken == 0) {
            QCOMPARE(stack.count(), 0);
            QCOMPARE(session.bar().message(), u"選択範囲に相違はありません。"_s);
            return;
        }
        QCOMPARE(stack.count(), 1);
        QCOMPARE(stack.undoText(), u"比較先から取り込み (%1 セル)"_s.arg(taken));
        QCOMPARE(session.main().compareCommands().comparison()->count(table), session.s.count(table) - taken);
        for (const ComparedValue& value : std::as_const(session.s.values)) {
            if (value.table != table)
                continue;
            if (!selected(value)) {
                QVERIFY(isMarked(session, table, value.record + 1, value.col));
                continue;
            }
            QCOMPARE(session.block(table).mid(value.offset, value.bytes.size()), value.bytes);
            QVERIFY(!isMarked(session, table, value.record + 1, value.col));
            QCOMPARE(grid.text(value.record + 1, value.col), value.text);
            QVERIFY(grid.isChanged(value.record + 1, value.col));
        }
        session.main().undoAction()->trigger();
        QCOMPARE(session.block(table), before);
        QCOMPARE(session.main().compareCommands().comparison()->count(table), session.s.count(table));
        QVERIFY(session.bar().summary().contains(AllDifferences));
    }

    void edit_toTheOtherValueRemovesTheMark()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        const ComparedValue& war = session.s.values.first();
        session.select(TableId::Officer, war.record + 1, war.col);
        EditorSession::type(QString::number((war.text.toInt() + 1) % 256) + u'\r');
        QVERIFY(isMarked(session, TableId::Officer, war.record + 1, war.col));
        EditorSession::type(war.text + u'\r');
        QVERIFY(!isMarked(session, TableId::Officer, war.record + 1, war.col));
        QVERIFY(session.bar().summary().contains(u"相違 5 セル（武将 1、"_s));
        session.main().undoAction()->trigger();
        QVERIFY(isMarked(session, TableId::Officer, war.record + 1, war.col));
        session.main().redoAction()->trigger();
        QVERIFY(!isMarked(session, TableId::Officer, war.record + 1, war.col));
    }

    void refused_patchChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("reason");
        QByteArray elsewhere = SampleImage::generate();
        elsewhere[0x600] = char(~elsewhere.at(0x600));
        QTest::newRow("BPS patch of another image")
            << PatchFile::create(PatchFormat::Bps, elsewhere, elsewhere + QByteArray(1024, '\x01')).bytes << u"CRC32"_s;
        QTest::newRow("IPS patch that cuts the image")
            << QByteArray("PATCH\0\0\x10\0\1\x01" "EOF\0\0\x10", 17) << u"イメージとして開けません"_s;
    }

    void refused_patchChangesNothing()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, reason);
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        const QString path = session.dir.filePath(u"bad.ips"_s);
        QVERIFY(writeFileBytes(path, patch));
        const DocumentSnapshot before = DocumentSnapshot::of(session.main().document());
        const QString summary = session.bar().summary();
        ModalCloser closer;
        QVERIFY(!comparing(session).compareWith(path));
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY2(closer.texts.first().contains(QDir::toNativeSeparators(path)) && closer.texts.first().contains(reason),
                 qPrintable(closer.texts.first()));
        QCOMPARE(session.bar().summary(), summary);
        QVERIFY(DocumentSnapshot::of(session.main().document()) == before);
        QCOMPARE(readFileBytes(path), patch);
        QCOMPARE(stackOf(session).count(), 0);
    }

    void takeAll_thenSave_givesTheOtherTablesAndKeepsThisImagesOtherBytes()
    {
        ComparingSession session(u"friend.sfc"_s);
        QVERIFY(session.active && !session.other.isEmpty());
        // A filter hides the officers' marked rows; the item and force grids are not even shown.
        QVector<bool> hidden(session.grid(TableId::Officer).rows(), true);
        hidden[1] = false;
        session.grid(TableId::Officer).setHiddenRows(hidden);
        session.select(TableId::City, 5, 2);
        const int steps = stackOf(session).count();
        comparing(session).takeAllAction()->trigger();
        QCOMPARE(stackOf(session).count(), steps + 1);
        QCOMPARE(stackOf(session).undoText(), u"比較先から取り込み (6 セル)"_s);
        QCOMPARE(session.bar().summary(), u"比較先: friend.sfc　相違はありません"_s + OutsideNote);
        QVERIFY(session.save());
        const QByteArray saved = readFileBytes(session.sample);
        QCOMPARE(saved.size(), session.s.original.size());
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(saved.mid(range.position, range.size), session.s.other.mid(range.position, range.size));
        for (qint64 at = 0; at < saved.size(); ++at)
            if (!insideBlock(at) && saved.at(at) != session.s.original.at(at))
                QFAIL(qPrintable(u"byte 0x%1 outside the tables changed"_s.arg(at, 0, 16)));
        // Undone, the step shows the grid it was taken on, not the first table it changed.
        session.main().undoAction()->trigger();
        QCOMPARE(session.main().session().visibleTable(), std::optional<TableId>(TableId::City));
    }

    void openingAnImage_endsTheComparison()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        session.main().openImage(session.sample);
        QVERIFY(!comparing(session).isBarOpen());
        QVERIFY(!comparing(session).comparison());
        QVERIFY(!isMarked(session, TableId::Officer, 6, 3));
        QVERIFY(!comparing(session).nextAction()->isEnabled());
        QVERIFY(!session.main().fileItem(14)->isEnabled());
    }

    void marks_drawnOverTheTintWithTheirTooltip()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        // A value that is neither side's: tinted as changed and still marked.
        session.select(TableId::Officer, 6, 3);
        EditorSession::type(u"7\r"_s);
        session.select(TableId::Officer, 9, 8);
        GridView* view = session.view(TableId::Officer);
        const QModelIndex cell = comparedCell(session, TableId::Officer, 6, 3);
        QVERIFY(session.grid(TableId::Officer).isChanged(6, 3) && isMarked(session, TableId::Officer, 6, 3));
        const QString tip = cell.data(Qt::ToolTipRole).toString();
        QCOMPARE(tip.split(u'\n').mid(1), QStringList{u"比較先: "_s + session.s.values.first().text});
        QVERIFY(tip.split(u'\n').first().startsWith(u"元の値: "_s));
        const QRect rect = view->visualRect(cell);
        const QImage shot = view->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(rect.right() - 2, rect.top() + 2), GridModel::comparedCellMark());
        // Inside the frame the tint shows.
        QVERIFY(shot.pixelColor(rect.left() + 5, rect.bottom() - 4) != GridModel::comparedCellMark());
        if (const QString shots = qEnvironmentVariable("TAVRIN_SCREENSHOTS"); !shots.isEmpty()) {
            session.main().grab().save(shots + u"/compare-window.png"_s);
            QImage(shot.copy(rect.adjusted(-rect.width(), -rect.height(), rect.width(), rect.height())))
                .scaled(rect.width() * 12, rect.height() * 12)
                .save(shots + u"/compare-cell.png"_s);
            QToolTip::showText(view->viewport()->mapToGlobal(rect.center()), tip, view->viewport());
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->inherits("QTipLabel") && widget->isVisible())
                    widget->grab().save(shots + u"/compare-tooltip.png"_s);
        }
    }
};

TAVRIN_TEST(CompareWindowTest)
#include "comparewindowtest.moc"
