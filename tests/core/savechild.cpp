// A saving process for the crash-safety test: opens an image, edits it through the tables as the
// cell editor would, and saves it. Told a step, it stops there (announcing it on stdout) and waits
// to be killed, so that the test can look at the disk as a crash at that moment would leave it.
//
// Usage: tavrin-savechild <image> <destination> [opened|chunk|written|replaced]
// Exit status: 0 saved, 1 the open or save failed (reason on stderr), 2 bad arguments.

#include "document.h"
#include "grid.h"
#include "romfile.h"
#include "table.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <map>
#include <optional>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

std::optional<romfile::SaveStep> stopAt;

const std::map<QString, romfile::SaveStep>& stepNames()
{
    static const std::map<QString, romfile::SaveStep> names{
        {u"opened"_s, romfile::SaveStep::TemporaryOpened},
        {u"chunk"_s, romfile::SaveStep::FirstChunkWritten},
        {u"written"_s, romfile::SaveStep::AllWritten},
        {u"replaced"_s, romfile::SaveStep::Replaced},
    };
    return names;
}

void stopHere(romfile::SaveStep step)
{
    if (!stopAt || step != *stopAt)
        return;
    std::fputs("stopped\n", stdout);
    std::fflush(stdout);
    // Only SIGKILL from the test ends this; nothing after this point may run.
    for (;;)
        ::pause();
}

// Typed text through the commit rule into the cell, then the store, as the cell editor does on Enter.
bool edit(Document& document, TableId id, int row, int col, const QString& typed)
{
    Grid& grid = document.grid(id);
    Table& table = document.table(id);
    grid.setCurrentCell(row, col);
    const std::optional<QString> accepted = table.checkText(col, typed);
    if (!accepted)
        return false;
    grid.setText(row, col, *accepted);
    table.storeCell();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args.size() > 4)
        return 2;
    if (args.size() == 4) {
        const auto found = stepNames().find(args[3]);
        if (found == stepNames().end())
            return 2;
        stopAt = found->second;
    }

    Document document;
    // No name list: the child must not depend on its working directory.
    document.setNameListPath(QString());
    document.setUpGrids();
    const FileResult opened = document.open(args[1]);
    if (!opened.isDone()) {
        std::fprintf(stderr, "open: %s\n", qUtf8Printable(opened.message()));
        return 1;
    }
    // One edit in every table, the first and last bytes of the placement block among them.
    const bool edited =
        edit(document, TableId::Officer, 1, 3, u"95"_s) && edit(document, TableId::City, 1, 2, u"123"_s) &&
        edit(document, TableId::Item, 2, 4, u"0102030405060708090A0B0C"_s) &&
        edit(document, TableId::Force, 3, 1, u"100"_s) && edit(document, TableId::Placement, 1, 2, u"7"_s) &&
        edit(document, TableId::Placement, 531, 25, u"200"_s);
    if (!edited) {
        std::fputs("edit refused\n", stderr);
        return 1;
    }

    romfile::setSaveStepHook(&stopHere);
    const FileResult saved = document.save(args[2]);
    if (!saved.isDone()) {
        std::fprintf(stderr, "save: %s\n", qUtf8Printable(saved.message()));
        return 1;
    }
    return 0;
}
