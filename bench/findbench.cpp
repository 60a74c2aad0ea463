#include "editsession.h"
#include "findbar.h"
#include "findcommands.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "recoverykeeper.h"
#include "sampleimage.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace Qt::StringLiterals;

// A keystroke in the find bar of the real window on the 532 officers, drawing included: each must fit
// in a frame (16 ms). A filter keystroke hides or shows rows in both views and repaints.
class FindBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

    FindBar& bar() { return m_window->findCommands().bar(); }
    void paint() { m_window->visibleView()->viewport()->repaint(); }
    static void commit(QWidget* target, const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(target, &event);
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
        m_window->findCommands().openFind();
    }

    void cleanup()
    {
        // Gone as a closed window goes, not as a crashed one: the next function opens the same file.
        m_window->recovery().finish();
        m_window.reset();
    }

    // Typing the last character of a filter and taking it back: two keystrokes per iteration, from
    // every row to the few that match and back.
    void filterKeystroke_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("last");
        QTest::newRow("two conditions, then a word") << u"武力>=60 寿命<=5 "_s << u"ｱ"_s;
        QTest::newRow("a number condition") << u"武力>=9"_s << u"0"_s;
    }

    void filterKeystroke()
    {
        QFETCH(QString, text);
        QFETCH(QString, last);
        QLineEdit* edit = bar().filterEdit();
        edit->setFocus();
        commit(edit, text);
        const Grid& grid = m_window->document().grid(TableId::Officer);
        QBENCHMARK
        {
            commit(edit, last);
            paint();
            QTest::keyClick(edit, Qt::Key_Backspace);
            paint();
        }
        QVERIFY(grid.shownRowCount() > 0);
    }

    // A keystroke in the 一括変更 box: the preview of the whole grid on the bar, drawn. Two keystrokes per
    // iteration.
    void batchPreviewKeystroke()
    {
        QLineEdit* edit = bar().batchEdit();
        edit->setFocus();
        commit(edit, u"魅力=(武力+知力)/2; 寿命=max(寿命,6"_s);
        QBENCHMARK
        {
            commit(edit, u")"_s);
            bar().repaint();
            QTest::keyClick(edit, Qt::Key_Backspace);
            bar().repaint();
        }
        QVERIFY(bar().message().contains(u"文字目"_s));
    }

    // Enter in the 一括変更 box on every officer: the plan, the stores, the undo step and the repaint.
    // Two applications per iteration (up, then down again).
    void batchApply()
    {
        QLineEdit* edit = bar().batchEdit();
        edit->setFocus();
        const QUndoStack& stack = m_window->session().undoStack();
        const int before = stack.count();
        QBENCHMARK
        {
            edit->setText(u"知力=知力+1"_s);
            QTest::keyClick(edit, Qt::Key_Return);
            paint();
            edit->setText(u"知力=知力-1"_s);
            QTest::keyClick(edit, Qt::Key_Return);
            paint();
        }
        QVERIFY(stack.count() > before);
    }

    // Enter in the find box: the next match, scrolled into view and drawn.
    void findNextKeystroke()
    {
        QLineEdit* edit = bar().findEdit();
        edit->setFocus();
        commit(edit, u"ｱ"_s);
        QBENCHMARK
        {
            QTest::keyClick(edit, Qt::Key_Return);
            paint();
        }
    }
};

QTEST_MAIN(FindBench)
#include "findbench.moc"
