#include "comparingsession.h"
#include "filedialogchoice.h"
#include "findbar.h"
#include "findcommands.h"
#include "../platform/modalcloser.h"
#include "testregistry.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

void commitText(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

// ファイル > 比較... through the real window: marks and their tooltips on every grid, the bar, F7 and
// Shift+F7, the filter word 相違, and the end of a comparison.
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
            << u"friend.sfc"_s << true << u"比較先: friend.sfc　"_s + AllDifferences + UnshownNote + OutsideNote;
        QTest::newRow("IPS patch") << u"fix.ips"_s << false
                                   << u"比較先: fix.ips（パッチを当てた結果）　"_s + AllDifferences + UnshownNote +
                                          OutsideNote;
        QTest::newRow("IPS patch made for the headerless form, Ctrl+D")
            << u"headerless.ips"_s << true
            << u"比較先: headerless.ips（パッチを当てた結果）　"_s + AllDifferences + UnshownNote + OutsideNote;
        QTest::newRow("BPS patch") << u"fix.bps"_s << false
                                   << u"比較先: fix.bps（パッチを当てた結果）　"_s + AllDifferences + UnshownNote +
                                          OutsideNote;
        QTest::newRow("the same image") << u"same.smc"_s << false << u"比較先: same.smc　相違はありません"_s;
        QTest::newRow("only bytes no stored column shows")
            << u"unshown.smc"_s << false
            << u"比較先: unshown.smc　表の値に相違はありません　どの列にも出ない 3 バイトも違います"_s;
    }

    void compare_marksEachDifferingStoredCell()
    {
        QFETCH(QString, name);
        QFETCH(bool, throughMenu);
        QFETCH(QString, summary);
        EditorSession session;
        QVERIFY(session.active);
        const ComparedSample s(readFileBytes(session.sample));
        QString other = writeOtherSide(session, s, name);
        // Asked which form an IPS patch was made for, the user says: the one without the header.
        const bool headerless = name.startsWith(u"headerless"_s);
        if (headerless)
            QVERIFY(writeFileBytes(other, PatchFile::create(PatchFormat::Ips, CopierHeader::removed(s.original).bytes,
                                                            CopierHeader::removed(s.other).bytes)
                                              .bytes));
        QVERIFY(!comparing(session).isBarOpen());
        QVERIFY(!session.main().fileItem(14)->isEnabled());
        if (throughMenu) {
            ModalCloser closer(headerless ? QMessageBox::No : QMessageBox::Ok);
            closer.onDialog = [&](QDialog* dialog) { chooseInFileDialog(dialog, other); };
            EditorSession::press(Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(closer.dialogTitles, QStringList{u"比較"_s});
            QCOMPARE(closer.texts, headerless
                                       ? QStringList{u"「headerless.ips」は IPS パッチです。どちらの形式のイメージ用"
                                                     u"に作られたパッチですか？"_s}
                                       : QStringList());
        } else {
            QVERIFY(comparing(session).compareWith(other));
        }
        QVERIFY(comparing(session).isBarOpen());
        QCOMPARE(comparing(session).bar().summary(), summary);
        QVERIFY(session.main().fileItem(14)->isEnabled());
        const bool same = name.startsWith(u"same"_s) || name.startsWith(u"unshown"_s);
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
