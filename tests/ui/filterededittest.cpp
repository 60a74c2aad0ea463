#include "editorsession.h"
#include "fieldedit.h"
#include "findbarsteps.h"
#include "frmedit.h"
#include "gridfind.h"
#include "../platform/modalcloser.h"
#include "officertable.h"
#include "officerwar.h"
#include "testregistry.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>

using namespace Qt::StringLiterals;

// Direct edits in the real window while a filter hides rows of the officer grid.
class FilteredEditTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Under a filter every direct edit reaches shown rows only: with no row shown there is no current
    // cell and nothing changes (the filter stays); after a click or a sort (double-click) on the header
    // row the edit lands on a shown officer. `headerCol` -1 means no press on the header row.
    void directEdit_neverReachesAHiddenRow_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("headerCol");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("edits");
        QTest::addColumn<int>("clicks");
        constexpr int Intelligence = 6;
        constexpr int Ambition = 9;
        const QString noRow = u"武力>999"_s;
        const QString strong = u"武力>=250"_s;
        QTest::newRow("typing, no row shown") << noRow << -1 << u"type"_s << false << 0;
        QTest::newRow("keys and a click, then typing, no row shown") << noRow << -1 << u"move"_s << false << 0;
        QTest::newRow("paste, no row shown") << noRow << -1 << u"paste"_s << false << 0;
        QTest::newRow("officer dialog, no row shown") << noRow << -1 << u"dialog"_s << false << 0;
        QTest::newRow("Enter after a view switch, no row shown") << noRow << -1 << u"commit"_s << false << 0;
        QTest::newRow("Ctrl+Enter after a view switch, no row shown") << noRow << -1 << u"fill"_s << false << 0;
        QTest::newRow("typing after a sort") << strong << Ambition << u"type"_s << true << 2;
        QTest::newRow("paste after a sort") << strong << Ambition << u"paste"_s << true << 2;
        QTest::newRow("officer dialog after a sort") << strong << Ambition << u"dialog"_s << true << 2;
        QTest::newRow("typing after a header click") << strong << Intelligence << u"type"_s << true << 1;
    }

    void directEdit_neverReachesAHiddenRow()
    {
        QFETCH(QString, filter);
        QFETCH(int, headerCol);
        QFETCH(QString, action);
        QFETCH(bool, edits);
        QFETCH(int, clicks);
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        GridView* view = session.view(TableId::Officer);
        session.select(TableId::Officer, 1, WarColumn);
        openBar(session);
        typeFilter(session, filter);
        const int shown = grid.shownRowCount();
        QCOMPARE(shown == 0, !edits);
        EditorSession::press(Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), view);
        if (clicks > 0) {
            // As the header receives a click and a double-click: press, release, then double-click, release.
            const QHeaderView* header = view->horizontalHeader();
            const QPoint at(header->sectionViewportPosition(headerCol) + 5, header->height() / 2);
            for (int i = 0; i < clicks; ++i) {
                if (i == 0)
                    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at);
                else
                    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at);
            }
            view->setFocus();
        }
        const QByteArray before = session.block(TableId::Officer);
        QVERIFY(grid.row() < 0 || !grid.isRowHidden(grid.row()));

        ModalCloser closer;
        closer.onDialog = [](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            QVERIFY(edit);
            edit->box(2)->setText(u"77"_s);
            QTimer::singleShot(0, edit->button(0), &QPushButton::click);
        };
        // A value the current cell does not hold yet, so that an edit shows in the bytes.
        const QString value = grid.text(grid.row(), grid.col()) == u"3"_s ? u"4"_s : u"3"_s;
        if (action == u"type"_s || action == u"move"_s) {
            if (action == u"move"_s) {
                for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Home})
                    EditorSession::press(key);
                EditorSession::press(Qt::Key_End, Qt::ControlModifier);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
            }
            EditorSession::type(value + u'\r');
        } else if (action == u"paste"_s) {
            QGuiApplication::clipboard()->setText(value);
            EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        } else if (action == u"dialog"_s) {
            // Below the last shown row, where the space bar opens the dialog rather than sorting.
            QCursor::setPos(view->viewport()->mapToGlobal(view->viewport()->rect().bottomLeft() + QPoint(40, -4)));
            EditorSession::type(u" "_s);
        } else {
            // The editor stays open across a view switch and then commits into the grid shown.
            session.select(TableId::City, 3, 2);
            EditorSession::type(u"7"_s);
            session.main().editItem(1)->trigger();
            QVERIFY(session.editor()->isEditing());
            EditorSession::press(Qt::Key_Return, action == u"fill"_s ? Qt::ControlModifier : Qt::NoModifier);
        }

        QCOMPARE(closer.dialogTitles.size(), edits && action == u"dialog"_s ? 1 : 0);
        QCOMPARE(closer.texts, QStringList());
        const QByteArray& after = session.block(TableId::Officer);
        QCOMPARE(after != before, edits);
        for (qsizetype i = 0; i < after.size(); ++i) {
            if (after[i] == before[i])
                continue;
            const int record = int(i / OfficerTable::RecordSize);
            QVERIFY2(!grid.isRowHidden(*GridFind::rowOfRecord(grid, record)), qPrintable(QString::number(record)));
        }
        // The filter is still the one the user asked for.
        QCOMPARE(grid.shownRowCount(), shown);
        QCOMPARE(bar(session).filterText(), filter);
        QCOMPARE(stackOf(session).count(), edits ? 1 : 0);
        QVERIFY(grid.row() < 0 || !grid.isRowHidden(grid.row()));
        if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS") && (action == u"move"_s || clicks == 1))
            session.main().grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") +
                                       (clicks == 1 ? u"/filter-header-click.png"_s : u"/filter-no-row.png"_s));
    }
};

TAVRIN_TEST(FilteredEditTest)
#include "filterededittest.moc"
