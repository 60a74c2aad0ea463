#include "comparingsession.h"
#include "comparison.h"
#include "documentcontent.h"
#include "imageblocks.h"
#include "imagedifference.h"
#include "../platform/modalcloser.h"
#include "tableidmetatype.h"
#include "testregistry.h"

using namespace Qt::StringLiterals;

// Taking the other side's values through the real window: a selection or everything as one undo
// step, the marks following edits, a patch that does not fit, and what a save then holds.
class CompareTakeWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

    void refused_otherSideChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("reason");
        QByteArray elsewhere = SampleImage::generate();
        elsewhere[0x600] = char(~elsewhere.at(0x600));
        QTest::newRow("BPS patch of another image")
            << PatchFile::create(PatchFormat::Bps, elsewhere, elsewhere + QByteArray(1024, '\x01')).bytes << u"CRC32"_s;
        QTest::newRow("IPS patch that cuts the image")
            << QByteArray("PATCH\0\0\x10\0\1\x01" "EOF\0\0\x10", 17) << u"イメージとして開けません"_s;
        QTest::newRow("file too short for an image") << SampleImage::generate().first(0x1000) << u"短"_s;
    }

    void refused_otherSideChangesNothing()
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

    // Every cell shows its bytes afterwards, the computed ones included, also after undo and redo.
    void takeAll_thenSave_givesTheOtherTablesAndKeepsThisImagesOtherBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("summary");
        QTest::newRow("every difference") << u"friend.sfc"_s << u"比較先から取り込み (6 セル)"_s
                                          << u"比較先: friend.sfc　相違はありません"_s + OutsideNote;
        QTest::newRow("only bytes no stored column shows")
            << u"unshown.smc"_s << u"比較先から取り込み (3 バイト)"_s << u"比較先: unshown.smc　相違はありません"_s;
    }

    void takeAll_thenSave_givesTheOtherTablesAndKeepsThisImagesOtherBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, step);
        QFETCH(QString, summary);
        ComparingSession session(name);
        QVERIFY(session.active && !session.other.isEmpty());
        const QByteArray other = otherImage(session.s, name);
        const auto showsItsBytes = [&] {
            for (const TableId id : AllTables)
                QCOMPARE(staleCells(session.main().document(), id), QStringList());
        };
        // A filter hides the officers' marked rows; the item and force grids are not even shown.
        QVector<bool> hidden(session.grid(TableId::Officer).rows(), true);
        hidden[1] = false;
        session.grid(TableId::Officer).setHiddenRows(hidden);
        session.select(TableId::City, 5, 2);
        const int steps = stackOf(session).count();
        comparing(session).takeAllAction()->trigger();
        QCOMPARE(stackOf(session).count(), steps + 1);
        QCOMPARE(stackOf(session).undoText(), step);
        QCOMPARE(session.bar().summary(), summary);
        showsItsBytes();
        session.main().undoAction()->trigger();
        showsItsBytes();
        session.main().redoAction()->trigger();
        showsItsBytes();
        QVERIFY(session.save());
        const QByteArray saved = readFileBytes(session.sample);
        QCOMPARE(saved.size(), session.s.original.size());
        for (const BlockSpec& range : BlockCatalogue)
            QCOMPARE(saved.mid(range.position, range.size), other.mid(range.position, range.size));
        for (qint64 at = 0; at < saved.size(); ++at)
            if (!insideBlock(at) && saved.at(at) != session.s.original.at(at))
                QFAIL(qPrintable(u"byte 0x%1 outside the tables changed"_s.arg(at, 0, 16)));
        // Undone, the step shows the grid it was taken on, not the first table it changed.
        session.main().undoAction()->trigger();
        QCOMPARE(session.main().session().visibleTable(), std::optional<TableId>(TableId::City));
    }

    // A save that writes the checksum fix changes bytes outside the tables: the bar counts them again.
    void save_countsTheBytesOutsideAgain()
    {
        ComparingSession session;
        QVERIFY(session.active && !session.other.isEmpty());
        session.select(TableId::Officer, 6, 3);
        EditorSession::type(u"7\r"_s);
        session.main().fileItem(10)->trigger();
        QVERIFY(session.save());
        const qint64 outside = ImageDifference::outsideTables(readFileBytes(session.sample), session.s.other);
        QVERIFY(outside > 1);
        QVERIFY2(session.bar().summary().endsWith(u"　表の外でも %1 バイト違います（取り込みません）"_s.arg(outside)),
                 qPrintable(session.bar().summary()));
    }
};

TAVRIN_TEST(CompareTakeWindowTest)
#include "comparetakewindowtest.moc"
