#include "grid.h"
#include "gridmodel.h"
#include "gridtestdata.h"
#include "testregistry.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class GridModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void model_mirrorsGridWithHeaderRowAsHeader()
    {
        Grid grid;
        fillTestGrid(grid, 5, 4, 1, 960);
        GridModel model(grid);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"H2"_s);
        QCOMPARE(model.index(0, 0).data().toString(), u"r1c0"_s);
        QCOMPARE(model.index(3, 3).data().toString(), u"r4c3"_s);
        QVERIFY(!model.index(4, 0).isValid());
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    }

    void data_hidesNulPadding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("trailing padding") << u"ｱｲ"_s + QChar(0) + QChar(0) << u"ｱｲ"_s;
        QTest::newRow("all padding") << QString(4, QChar(0)) << QString();
        QTest::newRow("inside") << u"ｱ"_s + QChar(0) + u"ｲ"_s << u"ｱｲ"_s;
        QTest::newRow("none") << u"武将"_s << u"武将"_s;
    }

    void data_hidesNulPadding()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        Grid grid;
        fillTestGrid(grid, 2, 2, 1, 960);
        grid.setText(1, 1, text);
        grid.setText(0, 1, text);
        GridModel model(grid);
        QCOMPARE(model.index(0, 1).data().toString(), shown);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), shown);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("horizontal");
        QTest::newRow("default number right") << int(ColumnAlignment::Default) << u"120"_s << int(Qt::AlignRight);
        QTest::newRow("default text left") << int(ColumnAlignment::Default) << u"曹操"_s << int(Qt::AlignLeft);
        QTest::newRow("default empty left") << int(ColumnAlignment::Default) << QString() << int(Qt::AlignLeft);
        QTest::newRow("left number") << int(ColumnAlignment::Left) << u"7"_s << int(Qt::AlignLeft);
        QTest::newRow("centre") << int(ColumnAlignment::Centre) << u"A0"_s << int(Qt::AlignHCenter);
        QTest::newRow("right text") << int(ColumnAlignment::Right) << u"FF"_s << int(Qt::AlignRight);
    }

    void alignment()
    {
        QFETCH(int, alignment);
        QFETCH(QString, text);
        QFETCH(int, horizontal);
        Grid grid;
        fillTestGrid(grid, 2, 2, 1, 960);
        grid.setColAlignment(1, static_cast<ColumnAlignment>(alignment));
        grid.setText(1, 1, text);
        GridModel model(grid);
        const auto shown = model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        QCOMPARE(int(shown & Qt::AlignHorizontal_Mask), horizontal);
        QCOMPARE(int(shown & Qt::AlignVertical_Mask), int(Qt::AlignVCenter));
    }

    void cellChange_announcesThatCellOnly()
    {
        Grid grid;
        fillTestGrid(grid, 5, 4, 1, 960);
        GridModel model(grid);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        grid.setText(3, 2, u"new"_s);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(2, 2));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(2, 2));
        QCOMPARE(model.index(2, 2).data().toString(), u"new"_s);
        grid.setText(0, 3, u"見出し"_s);
        QCOMPARE(header.count(), 1);
        QCOMPARE(header.at(0).at(1).toInt(), 3);
        QCOMPARE(reset.count(), 0);
    }

    void drawingOff_staysSilentThenRefreshesOnce()
    {
        Grid grid;
        fillTestGrid(grid, 5, 4, 1, 960);
        GridModel model(grid);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        grid.setRedraw(false);
        grid.setRows(9);
        grid.setCols(6);
        for (int r = 1; r < 9; ++r)
            grid.setText(r, 5, u"x"_s);
        // The views keep the shape they were told about until drawing comes back on.
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(reset.count(), 0);
        grid.setRedraw(true);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(model.columnCount(), 6);
        QCOMPARE(model.index(7, 5).data().toString(), u"x"_s);
    }

    void shrinkWhileDrawingOff_readsNothingOutOfRange()
    {
        Grid grid;
        fillTestGrid(grid, 5, 4, 1, 960);
        GridModel model(grid);
        grid.setRedraw(false);
        grid.setRows(2);
        QCOMPARE(model.index(3, 3).data().toString(), QString());
        grid.setRedraw(true);
        QCOMPARE(model.rowCount(), 1);
    }
};

TAVRIN_TEST(GridModelTest)
#include "gridmodeltest.moc"
