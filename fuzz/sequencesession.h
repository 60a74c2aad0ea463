#pragma once

#include "frmmain.h"
#include "fuzztempdir.h"
#include "modalanswerer.h"
#include "sequencemodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <set>

class GridClipboardCommands;
class OfficerGridCommands;

// The sequence target's world: the real main window offscreen over an image in a folder in memory,
// beside it the model of what the files and tables must hold, and the checks that compare the two.
// Each input starts from the sample opened afresh, or (cheaper) from a session whose every step was
// undone and that nothing else changed.
class SequenceSession
{
public:
    using Model = SequenceModel;

    SequenceSession();

    frmMain& window() { return *m_window; }
    Document& document() { return m_window->document(); }
    Grid& grid(TableId id) { return document().grid(id); }
    TableId visible() const;
    OfficerGridCommands& officerCommands() { return *m_officerCommands; }
    GridClipboardCommands& clipboard() { return *m_clipboard; }
    ModalAnswerer& answers() { return m_answers; }
    Model& model() { return m_model; }
    // The image in the other folder than the open one.
    QString other() const;
    // What the steps did so far, printed with a failure.
    QStringList& trace() { return m_trace; }
    // A step that leaves something undo does not take back (a file written, an open, a sort, the
    // checksum request) makes the next input open the sample afresh.
    void needReopen() { m_reopen = true; }
    // The window goes without its close, as when the process stops, and a fresh one with nothing open
    // takes its place.
    void replaceWindow();

    // Starts an input: the sample in the first folder, open, no second image, the first number cell
    // of each grid current, no filter, the officers shown.
    void start();
    // Every check that holds after any step.
    void checkAfterStep();
    // After an open: the placement names are exactly the list beside the image.
    void checkNames();
    // Undoes every step: the tables must be as opened.
    void undoAll();

    // A key as the keyboard sends it to `target`.
    static void key(QWidget* target, int code, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A click (with Shift: a Shift+click; `twice`: a double-click) on a cell of the grid of `id`, as the
    // mouse sends it.
    void click(TableId id, int row, int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool twice = false);
    // A press and release (`twice`: a double-click) on the header of `col`, as the mouse sends them to
    // the header row's own area (the label columns' header for a label column).
    void clickHeader(TableId id, int col, bool twice);
    // The names beside an image.
    const QStringList& namesBeside(const QString& path) const;
    // The record a grid row shows (items by position, the others by the number in column 0).
    static int recordAt(const Grid& g, TableId id, int row);
    // The folder of the session's own files.
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    [[noreturn]] void fail(const QString& what) const;
    // Where a file position lies, as a person reads it.
    QString placeInFile(qsizetype at) const;
    // The first byte where an image differs from what the model expects, as a person reads it.
    QString firstDifference(const QByteArray& is, const QByteArray& expected) const;

private:
    QString placeInBlock(BlockId block, qsizetype offset) const;
    void checkFiles();
    void checkRecord(TableId id, int record);
    // The rows the model says a filter hides are exactly the hidden ones; the officers stand in the
    // model's order.
    void checkRows();
    bool gridsAsOpened() const;
    void openSample();
    void createWindow();

    FuzzTempDir m_dir;
    std::array<QString, 2> m_images;
    std::array<QStringList, 2> m_names;
    QByteArray m_sample;
    std::unique_ptr<frmMain> m_window;
    OfficerGridCommands* m_officerCommands = nullptr;
    GridClipboardCommands* m_clipboard = nullptr;
    ModalAnswerer m_answers;
    Model m_model;
    QStringList m_trace;
    // Records whose bytes an input changed, checked again once every step is undone.
    std::set<std::pair<TableId, int>> m_touched;
    // What each image was last found to hold, and the file's stamp then.
    std::array<std::array<qint64, 4>, 2> m_stamps{};
    std::array<QByteArray, 2> m_compared;
    // Every cell of the five grids as the sample's open filled them.
    std::array<QStringList, 5> m_opened;
    bool m_reopen = true;
    // The officer sort's direction, which outlives an input as the grid's does.
    QString m_sortTag;
};
