#include "editsession.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "officertable.h"
#include "recoverykeeper.h"
#include "sampleimage.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace Qt::StringLiterals;

// Undo and redo through the real window on the sample image, drawing included: each step must fit in a
// frame (16 ms). Every iteration undoes, repaints, redoes and repaints, so one figure covers both.
class UndoBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

    QUndoStack& stack() { return m_window->session().undoStack(); }
    // A step is done for the user once the view shows it.
    void paint() { m_window->visibleView()->viewport()->repaint(); }
    // Undoes and redoes the one step on the stack, each followed by the repaint the user waits for.
    void measureUndoRedo()
    {
        QCOMPARE(stack().count(), 1);
        QBENCHMARK
        {
            stack().undo();
            paint();
            stack().redo();
            paint();
        }
    }

private Q_SLOTS:
    void init()
    {
        // The window keeps recovery files of unsaved edits: in test mode's folder, not this user's.
        QStandardPaths::setTestModeEnabled(true);
        const QString sample = m_dir.filePath(u"sample.smc"_s);
        SampleImage::write(sample);
        m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s, sample});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        // Gone as a closed window goes, not as a crashed one: the next function opens the same file.
        m_window->recovery().finish();
        m_window.reset();
    }

    void undoRedoLifespans()
    {
        m_window->busyoItem(2)->trigger();
        measureUndoRedo();
    }

    void undoRedoOneCommit()
    {
        Grid& grid = m_window->document().grid(TableId::Officer);
        m_window->session().record(TableId::Officer, u"bench"_s, [&] {
            grid.setCurrentCell(10, 3);
            grid.setText(10, 3, u"1"_s);
            m_window->document().officers().storeCell();
        });
        measureUndoRedo();
    }

    void repaintAlone()
    {
        // The floor under both figures above: two repaints of the unchanged grid.
        QBENCHMARK
        {
            paint();
            paint();
        }
    }

    void recordOneCommit()
    {
        // What recording adds to every commit: a copy of the table before and a comparison after.
        Grid& grid = m_window->document().grid(TableId::Officer);
        int value = 0;
        QBENCHMARK
        {
            m_window->session().record(TableId::Officer, u"bench"_s, [&] {
                grid.setCurrentCell(10, 3);
                grid.setText(10, 3, QString::number(++value % 200));
                m_window->document().officers().storeCell();
            });
        }
    }
};

QTEST_MAIN(UndoBench)
#include "undobench.moc"
