#include "frmmain.h"

#include "batchcommands.h"
#include "celleditor.h"
#include "checksumfixcommand.h"
#include "commandline.h"
#include "comparecommands.h"
#include "diskchangedquestion.h"
#include "editorstate.h"
#include "exchangecommands.h"
#include "filedialogs.h"
#include "findcommands.h"
#include "gridclipboardcommands.h"
#include "grid.h"
#include "gridmodel.h"
#include "gridview.h"
#include "helpmenu.h"
#include "menutable.h"
#include "mergecommands.h"
#include "officergridcommands.h"
#include "officertable.h"
#include "okmessagebox.h"
#include "patchcreator.h"
#include "recoverykeeper.h"
#include "savechangesquestion.h"
#include "testplaycommand.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

const FileFilter SmcFilter{u"SMC ファイル(*.smc)"_s, u"*.smc"_s};
const FileFilter SfcFilter{u"SFC ファイル(*.sfc)"_s, u"*.sfc"_s};
const QList<FileFilter> OpenFilters{SmcFilter, SfcFilter, {u"すべてのファイル (*)"_s, u"*"_s}};

// Object names of the grids, in TableId order.
constexpr std::array<const char16_t*, 5> GridNames{u"fg", u"fgCity", u"fgItem", u"fgPow", u"fgArrange"};

std::optional<TableId> tableOfEditIndex(int index)
{
    switch (index) {
    case 1:
        return TableId::Officer;
    case 2:
        return TableId::City;
    case 3:
        return TableId::Item;
    case 4:
        return TableId::Force;
    case 5:
        return TableId::Placement;
    default:
        return std::nullopt;
    }
}

} // namespace

frmMain::frmMain(const QStringList& arguments, QWidget* parent) : QMainWindow(parent), m_session(new EditSession(*this))
{
    setObjectName(u"frmMain"_s);
    resize(960, 640);
    EditorState& state = document().state();
    setWindowTitle(state.caption());
    connect(&state, &EditorState::captionChanged, this, &QWidget::setWindowTitle);
    createViews();
    buildMenus();
    createEditing();
    startUp(arguments);
}

frmMain::~frmMain()
{
    // The views read the document's grids until they are gone, so they go first.
    delete takeCentralWidget();
    for (const TableId id : AllTables)
        m_session->setView(id, nullptr);
}

void frmMain::createViews()
{
    auto* client = new QWidget(this);
    client->setObjectName(u"clientArea"_s);
    client->installEventFilter(this);
    setCentralWidget(client);
    for (const TableId id : AllTables) {
        Grid& grid = document().grid(id);
        // The officer view is the first one; the others wait hidden for the Edit menu.
        grid.setVisible(id == TableId::Officer);
        auto* view = new GridView(grid, client);
        view->setObjectName(QString::fromUtf16(GridNames[static_cast<std::size_t>(id)]));
        m_session->setView(id, view);
    }
}

void frmMain::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(u"ファイル(&F)"_s);
    m_fileItems = MenuTable::build(*m_fileMenu,
                                   {
                                       {0, u"ファイルを開く(&O)"_s, QKeySequence(Qt::CTRL | Qt::Key_O)},
                                       {1, u"上書き保存(&S)"_s, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                       {2, u"名前を付けて保存(&A)"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                                       {3, u"-"_s},
                                       {4, u"エクスポート..."_s},
                                       {5, u"インポート..."_s},
                                       {6, u"パッチを作成..."_s},
                                       {10, u"チェックサムを修正"_s},
                                       {11, u"テストプレイ"_s, QKeySequence(Qt::Key_F5)},
                                       {12, u"テストプレイの設定..."_s},
                                       {13, u"比較..."_s, QKeySequence(Qt::CTRL | Qt::Key_D)},
                                       {14, u"比較を終了"_s},
                                       {15, u"マージ..."_s},
                                       {7, u"リスト保存"_s, {}, false},
                                       {8, u"-"_s},
                                       {9, u"終了(&X)"_s},
                                   },
                                   [this](int index) { fileItemClicked(index); });

    m_editMenu = menuBar()->addMenu(u"編集(&E)"_s);
    buildUndoItems();
    buildClipboardItems();
    buildFindItems();
    m_editItems = MenuTable::build(*m_editMenu,
                                   {
                                       {1, u"武将"_s},
                                       {2, u"都市"_s},
                                       {3, u"アイテム"_s},
                                       {4, u"勢力"_s},
                                       {5, u"配置"_s},
                                   },
                                   [this](int index) { editItemClicked(index); });

    m_helpMenu = menuBar()->addMenu(u"ヘルプ(&H)"_s);
    m_help = new HelpMenu(*m_helpMenu, *this);

    // The officer pop-up belongs to the window but is never on its menu bar.
    m_busyoMenu = new QMenu(u"ポップアップ"_s, this);
    m_busyoItems = MenuTable::build(*m_busyoMenu, {{2, u"長寿命化"_s}}, [this](int index) { busyoItemClicked(index); });
}

void frmMain::buildUndoItems()
{
    QUndoStack& stack = m_session->undoStack();
    m_undoAction = m_editMenu->addAction(u"元に戻す(&U)"_s, &stack, &QUndoStack::undo);
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setEnabled(stack.canUndo());
    connect(&stack, &QUndoStack::canUndoChanged, m_undoAction, &QAction::setEnabled);
    m_redoAction = m_editMenu->addAction(u"やり直し(&R)"_s, &stack, &QUndoStack::redo);
    // Ctrl+Y and Ctrl+Shift+Z both redo, whatever the platform's own convention is.
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_redoAction->setEnabled(stack.canRedo());
    connect(&stack, &QUndoStack::canRedoChanged, m_redoAction, &QAction::setEnabled);
}

void frmMain::buildClipboardItems()
{
    // As in any desktop program the items act on what has the keyboard: a text box (the cell editor)
    // copies and pastes its own text, otherwise the grid that is shown does what its keys do.
    m_copyAction = m_editMenu->addAction(u"コピー"_s, this, [this] {
        if (QLineEdit* edit = focusedTextBox())
            edit->copy();
        else if (const std::optional<TableId> id = m_session->visibleTable())
            m_clipboardCommands->copy(*id);
    });
    m_copyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_pasteAction = m_editMenu->addAction(u"貼り付け"_s, this, [this] {
        if (QLineEdit* edit = focusedTextBox())
            edit->paste();
        else if (const std::optional<TableId> id = m_session->visibleTable())
            m_clipboardCommands->paste(*id);
    });
    m_pasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
}

QLineEdit* frmMain::focusedTextBox() const
{
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return edit && edit->window() == this && edit->isVisible() ? edit : nullptr;
}

void frmMain::buildFindItems()
{
    // The commands come in createEditing(), after the menus.
    m_findAction = m_editMenu->addAction(u"検索..."_s, this, [this] { m_findCommands->openFind(); });
    m_findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_goToAction = m_editMenu->addAction(u"移動..."_s, this, [this] { m_findCommands->goTo(); });
    m_goToAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    m_batchAction = m_editMenu->addAction(u"一括変更..."_s, this, [this] { m_batchCommands->open(); });
    m_batchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    // The view items follow, the last of the menu.
    m_viewSeparator = m_editMenu->addSeparator();
}

void frmMain::createEditing()
{
    // Created after the grids, so that the editor lies above them.
    m_cellEditor = new CellEditor(*m_session, centralWidget());
    m_officerCommands = new OfficerGridCommands(*m_session, *m_busyoMenu);
    m_clipboardCommands = new GridClipboardCommands(*m_session);
    m_exchangeCommands = new ExchangeCommands(*m_session);
    m_findCommands = new FindCommands(*m_session, *this);
    m_batchCommands = new BatchCommands(*m_session, *m_findCommands);
    m_compareCommands = new CompareCommands(*m_session, *this, *m_findCommands);
    m_compareCommands->addMenuItems(*m_editMenu, m_viewSeparator, m_fileItems.value(14));
    m_mergeCommands = new MergeCommands(*m_session, *m_compareCommands);
    m_testPlay = std::make_unique<TestPlayCommand>(*this, document());
    m_recovery = std::make_unique<RecoveryKeeper>(*m_session);
    // The officer's name from the list, over the columns that name the officer.
    view(TableId::Officer)->gridModel()->setToolTipSource([this](int row, int col) {
        return col <= 1 ? document().officerListName(row) : QString();
    });
    connect(m_cellEditor, &CellEditor::spaceTypedOnOfficerGrid, m_officerCommands,
            qOverload<>(&OfficerGridCommands::officerGridDoubleClick));
}

void frmMain::startUp(const QStringList& arguments)
{
    m_editItems.value(3)->setVisible(false);
    m_editItems.value(4)->setVisible(false);
    for (const TableId id : {TableId::Officer, TableId::City}) {
        view(id)->setAcceptFileDrops(true);
        view(id)->setWheelScrollsThreeRows(true);
        // Only once the drop has returned: a question asked inside it (unsaved changes, a refused file)
        // would keep the program the file came from in its drag until answered (under Wine, Explorer's
        // drag stayed open behind the question).
        connect(
            view(id), &GridView::filesDropped, this,
            [this](const QStringList& paths) {
                // Only the first file of a drop is opened.
                if (!paths.isEmpty())
                    openImageAsked(paths.first());
            },
            Qt::QueuedConnection);
    }
    document().setUpGrids();
    openImage(commandline::ImagePath(arguments));
    // Drawing comes on only now, so the views show the filled grids at once.
    document().setRedraw(true);
}

QAction* frmMain::helpItem(int index) const
{
    return m_help->item(index);
}

void frmMain::fileItemClicked(int index)
{
    const QString current = document().state().currentPath();
    switch (index) {
    case 0:
        // Asked before the file dialog: a cancelled question should not be followed by a dialog.
        if (maySetDocumentAside())
            openImage(FileDialogs::showOpenDialog(this, u"ファイルを開く"_s, OpenFilters));
        break;
    case 1:
        // Always attempted once an image is open: a file that vanished since is reported by the save.
        if (!current.isEmpty())
            saveImage(current);
        break;
    case 2:
        // A copy of the open image, whose form the save keeps: the name gets that form's extension.
        if (!current.isEmpty()) {
            const FileFilter& filter = document().hasCopierHeader() ? SmcFilter : SfcFilter;
            saveImage(FileDialogs::showSaveDialog(this, u"名前を付けて保存"_s, {filter}, QString()));
        }
        break;
    case 4:
        m_exchangeCommands->exportTables();
        break;
    case 5:
        m_exchangeCommands->importTables();
        break;
    case 6:
        PatchCreator(this, document()).run();
        break;
    case 10:
        // Without an image there is nothing to fix; the step reaches the file at the next save.
        if (!current.isEmpty())
            if (const FileResult result = ChecksumFixCommand::request(document(), m_session->undoStack());
                result.isFailed())
                showMessage(result.message());
        break;
    case 11:
        m_testPlay->run();
        break;
    case 12:
        m_testPlay->configure();
        break;
    case 13:
        m_compareCommands->open();
        break;
    case 14:
        m_compareCommands->end();
        break;
    case 15:
        m_mergeCommands->open();
        break;
    case 9:
        close();
        break;
    default:
        break;
    }
}

void frmMain::editItemClicked(int index)
{
    m_session->showTable(tableOfEditIndex(index));
}

void frmMain::busyoItemClicked(int index)
{
    if (index == 2)
        m_session->record(TableId::Officer, u"長寿命化 (全武将)"_s,
                          [this] { document().officers().setAllLifespans(); });
}

void frmMain::openImage(const QString& path)
{
    const FileResult result = document().open(path);
    if (result.isDone())
        m_session->startHistory();
    else if (result.isFailed())
        showMessage(result.message());
}

void frmMain::openImageAsked(const QString& path)
{
    if (maySetDocumentAside())
        openImage(path);
}

bool frmMain::saveImage(const QString& path)
{
    // Only a save over the opened file asks: a save under another name reverts nothing.
    Document::ChangedOnDisk changed = Document::ChangedOnDisk::Refuse;
    if (document().isChangedOnDisk(path)) {
        if (DiskChangedQuestion::ask(this, EditorState::applicationTitle()) != DiskChangedQuestion::Answer::Overwrite)
            return false;
        changed = Document::ChangedOnDisk::Overwrite;
    }
    const FileResult result = document().save(path, changed);
    if (result.isDone())
        m_session->markSaved();
    else if (result.isFailed())
        showMessage(result.message());
    return result.isDone();
}

bool frmMain::maySetDocumentAside()
{
    if (!m_session->isModified())
        return true;
    switch (SaveChangesQuestion::ask(this, EditorState::applicationTitle())) {
    case SaveChangesQuestion::Answer::Save:
        return saveImage(document().state().currentPath());
    case SaveChangesQuestion::Answer::Discard:
        return true;
    case SaveChangesQuestion::Answer::Cancel:
        break;
    }
    return false;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // A close with nothing unsaved left (saved, given up, or none made) leaves no recovery file.
    const bool closes = maySetDocumentAside();
    if (closes)
        m_recovery->finish();
    event->setAccepted(closes);
}

void frmMain::showMessage(const QString& text)
{
    OkMessageBox::show(this, EditorState::applicationTitle(), text);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layOutViews();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::layOutViews()
{
    // Every grid, shown or not, covers the whole client area, so a view switch never resizes one.
    const QRect area = centralWidget()->rect();
    for (const TableId id : AllTables)
        view(id)->setGeometry(area);
}
