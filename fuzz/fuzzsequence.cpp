// Random sequences of what a user does in the real main window (offscreen): type a value into any
// field of the five grids, paste a block, fill a selection, the officer dialog closed by OK or
// Cancel, filters, presses and double-clicks on the header row (the officers' sort), undo, redo, a
// batch change, the checksum fix, save, save as, ファイル > パッチを作成..., changes made by another program with the
// question answered either way, opening again, and the process stopping with the next start offered
// the unsaved edits back. Beside the window runs SequenceModel, the test's
// own account of what every file, cell and row must hold.
//
// After every step: each file holds exactly what the model says (so bytes outside the tables change
// only by another program, and the checksum pair only by a fix the user chose); the tables hold what
// the model says (so no direct edit reaches a row the filter hides); the undo history has the model's
// length; no grid's current cell is on a hidden row; the rows a filter hides and the officers' order
// are the model's; an edited record's cells, derived ones included, show what the model says and are
// tinted exactly where their text differs from the file's; after an open the placement names are
// exactly the list beside the image. The patch the window's command wrote, applied to the file as
// last saved, must give what the model says a save writes. At the end of each input every step is
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
#include "sequenceeditsteps.h"
#include "sequencefilesteps.h"
#include "sequencesession.h"
#include "sequencestep.h"
#include "sequencestopstep.h"

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
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

// --- The steps of the find bar and the header row. Each reads its operands, says what it does in the
// trace, does it through the window, and tells the model what it expects.

void filter(Session& s, FuzzInput& in)
{
    const TableId id = s.visible();
    const Grid& g = s.grid(id);
    const int kind = in.byte();
    const int col = in.byte() % g.cols();
    const int number = in.byte();
    const std::array<QString, 6> comparisons{u">"_s, u">="_s, u"<"_s, u"<="_s, u"="_s, u"!="_s};
    Model::Filter filter;
    QString text;
    if (kind % 4 == 3) {
        filter.kind = Model::Filter::Kind::Word;
        text = filter.word = QString::number(number % 10);
    } else if (kind % 4 != 0) {
        const QString header = g.text(0, col);
        filter.kind = Model::Filter::Kind::Compare;
        filter.op = kind / 4 % 6;
        filter.number = kind % 8 == 1 ? 999 : number;
        // A column without a header cannot be named: the filter is refused and the last one stays.
        filter.valid = !header.isEmpty();
        // The first column of that name is the one the filter reads.
        filter.col = col;
        for (int c = 0; c < col; ++c)
            if (g.text(0, c) == header) {
                filter.col = c;
                break;
            }
        text = header + comparisons[filter.op] + QString::number(filter.number);
    }
    s.trace() << u"filter table %1 by \"%2\""_s.arg(int(id)).arg(text);
    FindCommands& find = s.window().findCommands();
    find.openFind();
    // The same text typed over the box's selected text filters again; a text the bar refuses leaves the
    // last filter either way.
    QLineEdit* box = find.bar().filterEdit();
    if (box->text() == text && filter.valid)
        box->clear();
    box->setText(text);
    find.closeBar();
    s.model().filter(id, filter);
}

// A press or a double-click on the header row of the shown grid, as the view receives them; on the
// officers a double-click sorts by that column.
void clickHeader(Session& s, FuzzInput& in, bool sort)
{
    if (sort && s.visible() != TableId::Officer) {
        s.trace() << u"show the officers"_s;
        s.window().editItemClicked(1);
    }
    const TableId id = s.visible();
    const int col = in.byte() % s.grid(id).cols();
    const bool twice = sort || in.byte() % 2;
    s.trace() << u"%1 the header of column %2 of table %3"_s.arg(twice ? u"double-click"_s : u"click"_s)
                     .arg(col)
                     .arg(int(id));
    s.clickHeader(id, col, twice);
    if (twice && id == TableId::Officer) {
        s.needReopen();
        s.model().sortOfficers(col);
    }
}

void undoOrRedo(Session& s, bool undo)
{
    s.trace() << (undo ? u"undo"_s : u"redo"_s);
    (undo ? s.window().undoAction() : s.window().redoAction())->trigger();
    undo ? s.model().undo() : s.model().redo();
}

void showTable(Session& s, FuzzInput& in)
{
    const int item = 1 + in.byte() % 5;
    s.trace() << u"show table %1"_s.arg(item - 1);
    s.window().editItemClicked(item);
}

void step(Session& s, FuzzInput& in)
{
    const std::uint8_t first = in.byte();
    switch (stepOf(first)) {
    case SequenceStep::Click:
    case SequenceStep::ShiftClick:
        return SequenceEditSteps::click(s, in, stepOf(first) == SequenceStep::ShiftClick);
    case SequenceStep::Type:
        return SequenceEditSteps::typeValue(s, in);
    case SequenceStep::Paste:
        return SequenceEditSteps::paste(s, in);
    case SequenceStep::OfficerDialog:
        return SequenceEditSteps::officerDialog(s, in);
    case SequenceStep::Filter:
        return filter(s, in);
    case SequenceStep::Sort:
        return clickHeader(s, in, true);
    case SequenceStep::HeaderClick:
        return clickHeader(s, in, false);
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
    case SequenceStep::Stop:
        return SequenceStopStep::stop(s, in);
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
    // The window keeps recovery files of unsaved edits: the target's go to a test folder, never among
    // the user's own.
    QStandardPaths::setTestModeEnabled(true);
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
    // To see what a walk of the corpus does: TAVRIN_FUZZ_TRACE=1 and the input's file.
    static const bool tracing = qEnvironmentVariableIsSet("TAVRIN_FUZZ_TRACE");
    if (tracing)
        std::fprintf(stderr, "%s\n", qUtf8Printable(session.trace().join(u"\n"_s).replace(QChar(0), u"\\0"_s)));
    return 0;
}
