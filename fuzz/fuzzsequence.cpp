// Random sequences of what a user does in the real main window (offscreen): type a value into a
// cell, paste a block, fill a selection, the officer dialog closed by OK or Cancel, filters, sorts,
// undo, redo, a batch change, the checksum fix, save, save as, a patch, changes made by another
// program with the question answered either way, and opening again. Beside the window runs SequenceModel, the test's
// own account of what every file and table must hold.
//
// After every step: each file holds exactly what the model says (so bytes outside the tables change
// only by another program, and the checksum pair only by a fix the user chose); the tables hold what
// the model says (so no direct edit reaches a row the filter hides); the undo history has the model's
// length; no grid's current cell is on a hidden row; an edited record's cells show its bytes and are
// tinted exactly where those differ from the file; after an open the placement names are exactly the
// list beside the image. A patch step checks that the patch of what a save would write, applied to the
// file as last saved, gives what the model says a save writes. At the end of each input every step is
// undone: the tables must be as opened.
//
// Dialogs are answered from inside their own event loop by ModalAnswerer, so each step stays fast.
// Input: steps of [operation][operands...] (SequenceStep names them); past the end every read is zero.

#include "celleditor.h"
#include "fieldedit.h"
#include "findbar.h"
#include "findcommands.h"
#include "frmedit.h"
#include "fuzzinput.h"
#include "grid.h"
#include "gridclipboardcommands.h"
#include "gridview.h"
#include "officergridcommands.h"
#include "sequencebatchstep.h"
#include "sequencefilesteps.h"
#include "sequencesession.h"
#include "sequencestep.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxSteps = 48;
using Session = SequenceSession;
using Model = SequenceModel;

// The steps and inputs of the run, told at its end: the steps measure how far it went.
std::uint64_t steps = 0;
std::uint64_t inputs = 0;

bool isShownCell(const Grid& g, int row, int col)
{
    return row >= g.fixedRows() && row < g.rows() && !g.isRowHidden(row) && col >= 0 && col < g.cols();
}

// A shown data row near `wanted`; nullopt when the filter hides every row.
std::optional<int> shownRow(const Grid& g, int wanted)
{
    int row = g.nextShownRow(g.fixedRows() + wanted % (g.rows() - g.fixedRows()) - 1, 1);
    if (row >= g.rows())
        row = g.nextShownRow(g.rows(), -1);
    return row >= g.fixedRows() ? std::optional<int>(row) : std::nullopt;
}

// The writes of sending `text` into every shown row of the rectangle, as a fill does.
QList<Model::Write> fillWrites(Session& s, TableId id, const QString& text, int top, int left, int bottom, int right)
{
    const Grid& g = s.grid(id);
    QList<Model::Write> writes;
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right && !g.isRowHidden(row); ++col)
            if (const std::optional<int> value = Model::byteFor(text, *Model::cap(id, col)))
                writes << Model::Write{blockOfTable(id), Model::offsetOf(id, g.text(row, 0).toInt(), col),
                                       char(*value)};
    return writes;
}

// Whether the selection lies in one run of number columns, where the model knows what each cell stores.
bool selectionInByteColumns(const Grid& g, TableId id)
{
    return Model::cap(id, g.col()) && Model::run(id, g.col()) == Model::run(id, g.colSel()) &&
           g.rowSel() >= g.fixedRows() && g.rowSel() < g.rows();
}

// --- The steps. Each reads its operands, says what it does in the trace, does it through the
// window, and tells the model what it expects.

void click(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const QList<int> cols = Model::byteColumns(id);
    const int col = cols[in.byte() % cols.size()];
    const std::optional<int> row = shownRow(g, in.word());
    if (!row)
        return;
    s.trace() << u"click row %1 column %2"_s.arg(*row).arg(col);
    s.click(id, *row, col);
    if (g.row() != *row || g.col() != col)
        s.fail(u"the click made row %1 column %2 current"_s.arg(g.row()).arg(g.col()));
}

void shiftClick(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    if (!isShownCell(g, g.row(), g.col()) || !Model::cap(id, g.col()))
        return;
    const auto [first, last] = Model::run(id, g.col());
    const int col = first + in.byte() % (last - first + 1);
    if (const std::optional<int> row = shownRow(g, in.word())) {
        s.trace() << u"shift-click row %1 column %2"_s.arg(*row).arg(col);
        s.click(id, *row, col, Qt::ShiftModifier);
    }
}

void typeValue(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const QString digits = QString::number(in.word() % 400);
    int finish = in.byte() % 4; // Enter, Enter, Ctrl+Enter, Escape
    if (isShownCell(g, g.row(), g.col()) && !Model::cap(id, g.col()))
        return;
    CellEditor* editor = s.window().cellEditor();
    const int row = g.row();
    const int col = g.col();
    const bool shown = isShownCell(g, row, col);
    s.trace() << u"type %1 on table %2 at row %3 column %4"_s.arg(digits).arg(int(id)).arg(row).arg(col);
    Session::key(s.window().view(id), Qt::Key_0 + digits[0].digitValue(), digits.left(1));
    if (shown && !editor->isEditing())
        s.fail(u"the cell editor did not open on a shown cell"_s);
    if (editor->isEditing() && (g.row() != row || g.col() != col))
        s.fail(u"the first key moved the current cell to row %1 column %2"_s.arg(g.row()).arg(g.col()));
    // The selection as the grid holds it once the key has passed through the view.
    if (finish == 2 && !(shown && selectionInByteColumns(g, id)))
        finish = 0;
    QList<Model::Write> writes;
    if (shown && finish < 2)
        writes = fillWrites(s, id, digits, row, col, row, col);
    else if (shown && finish == 2)
        writes = fillWrites(s, id, digits, std::min(row, g.rowSel()), std::min(col, g.colSel()),
                            std::max(row, g.rowSel()), std::max(col, g.colSel()));
    const QString key = finish == 2 ? u"Ctrl+Enter to rows %1-%2, columns %3-%4"_s.arg(g.row())
                                          .arg(g.rowSel())
                                          .arg(g.col())
                                          .arg(g.colSel())
                                    : finish == 3 ? u"Escape"_s
                                                  : u"Enter"_s;
    s.trace().last() += u", "_s + key;
    s.answers().run([&] {
        for (const QChar digit : digits.mid(1))
            Session::key(editor, Qt::Key_0 + digit.digitValue(), QString(digit));
        if (g.row() != row || g.col() != col)
            s.fail(u"typing moved the current cell"_s);
        if (finish == 3)
            Session::key(editor, Qt::Key_Escape, u"\x1b"_s);
        else
            Session::key(editor, Qt::Key_Return, u"\r"_s, finish == 2 ? Qt::ControlModifier : Qt::NoModifier);
    });
    s.model().edit(writes);
}

void paste(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    Grid& g = s.grid(id);
    const int shape = in.byte();
    const bool shown = isShownCell(g, g.row(), g.col());
    if (shown && !selectionInByteColumns(g, id))
        return;
    const int left = std::min(g.col(), g.colSel());
    const int width = shown ? std::min(1 + shape / 3 % 3, Model::run(id, left).second - left + 1) : 1 + shape / 3 % 3;
    QList<QStringList> cells(1 + shape % 3);
    for (QStringList& line : cells)
        for (int c = 0; c < width; ++c) {
            const int b = in.byte();
            // Now and then a value the column refuses, which costs a message box.
            line << (b == 255 ? u"x"_s : b == 254 ? u"-1"_s : QString::number(b % 16 == 13 ? b + 100 : b));
        }
    QStringList lines;
    for (const QStringList& line : std::as_const(cells))
        lines << line.join(u'\t');
    const QString text = lines.join(u"\r\n"_s);
    QList<Model::Write> writes;
    const bool fills = cells.size() == 1 && width == 1 && (g.row() != g.rowSel() || g.col() != g.colSel());
    if (shown && fills) {
        writes = fillWrites(s, id, text, std::min(g.row(), g.rowSel()), left, std::max(g.row(), g.rowSel()),
                            std::max(g.col(), g.colSel()));
    } else if (shown) {
        // Into consecutive shown rows from the selection's top.
        const int top = std::min(g.row(), g.rowSel());
        int row = g.isRowHidden(top) ? g.nextShownRow(top, 1) : top;
        for (const QStringList& line : std::as_const(cells)) {
            if (row < g.rows())
                for (int c = 0; c < line.size(); ++c)
                    writes << fillWrites(s, id, line[c], row, left + c, row, left + c);
            row = g.nextShownRow(row, 1);
        }
    }
    s.trace() << u"paste \"%1\" on table %2 at row %3 column %4 (selection to %5, %6)"_s.arg(text)
                     .arg(int(id))
                     .arg(g.row())
                     .arg(g.col())
                     .arg(g.rowSel())
                     .arg(g.colSel());
    QGuiApplication::clipboard()->setText(text);
    s.answers().allowReports();
    s.answers().run([&] { s.clipboard().paste(id); });
    s.model().edit(writes);
}

void officerDialog(Session& s, FuzzInput& in)
{
    // The boxes that show one byte: 武力 to 魅力, 生年, 相性, 義理, 血縁.
    constexpr std::array<int, 10> Boxes{2, 3, 4, 5, 6, 7, 12, 14, 15, 16};
    const int chosen = in.word() & 0x3FF;
    const bool ok = in.byte() % 3 != 0;
    std::array<int, 10> values{};
    for (std::size_t k = 0; k < Boxes.size(); ++k)
        if (chosen & (1 << k))
            values[k] = in.byte() % (*Model::cap(TableId::Officer, Boxes[k] + 1) + 1);
    if (s.visible() != TableId::Officer) {
        s.trace() << u"show the officers"_s;
        s.window().editItemClicked(1);
    }
    const Grid& g = s.grid(TableId::Officer);
    const int row = g.row();
    if (row < g.fixedRows() || row >= g.rows())
        return;
    const bool shown = isShownCell(g, row, g.col());
    QStringList typed;
    QList<Model::Write> writes;
    for (std::size_t k = 0; k < Boxes.size(); ++k)
        if (chosen & (1 << k)) {
            typed << u"box %1 = %2"_s.arg(Boxes[k]).arg(values[k]);
            if (shown && ok)
                writes << Model::Write{BlockId::Officer,
                                       Model::offsetOf(TableId::Officer, g.text(row, 0).toInt(), Boxes[k] + 1),
                                       char(values[k])};
        }
    s.trace() << u"officer dialog on row %1: %2, %3"_s.arg(row).arg(typed.join(u", "_s), ok ? u"OK"_s : u"Cancel"_s);
    if (shown)
        s.answers().expectDialog([&](QDialog* dialog) {
            auto* edit = qobject_cast<frmEdit*>(dialog);
            for (std::size_t k = 0; k < Boxes.size() && edit; ++k)
                if (chosen & (1 << k))
                    edit->box(Boxes[k])->setText(QString::number(values[k]));
            edit ? edit->button(ok ? 0 : 1)->click() : dialog->reject();
        });
    s.answers().run([&] { s.officerCommands().officerGridDoubleClick(GridCell{row, g.col()}); });
    s.model().edit(writes);
}

void filter(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const int kind = in.byte();
    const int col = in.byte() % g.cols();
    const int number = in.byte();
    const std::array<QString, 6> comparisons{u">"_s, u">="_s, u"<"_s, u"<="_s, u"="_s, u"!="_s};
    QString text;
    if (kind % 4 == 3)
        text = QString::number(number % 10);
    else if (kind % 4 != 0)
        text = g.text(0, col) + comparisons[kind / 4 % 6] + (kind % 8 == 1 ? u"999"_s : QString::number(number));
    s.trace() << u"filter table %1 by \"%2\""_s.arg(int(id)).arg(text);
    FindCommands& find = s.window().findCommands();
    find.openFind();
    find.bar().filterEdit()->setText(text);
    find.closeBar();
}

void sortOfficers(Session& s, FuzzInput& in)
{
    const int col = in.byte() % s.grid(TableId::Officer).cols();
    s.trace() << u"double-click the officer header of column %1"_s.arg(col);
    s.needReopen();
    if (s.visible() != TableId::Officer)
        s.window().editItemClicked(1);
    s.officerCommands().officerGridDoubleClick(GridCell{0, col});
}

void undoOrRedo(Session& s, bool undo)
{
    s.trace() << (undo ? u"undo"_s : u"redo"_s);
    (undo ? s.window().undoAction() : s.window().redoAction())->trigger();
    undo ? s.model().undo() : s.model().redo();
}

void showTable(Session& s, FuzzInput& in)
{
    const std::array<int, 3> items{1, 2, 5};
    const int item = items[in.byte() % 3];
    s.trace() << u"show table %1"_s.arg(item - 1);
    s.window().editItemClicked(item);
}

void step(Session& s, FuzzInput& in)
{
    switch (stepOf(in.byte())) {
    case SequenceStep::Click:
        return click(s, in);
    case SequenceStep::ShiftClick:
        return shiftClick(s, in);
    case SequenceStep::Type:
        return typeValue(s, in);
    case SequenceStep::Paste:
        return paste(s, in);
    case SequenceStep::OfficerDialog:
        return officerDialog(s, in);
    case SequenceStep::Filter:
        return filter(s, in);
    case SequenceStep::Sort:
        return sortOfficers(s, in);
    case SequenceStep::Undo:
        return undoOrRedo(s, true);
    case SequenceStep::Redo:
        return undoOrRedo(s, false);
    case SequenceStep::FixChecksum:
        return SequenceFileSteps::fixChecksum(s);
    case SequenceStep::Save:
        return SequenceFileSteps::save(s, in);
    case SequenceStep::SaveAs:
        return SequenceFileSteps::saveAs(s);
    case SequenceStep::Patch:
        return SequenceFileSteps::makePatch(s, in);
    case SequenceStep::ChangeOutside:
        return SequenceFileSteps::changeOutside(s, in);
    case SequenceStep::Open:
        return SequenceFileSteps::openAgain(s, in);
    case SequenceStep::Batch:
        return SequenceBatchStep::batch(s, in);
    case SequenceStep::ShowTable:
    case SequenceStep::Count:
        return showTable(s, in);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_sequence";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    static QElapsedTimer clock;
    clock.start();
    std::atexit([] {
        std::fprintf(stderr, "fuzz_sequence: %llu steps in %llu inputs, %lld s\n", (unsigned long long)steps,
                     (unsigned long long)inputs, (long long)clock.elapsed() / 1000);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Never destroyed, like the application: at exit Qt's own statics are gone before the window.
    static Session& session = *new Session;
    session.start();
    ++inputs;
    FuzzInput in(data, size);
    for (int n = 0; n < MaxSteps && !in.atEnd(); ++n) {
        step(session, in);
        session.checkAfterStep();
        ++steps;
    }
    session.undoAll();
    return 0;
}
