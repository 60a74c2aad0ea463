#include "editorsession.h"
#include "officertable.h"
#include "testregistry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

const QString LeftOnClipboard = u"left on the clipboard"_s;

// The block of the grid as Ctrl+C renders it, built from the cells.
QString blockText(const Grid& grid, int top, int left, int bottom, int right)
{
    QStringList rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c)
            cells << grid.text(r, c);
        rows << cells.join(u'\t');
    }
    return rows.join(u'\r');
}

QString copied()
{
    QGuiApplication::clipboard()->setText(LeftOnClipboard);
    EditorSession::press(Qt::Key_C, Qt::ControlModifier);
    return QGuiApplication::clipboard()->text();
}

} // namespace

// What the officer grid copies is what the window shows selected, however the selection was made,
// with the grid scrolled away from its first rows.
class GridSelectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copy_givesTheBlockShownSelected_data()
    {
        constexpr int Last = OfficerTable::RecordCount;
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QRect>("block"); // x column, y row
        const auto block = [](int top, int left, int bottom, int right) {
            return QRect(QPoint(left, top), QPoint(right, bottom));
        };
        QTest::newRow("Ctrl+A") << u"ctrl+a"_s << block(1, 0, Last, 19);
        QTest::newRow("header click") << u"header"_s << block(1, 3, Last, 3);
        QTest::newRow("Ctrl+Shift+End") << u"ctrl+shift+end"_s << block(205, 3, Last, 19);
        QTest::newRow("Ctrl+Shift+Home") << u"ctrl+shift+home"_s << block(1, 0, 205, 3);
        QTest::newRow("Shift+End") << u"shift+end"_s << block(205, 3, 205, 19);
    }

    void copy_givesTheBlockShownSelected()
    {
        QFETCH(QString, gesture);
        QFETCH(QRect, block);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        GridView* view = session.view(TableId::Officer);
        session.select(TableId::Officer, 205, 3);
        view->verticalScrollBar()->setValue(200);
        const int scrolled = view->verticalScrollBar()->value();
        if (gesture == u"ctrl+a"_s) {
            EditorSession::press(Qt::Key_A, Qt::ControlModifier);
        } else if (gesture == u"header"_s) {
            const QHeaderView* header = view->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        } else if (gesture == u"ctrl+shift+end"_s) {
            EditorSession::press(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        } else if (gesture == u"ctrl+shift+home"_s) {
            EditorSession::press(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
        } else if (gesture == u"shift+end"_s) {
            EditorSession::press(Qt::Key_End, Qt::ShiftModifier);
        }
        // Selecting everything or a column leaves the rows in view where they were.
        if (gesture == u"ctrl+a"_s || gesture == u"header"_s)
            QCOMPARE(view->verticalScrollBar()->value(), scrolled);
        QCOMPARE(view->selectionModel()->selectedIndexes().size(), block.width() * block.height());

        const QString text = copied();
        QCOMPARE(text.count(u'\r') + 1, block.height());
        QCOMPARE(text, blockText(grid, block.top(), block.left(), block.bottom(), block.right()));
    }

    void ctrlA_copiesEveryOfficerAsTwentyCells()
    {
        EditorSession session;
        QVERIFY(session.active);
        session.select(TableId::Officer, 1, 1);
        EditorSession::press(Qt::Key_A, Qt::ControlModifier);
        const QStringList lines = copied().split(u'\r');
        QCOMPARE(lines.size(), OfficerTable::RecordCount);
        for (qsizetype n = 0; n < lines.size(); ++n) {
            const QStringList cells = lines[n].split(u'\t');
            QCOMPARE(cells.size(), 20);
            QCOMPARE(cells.first(), QString::number(n));
        }
    }
};

TAVRIN_TEST(GridSelectionTest)
#include "gridselectiontest.moc"
