#pragma once

#include "captionnaming.h"
#include "tableblock.h"
#include "blockcatalogue.h"
#include "celleditor.h"
#include "editorstate.h"
#include "editsession.h"
#include "frmmain.h"
#include "grid.h"
#include "gridmodel.h"
#include "gridview.h"
#include "officertable.h"
#include "sampleimage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

// The real main window, shown and active, with a freshly generated sample image opened from a
// temporary folder (which is also the working folder while the window starts, so no stray name list
// is read).
struct EditorSession
{
    explicit EditorSession(bool openSample = true)
    {
        sample = dir.filePath(QStringLiteral("sample.smc"));
        SampleImage::write(sample);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        window = std::make_unique<frmMain>(QStringList{QStringLiteral("tavrin-editor")});
        window->document().setNameListPath(dir.filePath(QStringLiteral("b.txt")));
        if (openSample)
            window->openImage(sample);
        QDir::setCurrent(previous);
        window->show();
        active = QTest::qWaitForWindowActive(window.get());
    }

    frmMain& main() { return *window; }
    Grid& grid(TableId id) { return window->document().grid(id); }
    GridView* view(TableId id) { return window->view(id); }
    CellEditor* editor() { return window->cellEditor(); }
    QByteArray& block(TableId id) { return window->document().state().block(blockOfTable(id)); }
    QString caption() { return window->windowTitle(); }
    int officerByte(int record, int offset)
    {
        return quint8(block(TableId::Officer).at(qsizetype(record) * OfficerTable::RecordSize + offset));
    }
    // The record a row shows: column 0 names it, since officer rows can be sorted.
    int recordOfRow(TableId id, int row) { return grid(id).text(row, 0).toInt(); }
    QString pathCaption() { return captionNaming(sample); }

    // The Edit menu index that shows the grid of `id`.
    static int editIndexOf(TableId id) { return static_cast<int>(id) + 1; }

    // Shows the grid of `id` through the Edit menu and puts its current cell at (row, col), with the
    // keyboard on the grid.
    void select(TableId id, int row, int col)
    {
        window->editItemClicked(editIndexOf(id));
        grid(id).setCurrentCell(row, col);
        view(id)->setFocus();
    }

    // Keys as the user types them, to whatever has the keyboard: "\r" is Enter, "\b" Backspace and
    // "\x1b" Escape.
    static void type(const QString& keys)
    {
        for (const QChar c : keys) {
            QWidget* target = QApplication::focusWidget();
            if (c == QLatin1Char('\r'))
                QTest::keyClick(target, Qt::Key_Return);
            else if (c == QLatin1Char('\b'))
                QTest::keyClick(target, Qt::Key_Backspace);
            else if (c == QChar(0x1b))
                QTest::keyClick(target, Qt::Key_Escape);
            else
                QTest::keyClick(target, c.toLatin1());
        }
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // Saves over the sample; true when the caption then shows the save note.
    bool save()
    {
        window->fileItem(1)->trigger();
        return caption() == EditorState::applicationTitle() + QStringLiteral(" [保存完了]");
    }

    QTemporaryDir dir;
    QString sample;
    std::unique_ptr<frmMain> window;
    bool active = false;
};

// The window's undo stack.
inline QUndoStack& stackOf(EditorSession& session)
{
    return session.main().session().undoStack();
}
