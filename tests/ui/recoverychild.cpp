// An editor that is killed for the recovery test: the real window on the image it is given, in
// QStandardPaths' test mode (so that its application data follows HOME), types values into three
// tables and asks for the checksum fix, waits until the recovery file holds it all, writes the five tables to a file,
// says "ready" on stdout and waits to be killed.
//
// Usage: tavrin-recoverychild <application name> <image> <tables file>

#include "blockcatalogue.h"
#include "frmmain.h"
#include "grid.h"
#include "gridview.h"
#include "officerwar.h"
#include "recoveryfile.h"
#include "recoverykeeper.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 2;
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(u"Tavrin"_s);
    QCoreApplication::setApplicationName(args[1]);
    frmMain window({args[0], args[2]});
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        return 1;
    // As the user types: a digit opens the cell editor, Enter stores.
    const auto type = [&window](int edit, int row, int col, const QByteArray& keys) {
        window.editItemClicked(edit);
        Document& document = window.document();
        const TableId id = *window.session().visibleTable();
        document.grid(id).setCurrentCell(row, col);
        window.view(id)->setFocus();
        for (const char key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    type(1, 3, WarColumn, "42");
    type(2, 1, 2, "123");
    type(5, 1, 2, "7");
    // ファイル > チェックサムを修正: the request goes with the tables.
    window.fileItem(10)->trigger();
    QByteArray tables;
    for (const BlockSpec& range : BlockCatalogue)
        tables += window.document().state().block(range.id);
    // Ready once the recovery file holds every edit, whichever write brought the last of them.
    const auto written = [&] {
        const std::optional<RecoveryFile> kept = RecoveryFile::read(window.recovery().filePath());
        QByteArray keptTables;
        for (const BlockSpec& range : BlockCatalogue)
            keptTables += kept ? kept->blocks[std::size_t(range.id)] : QByteArray();
        return keptTables == tables && kept->checksum == window.document().checksumRequest();
    };
    if (!QTest::qWaitFor(written, 10'000))
        return 1;
    QFile out(args[3]);
    if (!out.open(QIODevice::WriteOnly) || out.write(tables) != tables.size() || !out.flush())
        return 1;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    // Only the kill ends this.
    return QApplication::exec();
}
