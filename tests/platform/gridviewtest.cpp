#include "grid.h"
#include "gridmodel.h"
#include "gridtestdata.h"
#include "filedrop.h"
#include "gridview.h"
#include "testregistry.h"
#include "twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// 80 pixels at 96 dpi.
constexpr int ColumnTwips = 1200;

struct ShownGrid
{
    ShownGrid(int rows, int cols, int fixedCols)
    {
        fillTestGrid(grid, rows, cols, fixedCols, ColumnTwips);
        view = std::make_unique<GridView>(grid);
        view->resize(520, 300);
        view->show();
    }
    Grid grid;
    std::unique_ptr<GridView> view;
};

QPoint cellCentre(const QTableView& view, int modelRow, int col)
{
    return view.visualRect(view.model()->index(modelRow, col)).center();
}

// The block the view shows selected, in grid coordinates (x column, y row); null unless the selection
// is one whole block.
QRect shownBlock(const GridView& view)
{
    QSet<QPoint> cells;
    QRect box;
    for (const QModelIndex& index : view.selectionModel()->selectedIndexes()) {
        const QPoint cell(index.column(), GridModel::toGridRow(index.row()));
        cells.insert(cell);
        box |= QRect(cell, QSize(1, 1));
    }
    return qsizetype(box.width()) * box.height() == cells.size() ? box : QRect();
}

// The grid's selection: from the current cell to the selection end.
QRect gridBlock(const Grid& grid)
{
    return QRect(QPoint(std::min(grid.col(), grid.colSel()), std::min(grid.row(), grid.rowSel())),
                 QPoint(std::max(grid.col(), grid.colSel()), std::max(grid.row(), grid.rowSel())));
}

void sendWheel(QWidget* target, int delta)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class GridViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one inch") << 1440 << 96.0 << 96;
        QTest::newRow("default column") << 960 << 96.0 << 64;
        QTest::newRow("one pixel") << 15 << 96.0 << 1;
        QTest::newRow("rounds half up") << 1215 << 96.0 << 81;
        QTest::newRow("large screen") << 1440 << 144.0 << 144;
        QTest::newRow("zero") << 0 << 96.0 << 0;
        QTest::newRow("negative") << -300 << 96.0 << 0;
    }

    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(twips::toPixels(twips, dpi), pixels);
    }

    void columnWidths_followTwipsAtScreenResolution()
    {
        ShownGrid shown(4, 3, 1);
        shown.grid.setColWidth(2, 2880);
        const int dpi = shown.view->logicalDpiX();
        QCOMPARE(shown.view->columnWidth(0), twips::toPixels(ColumnTwips, dpi));
        QCOMPARE(shown.view->columnWidth(2), 2 * dpi);
        QCOMPARE(shown.view->frozenWidth(), twips::toPixels(ColumnTwips, dpi));
    }

    void frozenColumns_stayWhileScrollingSideways()
    {
        ShownGrid shown(60, 20, 2);
        GridView& view = *shown.view;
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int frozen = view.frozenWidth();
        QVERIFY(frozen > 0);
        const QRect labels(0, 0, view.frameWidth() + frozen, view.viewport()->geometry().bottom() + 1);
        const QRect cells(labels.right() + 1, 0, 200, labels.height());
        const QImage labelsBefore = view.grab(labels).toImage();
        const QImage cellsBefore = view.grab(cells).toImage();

        QVERIFY(view.horizontalScrollBar()->maximum() > 0);
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        QCOMPARE(view.grab(labels).toImage(), labelsBefore);
        QVERIFY(view.grab(cells).toImage() != cellsBefore);

        const QPoint inLabels = view.viewport()->mapToGlobal(QPoint(frozen - 5, 5));
        QCOMPARE(view.cellAt(inLabels), (GridCell{1, 1}));
        const QPoint inHeader = view.horizontalHeader()->mapToGlobal(QPoint(5, 5));
        QCOMPARE(view.cellAt(inHeader), (GridCell{0, 0}));
        const QPoint pastLabels = view.viewport()->mapToGlobal(QPoint(frozen + 5, 5));
        QVERIFY(view.cellAt(pastLabels).col > 2);
    }

    void frozenColumns_scrollVerticallyInStep()
    {
        ShownGrid shown(60, 20, 2);
        GridView& view = *shown.view;
        view.verticalScrollBar()->setValue(10);
        QCOMPARE(view.frozenView()->verticalScrollBar()->value(), 10);
        const QPoint inLabels = view.viewport()->mapToGlobal(QPoint(5, 5));
        QCOMPARE(view.cellAt(inLabels), (GridCell{11, 0}));
        const QPoint inCells = view.viewport()->mapToGlobal(QPoint(view.frozenWidth() + 5, 5));
        QCOMPARE(view.cellAt(inCells).row, 11);
    }

    void keyboardMoveLeft_bringsCellOutFromUnderLabels()
    {
        ShownGrid shown(10, 20, 2);
        GridView& view = *shown.view;
        view.setFocus();
        shown.grid.setCurrentCell(1, 12);
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(&view, Qt::Key_Left);
        QCOMPARE(shown.grid.col(), 3);
        QVERIFY(view.visualRect(view.model()->index(0, 3)).left() >= view.frozenWidth());
    }

    void wheel_data()
    {
        QTest::addColumn<bool>("threeRows");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("scrolled");
        QTest::newRow("three rows up") << true << 120 << -3;
        QTest::newRow("three rows down") << true << -120 << 3;
        QTest::newRow("big turn still three") << true << 480 << -3;
        QTest::newRow("small turn still three") << true << 15 << -3;
        QTest::newRow("zero scrolls down") << true << 0 << 3;
        QTest::newRow("own two notches") << false << 240 << -6;
        QTest::newRow("own zero") << false << 0 << 0;
    }

    void wheel()
    {
        QFETCH(bool, threeRows);
        QFETCH(int, delta);
        QFETCH(int, scrolled);
        ShownGrid shown(100, 6, 1);
        GridView& view = *shown.view;
        view.setWheelScrollsThreeRows(threeRows);
        view.verticalScrollBar()->setValue(20);
        sendWheel(view.viewport(), delta);
        QCOMPARE(view.verticalScrollBar()->value(), 20 + scrolled);
        // Over the label columns the same happens.
        view.verticalScrollBar()->setValue(20);
        sendWheel(view.frozenView()->viewport(), delta);
        QCOMPARE(view.verticalScrollBar()->value(), 20 + scrolled);
    }

    void currentCell_followsClicksAndSelection()
    {
        ShownGrid shown(30, 8, 1);
        GridView& view = *shown.view;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, 4, 3));
        QCOMPARE(shown.grid.row(), 5);
        QCOMPARE(shown.grid.col(), 3);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(view, 2, 5));
        QCOMPARE(shown.grid.clip(), u"r3c3\tr3c4\tr3c5\rr4c3\tr4c4\tr4c5\rr5c3\tr5c4\tr5c5"_s);
        // A click on a label cell makes it current too.
        QTest::mouseClick(view.frozenView()->viewport(), Qt::LeftButton, {}, cellCentre(*view.frozenView(), 6, 0));
        QCOMPARE(shown.grid.row(), 7);
        QCOMPARE(shown.grid.col(), 0);
        QCOMPARE(shown.grid.clip(), u"r7c0"_s);
    }

    // Every way of selecting leaves the grid holding exactly the block the view shows, with the view
    // scrolled away from the top. Starts with grid cell (56, 3) current; the expected block is in grid
    // coordinates (x column, y row), null where only the agreement with the view is checked.
    void selection_gridHoldsTheBlockShown_data()
    {
        constexpr int LastRow = 199, LastCol = 11;
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QRect>("expected");
        const auto block = [](int top, int left, int bottom, int right) {
            return QRect(QPoint(left, top), QPoint(right, bottom));
        };
        QTest::newRow("click") << u"click"_s << block(58, 5, 58, 5);
        QTest::newRow("shift-click") << u"shift-click"_s << block(56, 3, 59, 5);
        QTest::newRow("drag") << u"drag"_s << block(57, 2, 60, 5);
        QTest::newRow("drag back") << u"dragback"_s << block(57, 2, 58, 4);
        QTest::newRow("header") << u"header"_s << block(1, 4, LastRow, 4);
        QTest::newRow("header drag") << u"headerdrag"_s << block(1, 2, LastRow, 4);
        QTest::newRow("label header") << u"labels"_s << block(1, 0, LastRow, 0);
        QTest::newRow("Ctrl+A") << u"ctrl+a"_s << block(1, 0, LastRow, LastCol);
        QTest::newRow("Shift+arrows") << u"shift+arrows"_s << block(56, 3, 59, 5);
        QTest::newRow("Shift+End") << u"shift+end"_s << block(56, 3, 56, LastCol);
        QTest::newRow("Shift+Home") << u"shift+home"_s << block(56, 0, 56, 3);
        QTest::newRow("Shift+PgDn") << u"shift+pgdn"_s << QRect();
        QTest::newRow("Shift+PgUp") << u"shift+pgup"_s << QRect();
        QTest::newRow("Ctrl+Shift+End") << u"ctrl+shift+end"_s << block(56, 3, LastRow, LastCol);
        QTest::newRow("Ctrl+Shift+Home") << u"ctrl+shift+home"_s << block(1, 0, 56, 3);
        QTest::newRow("Ctrl+A, then Shift+Up") << u"ctrl+a shift+up"_s << QRect();
        QTest::newRow("header, then Shift+click") << u"header shift-click"_s << QRect();
        QTest::newRow("Shift+arrows, then back") << u"shift+arrows shift+up"_s << block(56, 3, 58, 5);
        QTest::newRow("Shift+click, then back") << u"shift-click shift-click-back"_s << block(56, 3, 57, 4);
        // Shift extends from the grid's cell, not from where the mouse last was.
        QTest::newRow("click, grid moves, Shift+Down") << u"click grid-moves shift+down"_s << block(56, 3, 57, 3);
        QTest::newRow("click, grid moves, Shift+click")
            << u"click grid-moves shift-click-back"_s << block(56, 3, 57, 4);
    }

    void selection_gridHoldsTheBlockShown()
    {
        QFETCH(QString, gesture);
        QFETCH(QRect, expected);
        ShownGrid shown(200, 12, 1);
        GridView& view = *shown.view;
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.verticalScrollBar()->setValue(50);
        shown.grid.setCurrentCell(56, 3);
        const int scrolled = view.verticalScrollBar()->value();
        QHeaderView* header = view.horizontalHeader();
        const auto headerAt = [header](int col) {
            return QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2);
        };
        const QStringList steps = gesture.split(u' ');
        for (const QString& step : steps) {
            if (step == u"click"_s) {
                QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, 57, 5));
            } else if (step == u"shift-click"_s) {
                QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(view, 58, 5));
            } else if (step == u"drag"_s || step == u"dragback"_s) {
                const QPoint end = step == u"drag"_s ? cellCentre(view, 59, 5) : cellCentre(view, 57, 4);
                QTest::mousePress(view.viewport(), Qt::LeftButton, {}, cellCentre(view, 56, 2));
                QTest::mouseMove(view.viewport(), cellCentre(view, 59, 5));
                QTest::mouseMove(view.viewport(), end);
                QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, end);
            } else if (step == u"header"_s) {
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headerAt(4));
            } else if (step == u"headerdrag"_s) {
                QTest::mousePress(header->viewport(), Qt::LeftButton, {}, headerAt(4));
                QTest::mouseMove(header->viewport(), headerAt(2));
                QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, headerAt(2));
            } else if (step == u"labels"_s) {
                QHeaderView* labels = view.frozenView()->horizontalHeader();
                QTest::mouseClick(labels->viewport(), Qt::LeftButton, {}, QPoint(5, labels->height() / 2));
            } else if (step == u"ctrl+a"_s) {
                QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
            } else if (step == u"shift+arrows"_s) {
                for (int i = 0; i < 3; ++i)
                    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
                for (int i = 0; i < 2; ++i)
                    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
            } else if (step == u"shift-click-back"_s) {
                QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(view, 56, 4));
            } else if (step == u"grid-moves"_s) {
                shown.grid.setCurrentCell(56, 3);
            } else if (step == u"shift+down"_s) {
                QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
            } else if (step == u"shift+up"_s) {
                QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
            } else if (step == u"shift+end"_s) {
                QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
            } else if (step == u"shift+home"_s) {
                QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
            } else if (step == u"shift+pgdn"_s) {
                QTest::keyClick(&view, Qt::Key_PageDown, Qt::ShiftModifier);
            } else if (step == u"shift+pgup"_s) {
                QTest::keyClick(&view, Qt::Key_PageUp, Qt::ShiftModifier);
            } else if (step == u"ctrl+shift+end"_s) {
                QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
            } else if (step == u"ctrl+shift+home"_s) {
                QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
            } else {
                QFAIL(qPrintable(u"unknown step "_s + step));
            }
        }

        const QRect shownSelection = shownBlock(view);
        QVERIFY(!shownSelection.isNull());
        QCOMPARE(gridBlock(shown.grid), shownSelection);
        if (!expected.isNull())
            QCOMPARE(shownSelection, expected);
        // The view's current cell is the grid's, so the editor opens where the view shows the focus.
        QCOMPARE(view.currentIndex(), view.model()->index(GridModel::toModelRow(shown.grid.row()), shown.grid.col()));
        // Selecting a whole column or everything leaves the rows where they were.
        if (gesture == u"header"_s || gesture == u"headerdrag"_s || gesture == u"labels"_s || gesture == u"ctrl+a"_s)
            QCOMPARE(view.verticalScrollBar()->value(), scrolled);
    }

    void currentCell_followsGrid()
    {
        ShownGrid shown(30, 8, 1);
        GridView& view = *shown.view;
        shown.grid.setCurrentCell(12, 6);
        QCOMPARE(view.currentIndex(), view.model()->index(11, 6));
        QCOMPARE(view.selectionModel()->selectedIndexes().size(), 1);
        // A refresh (a sort, a new fill) keeps the grid's cell current in the view.
        shown.grid.sortNumeric(0, true);
        QCOMPARE(view.currentIndex(), view.model()->index(11, 6));
        const QRect rect = view.currentCellRect(&view);
        QCOMPARE(view.indexAt(view.viewport()->mapFrom(&view, rect.center())), view.model()->index(11, 6));
    }

    void typing_reportsKeysAndKeepsCurrentCell()
    {
        ShownGrid shown(30, 8, 1);
        GridView& view = *shown.view;
        view.setFocus();
        shown.grid.setCurrentCell(2, 2);
        QSignalSpy typed(&view, &GridView::characterTyped);
        QSignalSpy pressed(&view, &GridView::keyPressed);
        // "r..." exists in every cell: a keyboard search would have moved the cell.
        QTest::keyClicks(&view, u"r9"_s);
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(typed.count(), 3);
        QCOMPARE(typed.at(1).at(0).toString(), u"9"_s);
        QCOMPARE(typed.at(1).at(1).toInt(), int(Qt::Key_9));
        QCOMPARE(typed.at(2).at(0).toString(), u"\r"_s);
        QCOMPARE(pressed.count(), 3);
        QCOMPARE(shown.grid.row(), 2);
        QCOMPARE(shown.grid.col(), 2);
    }

    void doubleClick_tellsHeaderRowFromCells()
    {
        ShownGrid shown(30, 8, 2);
        GridView& view = *shown.view;
        QSignalSpy header(&view, &GridView::headerRowDoubleClicked);
        QSignalSpy cell(&view, &GridView::cellDoubleClicked);
        QHeaderView* top = view.horizontalHeader();
        QTest::mouseDClick(top->viewport(), Qt::LeftButton, {},
                           QPoint(top->sectionViewportPosition(4) + 5, top->height() / 2));
        QCOMPARE(header.count(), 1);
        QCOMPARE(header.at(0).at(0).toInt(), 4);
        QHeaderView* labels = view.frozenView()->horizontalHeader();
        QTest::mouseDClick(labels->viewport(), Qt::LeftButton, {}, QPoint(labels->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(header.count(), 2);
        QCOMPARE(header.at(1).at(0).toInt(), 1);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, 3, 5));
        QCOMPARE(cell.count(), 1);
        QCOMPARE(cell.at(0).at(0).toInt(), 4);
        QCOMPARE(cell.at(0).at(1).toInt(), 5);
        QCOMPARE(header.count(), 2);
    }

    void rightButton_reportsReleaseAndKeepsSelection()
    {
        ShownGrid shown(30, 8, 1);
        GridView& view = *shown.view;
        shown.grid.setCurrentCell(3, 3);
        QSignalSpy released(&view, &GridView::rightButtonReleased);
        const QPoint at = cellCentre(view, 10, 5);
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, at);
        QCOMPARE(released.count(), 1);
        QCOMPARE(released.at(0).at(0).toPoint(), view.viewport()->mapToGlobal(at));
        QCOMPARE(shown.grid.row(), 3);
        QCOMPARE(shown.grid.col(), 3);
    }

    void visibility_followsGrid()
    {
        ShownGrid shown(5, 3, 1);
        QVERIFY(shown.view->isVisible());
        shown.grid.setVisible(false);
        QVERIFY(!shown.view->isVisible());
        shown.grid.setVisible(true);
        QVERIFY(shown.view->isVisible());
    }

    void hidingFocusedView_keepsCurrentCell()
    {
        QWidget window;
        Grid grid;
        fillTestGrid(grid, 10, 6, 1, ColumnTwips);
        auto* view = new GridView(grid, &window);
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        view->setFocus();
        QVERIFY(view->hasFocus());
        grid.setCurrentCell(3, 2);
        grid.setVisible(false);
        QVERIFY(!view->isVisible());
        QCOMPARE(grid.col(), 2);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 2));
    }

    void fileDrop_onlyWhereAccepted_data()
    {
        QTest::addColumn<bool>("accepting");
        QTest::addColumn<bool>("overLabels");
        QTest::newRow("accepting cells") << true << false;
        QTest::newRow("accepting labels") << true << true;
        QTest::newRow("refusing") << false << false;
    }

    void fileDrop_onlyWhereAccepted()
    {
        QFETCH(bool, accepting);
        QFETCH(bool, overLabels);
        ShownGrid shown(5, 6, 1);
        GridView& view = *shown.view;
        view.setAcceptFileDrops(accepting);
        QSignalSpy dropped(&view, &GridView::filesDropped);
        QWidget* target = overLabels ? view.frozenView()->viewport() : view.viewport();
        const QList<QUrl> urls{QUrl::fromLocalFile(u"/tmp/a.smc"_s), QUrl(u"https://example.com/x"_s),
                               QUrl::fromLocalFile(u"/tmp/b.smc"_s)};
        QCOMPARE(dropUrls(target, urls, QPoint(5, 5)), accepting);
        QCOMPARE(dropped.count(), accepting ? 1 : 0);
        if (!accepting)
            return;
        QCOMPARE(dropped.at(0).at(0).toStringList(), (QStringList{u"/tmp/a.smc"_s, u"/tmp/b.smc"_s}));
    }
};

TAVRIN_TEST(GridViewTest)
#include "gridviewtest.moc"
