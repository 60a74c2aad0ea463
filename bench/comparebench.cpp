#include "comparecommands.h"
#include "comparison.h"
#include "compareside.h"
#include "editsession.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "officertable.h"
#include "recoverykeeper.h"
#include "sampleimage.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <functional>
#include <memory>
#include <variant>

using namespace Qt::StringLiterals;

// A comparison through the real window on the sample image, against an image that differs in every
// officer's 武力, every other city's 人口 and a placement field of every record: opening it (all five
// grids marked) must take less than 50 ms once the other file is read, F7 and the marks after an edit
// on the officer grid less than a frame (16 ms), drawing included.
class CompareBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;
    QString m_sample;
    QString m_other;

    void paint() { m_window->visibleView()->viewport()->repaint(); }
    CompareCommands& commands() { return m_window->compareCommands(); }

    // QBENCHMARK's wall time, and beside it the processor time of the same step: on a machine that
    // other work keeps busy the wall time counts their turns too.
    static void measure(const std::function<void()>& step)
    {
        QBENCHMARK
        {
            step();
        }
        constexpr int Runs = 20;
        const std::clock_t start = std::clock();
        for (int k = 0; k < Runs; ++k)
            step();
        const double ms = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / Runs;
        qInfo("%s: %.2f ms of processor time per iteration", QTest::currentTestFunction(), ms);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The window keeps recovery files of unsaved edits: in test mode's folder, not this user's.
        QStandardPaths::setTestModeEnabled(true);
        m_sample = m_dir.filePath(u"sample.smc"_s);
        m_other = m_dir.filePath(u"other.smc"_s);
        SampleImage::write(m_sample);
        QByteArray other = SampleImage::generate();
        const qint64 officers = blockSpec(BlockId::Officer).position;
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            other[officers + n * OfficerTable::RecordSize + 7] ^= 0x01;
        for (int n = 0; n < 276; n += 2)
            other[blockSpec(BlockId::City).position + n * 30 + 2] ^= 0x01;
        for (int n = 0; n < 531; ++n)
            other[blockSpec(BlockId::Placement).position + 2124 + n * 4 + 2] ^= 0x01;
        QFile file(m_other);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(other) == other.size());
    }

    void init()
    {
        m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s, m_sample});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        // Gone as a closed window goes, not as a crashed one: the next function opens the same file.
        m_window->recovery().finish();
        m_window.reset();
    }

    // The other side read once; then the five tables filled from it and marked, as opening does.
    void markAllFiveTables()
    {
        auto side = CompareSide::read(m_other, m_sample);
        QVERIFY(std::holds_alternative<CompareSide>(side));
        const CompareSide& read = std::get<CompareSide>(side);
        measure([&] {
            const Comparison comparison(m_window->document(), read);
            QCOMPARE(comparison.total(), 532 + 138 + 531);
        });
    }

    // The whole of 比較...'s work after the dialog: reading the file, marking, the bar, drawing.
    void openComparison()
    {
        measure([&] {
            QVERIFY(commands().compareWith(m_other));
            paint();
        });
    }

    // F7 from the end of the officer grid wraps to its first marked cell, scrolled into view and drawn.
    void nextDifference()
    {
        QVERIFY(commands().compareWith(m_other));
        Grid& grid = m_window->document().grid(TableId::Officer);
        measure([&] {
            grid.setCurrentCell(grid.rows() - 1, grid.cols() - 1);
            commands().nextAction()->trigger();
            paint();
        });
        QCOMPARE(grid.row(), 1);
    }

    // A value typed over a marked cell, recorded as an edit: the officer table marked again, the
    // bar counted again, drawn.
    void editWithMarks()
    {
        QVERIFY(commands().compareWith(m_other));
        Grid& grid = m_window->document().grid(TableId::Officer);
        int value = 0;
        measure([&] {
            m_window->session().record(TableId::Officer, u"bench"_s, [&] {
                m_window->document().officers().commitText(10, 3, QString::number(++value % 200));
            });
            paint();
        });
        QVERIFY(grid.text(10, 3) == QString::number(value % 200));
    }

    // The same edit with nothing compared: the floor under the figure above.
    void editWithoutMarks()
    {
        int value = 0;
        measure([&] {
            m_window->session().record(TableId::Officer, u"bench"_s, [&] {
                m_window->document().officers().commitText(10, 3, QString::number(++value % 200));
            });
            paint();
        });
    }

    // The floor under every figure that draws: one repaint of the officer grid with its marks.
    void repaintWithMarks()
    {
        QVERIFY(commands().compareWith(m_other));
        measure([&] {
            paint();
        });
    }

    // The officer table marked again alone.
    void updateOfficerMarks()
    {
        auto side = CompareSide::read(m_other, m_sample);
        Comparison comparison(m_window->document(), std::get<CompareSide>(std::move(side)));
        measure([&] {
            comparison.update(TableId::Officer);
        });
    }
};

QTEST_MAIN(CompareBench)
#include "comparebench.moc"
