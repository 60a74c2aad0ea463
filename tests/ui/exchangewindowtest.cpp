#include "filebytes.h"
#include "filedialogchoice.h"
#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "exchangecommands.h"
#include "exportdialog.h"
#include "officerwar.h"
#include "testregistry.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QUndoStack>

using namespace Qt::StringLiterals;

// Paste, export and import through the real window: what reaches the cells and blocks, the one undo
// step, the messages, and the File menu's new entries.
class ExchangeWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlV_sendsEveryCellThroughItsRule_asOneStep()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        const QByteArray before = session.block(TableId::Officer);
        session.select(TableId::Officer, 3, WarColumn);
        const int first = session.recordOfRow(TableId::Officer, 3);
        QGuiApplication::clipboard()->setText(u"300\t5\r\n7\t8\r\n"_s);
        EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid.text(3, WarColumn), u"255"_s);
        QCOMPARE(grid.text(3, WarColumn + 1), u"5"_s);
        QCOMPARE(grid.text(4, WarColumn), u"7"_s);
        QCOMPARE(grid.text(4, WarColumn + 1), u"8"_s);
        QCOMPARE(session.officerByte(first, WarOffset), 255);
        QCOMPARE(stackOf(session).count(), 1);
        // The pasted block is selected, from the cell where the paste began, in the grid and the view.
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), WarColumn);
        QCOMPARE(grid.rowSel(), 4);
        QCOMPARE(grid.colSel(), WarColumn + 1);
        GridView* view = session.view(TableId::Officer);
        QCOMPARE(view->selectionModel()->selectedIndexes().size(), 4);
        QVERIFY(view->selectionModel()->isSelected(view->model()->index(GridModel::toModelRow(4), WarColumn + 1)));
        if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
            view->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/pasted-block.png"_s);

        EditorSession::press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.block(TableId::Officer), before);
    }

    void paste_refusedAndSkippedCells_areToldInOneMessage()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::City);
        session.select(TableId::City, 5, 1);
        const QString label = grid.text(5, 1);
        ModalCloser closer;
        // Column 1 is the city's name label; "x" is no number for column 2.
        QGuiApplication::clipboard()->setText(u"label\tx\t12"_s);
        EditorSession::press(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(closer.texts.size(), 1);
        QCOMPARE(closer.titles, QStringList{EditorState::applicationTitle()});
        QVERIFY(closer.texts.first().contains(u"x"_s));
        QVERIFY(closer.texts.first().contains(u"label"_s));
        QCOMPARE(grid.text(5, 1), label);
        QCOMPARE(grid.text(5, 3), u"12"_s);
    }

    void paste_oneValue_fillsTheSelection()
    {
        EditorSession session;
        QVERIFY(session.active);
        Grid& grid = session.grid(TableId::Officer);
        session.select(TableId::Officer, 10, WarColumn);
        EditorSession::press(Qt::Key_Down, Qt::ShiftModifier);
        EditorSession::press(Qt::Key_Right, Qt::ShiftModifier);
        QGuiApplication::clipboard()->setText(u"9"_s);
        EditorSession::press(Qt::Key_V, Qt::ControlModifier);
        for (int row : {10, 11})
            for (int col : {WarColumn, WarColumn + 1})
                QCOMPARE(grid.text(row, col), u"9"_s);
        QCOMPARE(grid.text(12, WarColumn) == u"9"_s, false);
        QCOMPARE(stackOf(session).count(), 1);
    }

    void exportThenEditedImport_changesTheDocumentOnly_asOneStep()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QByteArray onDisk = readFileBytes(session.sample);
        const QString folder = session.dir.filePath(u"tables"_s);
        ExchangeCommands& commands = session.main().exchangeCommands();
        QVERIFY(commands.exportTo(std::nullopt, FileFormat::Tsv, folder));
        for (const QString& name :
             {u"officers.tsv"_s, u"cities.tsv"_s, u"items.tsv"_s, u"forces.tsv"_s, u"placement.tsv"_s})
            QVERIFY2(QFile::exists(folder + u'/' + name), qPrintable(name));

        // Officer record 0's war value in the file, as a spreadsheet user would change it.
        const QString officers = folder + u"/officers.tsv"_s;
        QList<QByteArray> lines = readFileBytes(officers).split('\n');
        QList<QByteArray> cells = lines[1].split('\t');
        cells[WarColumn] = "123";
        lines[1] = cells.join('\t');
        QVERIFY(writeFileBytes(officers, lines.join('\n')));
        const QByteArray before = session.block(TableId::Officer);

        ModalCloser closer;
        commands.importFiles({officers, folder + u"/cities.tsv"_s});
        QCOMPARE(closer.texts, QStringList{u"1 個の値を取り込みました。"_s});
        QCOMPARE(session.officerByte(0, WarOffset), 123);
        QCOMPARE(stackOf(session).count(), 1);
        QCOMPARE(readFileBytes(session.sample), onDisk);
        QVERIFY(session.main().session().isModified());
        session.main().undoAction()->trigger();
        QCOMPARE(session.block(TableId::Officer), before);
    }

    void import_ofABrokenFile_changesNothingAndNamesIt()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString folder = session.dir.filePath(u"tables"_s);
        ExchangeCommands& commands = session.main().exchangeCommands();
        QVERIFY(commands.exportTo(std::nullopt, FileFormat::Tsv, folder));
        const QString officers = folder + u"/officers.tsv"_s;
        QList<QByteArray> lines = readFileBytes(officers).split('\n');
        lines[1].replace(QByteArray("\t"), QByteArray("\t999\t"));
        lines[2] = lines[2].split('\t')[0] + "\t123";
        QVERIFY(writeFileBytes(officers, lines.join('\n')));
        const QString broken = folder + u"/broken.tsv"_s;
        QVERIFY(writeFileBytes(broken, "no\theader\nhere\n"));
        const QByteArray before = session.block(TableId::Officer);

        for (const QString& path : {officers, broken}) {
            ModalCloser closer;
            // The good file first: a bad one among several still changes nothing.
            commands.importFiles({folder + u"/cities.tsv"_s, path});
            QCOMPARE(closer.texts.size(), 1);
            QVERIFY(closer.texts.first().contains(QDir::toNativeSeparators(path)));
            QCOMPARE(session.block(TableId::Officer), before);
            QCOMPARE(stackOf(session).count(), 0);
        }
    }

    void exportMenu_oneTableAsCsv_throughTheDialogs()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString target = session.dir.filePath(u"cities"_s);
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* choice = qobject_cast<ExportDialog*>(dialog)) {
                choice->setTable(TableId::City);
                choice->setFormat(FileFormat::Csv);
                if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
                    choice->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/export-dialog.png"_s);
                choice->accept();
            } else {
                chooseInFileDialog(dialog, target);
            }
        };
        session.main().fileItem(4)->trigger();
        QCOMPARE(closer.dialogTitles, (QStringList{u"エクスポート"_s, u"エクスポート"_s}));
        const QByteArray written = readFileBytes(target + u".csv"_s);
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        QVERIFY(written.contains("No"));
    }

    void exportMenu_allTablesIntoAChosenFolder()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString folder = session.dir.filePath(u"out"_s);
        QVERIFY(QDir().mkdir(folder));
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* choice = qobject_cast<ExportDialog*>(dialog)) {
                choice->setTable(std::nullopt);
                choice->accept();
            } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                files->setDirectory(folder);
                dialog->accept();
            }
        };
        session.main().fileItem(4)->trigger();
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 5);
        QVERIFY(readFileBytes(folder + u"/officers.tsv"_s).startsWith("No\t"));
    }

    void importMenu_readsTheChosenFiles()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString folder = session.dir.filePath(u"tables"_s);
        QVERIFY(session.main().exchangeCommands().exportTo(std::nullopt, FileFormat::Tsv, folder));
        const QString forces = folder + u"/forces.tsv"_s;
        QList<QByteArray> lines = readFileBytes(forces).split('\n');
        QList<QByteArray> cells = lines[3].split('\t');
        cells[1] = "7";
        lines[3] = cells.join('\t');
        QVERIFY(writeFileBytes(forces, lines.join('\n')));
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) { chooseInFileDialog(dialog, forces); };
        session.main().fileItem(5)->trigger();
        QCOMPARE(closer.dialogTitles, QStringList{u"インポート"_s});
        QCOMPARE(closer.texts, QStringList{u"1 個の値を取り込みました。"_s});
        QCOMPARE(session.grid(TableId::Force).text(3, 1), u"7"_s);
        QCOMPARE(stackOf(session).count(), 1);
    }

    void openDialog_offersSmcSfcAndAllFiles()
    {
        EditorSession session;
        QVERIFY(session.active);
        QStringList filters;
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* files = qobject_cast<QFileDialog*>(dialog))
                filters = files->nameFilters();
            dialog->reject();
        };
        session.main().fileItem(0)->trigger();
        QCOMPARE(filters, (QStringList{u"SMC ファイル(*.smc)"_s, u"SFC ファイル(*.sfc)"_s, u"すべてのファイル (*)"_s}));
    }

    void saveAs_ofAHeaderlessImage_offersSfc()
    {
        EditorSession session;
        QVERIFY(session.active);
        const QString headerless = session.dir.filePath(u"plain.sfc"_s);
        QVERIFY(writeFileBytes(headerless, readFileBytes(session.sample).mid(512)));
        session.main().openImage(headerless);
        QCOMPARE(session.main().document().state().currentPath(), headerless);
        QStringList filters;
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            if (auto* files = qobject_cast<QFileDialog*>(dialog))
                filters = files->nameFilters();
            chooseInFileDialog(dialog, session.dir.filePath(u"copy"_s));
        };
        session.main().fileItem(2)->trigger();
        QCOMPARE(filters, QStringList{u"SFC ファイル(*.sfc)"_s});
        QCOMPARE(readFileBytes(session.dir.filePath(u"copy.sfc"_s)), readFileBytes(headerless));
    }

    void patchMenu_asksForTheOriginalFirst()
    {
        EditorSession session;
        QVERIFY(session.active);
        ModalCloser closer;
        session.main().fileItem(6)->trigger();
        QCOMPARE(closer.dialogTitles, QStringList{u"元のイメージを選択"_s});
    }
};

TAVRIN_TEST(ExchangeWindowTest)
#include "exchangewindowtest.moc"
