#include "frmmain.h"

#include "celleditor.h"
#include "commandline.h"
#include "editorstate.h"
#include "filedialogs.h"
#include "grid.h"
#include "gridview.h"
#include "helpmenu.h"
#include "menutable.h"
#include "officergridcommands.h"
#include "officertable.h"
#include "okmessagebox.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> ImageFilters{{u"SMC ファイル(*.smc)"_s, u"*.smc"_s}};

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

frmMain::frmMain(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_document(std::make_unique<Document>())
{
    setObjectName(u"frmMain"_s);
    resize(960, 640);
    EditorState& state = m_document->state();
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
    m_views.fill(nullptr);
}

void frmMain::createViews()
{
    auto* client = new QWidget(this);
    client->setObjectName(u"clientArea"_s);
    client->installEventFilter(this);
    setCentralWidget(client);
    for (const TableId id : AllTables) {
        Grid& grid = m_document->grid(id);
        // The officer view is the first one; the others wait hidden for the Edit menu.
        grid.setVisible(id == TableId::Officer);
        auto* view = new GridView(grid, client);
        view->setObjectName(QString::fromUtf16(GridNames[static_cast<std::size_t>(id)]));
        m_views[static_cast<std::size_t>(id)] = view;
    }
}

void frmMain::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(u"ファイル(&F)"_s);
    m_fileItems = MenuTable::build(*m_fileMenu,
                                   {
                                       {0, u"ファイルを開く(&O)"_s},
                                       {1, u"上書き保存(&S)"_s, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                       {2, u"名前を付けて保存(&A)"_s},
                                       {7, u"リスト保存"_s, {}, false},
                                       {8, u"-"_s},
                                       {9, u"終了(&X)"_s},
                                   },
                                   [this](int index) { fileItemClicked(index); });

    m_editMenu = menuBar()->addMenu(u"編集(&E)"_s);
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

void frmMain::createEditing()
{
    // Created after the grids, so that the editor lies above them.
    m_cellEditor = new CellEditor(*this, centralWidget());
    m_officerCommands = new OfficerGridCommands(*this);
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
        connect(view(id), &GridView::filesDropped, this, [this](const QStringList& paths) {
            // Only the first file of a drop is opened.
            if (!paths.isEmpty())
                openImage(paths.first());
        });
    }
    m_document->setUpGrids();
    openImage(commandline::ImagePath(arguments));
    // Drawing comes on only now, so the views show the filled grids at once.
    m_document->setRedraw(true);
}

QAction* frmMain::helpItem(int index) const
{
    return m_help->item(index);
}

GridView* frmMain::visibleView() const
{
    for (const TableId id : AllTables)
        if (m_document->grid(id).isVisible())
            return view(id);
    return nullptr;
}

void frmMain::fileItemClicked(int index)
{
    const QString current = m_document->state().currentPath();
    switch (index) {
    case 0:
        openImage(FileDialogs::showOpenDialog(this, u"ファイルを開く"_s, ImageFilters));
        break;
    case 1:
        // Once an image has been opened a save is always attempted: a file that has vanished since
        // is reported by the save, not passed over in silence.
        if (!current.isEmpty())
            saveImage(current);
        break;
    case 2:
        // Saving under a new name starts from a copy of the open image, so it needs one; a vanished
        // image is reported by the save.
        if (!current.isEmpty())
            saveImage(FileDialogs::showSaveDialog(this, u"名前を付けて保存"_s, ImageFilters, QString()));
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
    // The keyboard follows the view, unless it is elsewhere (in the cell editor, say).
    QWidget* focus = focusWidget();
    const bool gridHadFocus = !focus || focus == this || qobject_cast<GridView*>(focus);
    for (const TableId id : AllTables)
        m_document->grid(id).setVisible(false);
    const std::optional<TableId> shown = tableOfEditIndex(index);
    if (!shown)
        return;
    m_document->grid(*shown).setVisible(true);
    if (gridHadFocus)
        view(*shown)->setFocus();
}

void frmMain::busyoItemClicked(int index)
{
    if (index == 2)
        m_document->officers().setAllLifespans();
}

void frmMain::openImage(const QString& path)
{
    const FileResult result = m_document->open(path);
    if (result.isFailed())
        showMessage(result.message());
}

void frmMain::saveImage(const QString& path)
{
    const FileResult result = m_document->save(path);
    if (result.isFailed())
        showMessage(result.message());
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
    for (GridView* gridView : m_views)
        gridView->setGeometry(area);
}
