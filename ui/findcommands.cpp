#include "findcommands.h"

#include "editsession.h"
#include "findbar.h"
#include "gotodialog.h"
#include "grid.h"
#include "gridfind.h"
#include "gridview.h"
#include "rowfilter.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QScopedValueRollback>
#include <QToolBar>

#include <algorithm>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

// The officer grid's 名前 column, which shows the name bytes in hex; the list name belongs to it.
constexpr int OfficerNameColumn = 1;

std::size_t slot(TableId id)
{
    return static_cast<std::size_t>(id);
}

} // namespace

FindCommands::FindCommands(EditSession& session, QMainWindow& window) : QObject(&session), m_session(session)
{
    m_toolBar = new QToolBar(u"検索"_s, &window);
    m_toolBar->setObjectName(u"findToolBar"_s);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    // The bar comes and goes with 検索 and Escape, not with the tool bar menu of the window.
    m_toolBar->toggleViewAction()->setVisible(false);
    m_bar = new FindBar(m_toolBar);
    m_toolBar->addWidget(m_bar);
    window.addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->hide();

    auto* next = new QAction(u"次を検索"_s, &window);
    next->setShortcut(QKeySequence(Qt::Key_F3));
    auto* previous = new QAction(u"前を検索"_s, &window);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    window.addActions({next, previous});
    connect(next, &QAction::triggered, this, [this] { find(true); });
    connect(previous, &QAction::triggered, this, [this] { find(false); });

    connect(m_bar, &FindBar::findRequested, this, &FindCommands::find);
    connect(m_bar, &FindBar::filterRequested, this, &FindCommands::applyFilter);
    connect(m_bar, &FindBar::closeRequested, this, &FindCommands::closeBar);
    for (const TableId id : AllTables) {
        Grid& grid = m_session.document().grid(id);
        connect(&grid, &Grid::hiddenRowsChanged, this, [this, id] { onHiddenRowsChanged(id); });
        connect(&grid, &Grid::visibilityChanged, this, [this, id](bool visible) {
            if (visible)
                onGridShown(id);
        });
    }
}

bool FindCommands::isBarOpen() const
{
    return !m_toolBar->isHidden();
}

void FindCommands::openFind()
{
    openBar(m_bar->findEdit());
}

void FindCommands::openBar(QLineEdit* box)
{
    m_toolBar->show();
    showCount();
    box->setFocus(Qt::ShortcutFocusReason);
    box->selectAll();
}

void FindCommands::closeBar()
{
    m_toolBar->hide();
    if (GridView* view = m_session.visibleView())
        view->setFocus(Qt::OtherFocusReason);
}

TextMatch::CellExtra FindCommands::cellExtra(TableId id) const
{
    if (id != TableId::Officer)
        return {};
    const Document& document = m_session.document();
    return
        [&document](int row, int col) { return col == OfficerNameColumn ? document.officerListName(row) : QString(); };
}

void FindCommands::find(bool forward, bool incremental)
{
    const std::optional<TableId> id = m_session.visibleTable();
    // F3 before anything was looked for opens the bar to ask what.
    if (!id || m_bar->findText().isEmpty()) {
        if (!isBarOpen())
            openFind();
        m_bar->showMessage(QString());
        return;
    }
    const Grid& grid = m_session.document().grid(*id);
    const auto hit =
        GridFind::find(grid, grid.row(), grid.col(), forward, m_bar->findText(), cellExtra(*id), incremental);
    if (!hit) {
        m_bar->showMessage(u"見つかりません"_s, true);
        return;
    }
    m_session.showCell(*id, hit->row, hit->col);
    if (hit->wrapped)
        m_bar->showMessage(forward ? u"最後まで検索しました。先頭から続けます。"_s
                                   : u"先頭まで検索しました。最後から続けます。"_s);
    else
        m_bar->showMessage(QString());
}

void FindCommands::applyFilter()
{
    const std::optional<TableId> id = m_session.visibleTable();
    if (!id)
        return;
    Grid& grid = m_session.document().grid(*id);
    const QString text = m_bar->filterText();
    const std::variant<RowFilter, QString> parsed =
        RowFilter::parse(text, grid, m_differenceTest ? m_differenceTest(*id) : RowFilter::RowTest());
    if (const QString* error = std::get_if<QString>(&parsed)) {
        m_bar->showMessage(*error, true);
        return;
    }
    const RowFilter& filter = std::get<RowFilter>(parsed);
    {
        QScopedValueRollback applying(m_applying, true);
        grid.setHiddenRows(filter.hiddenRows(grid, cellExtra(*id)));
    }
    m_filters[slot(*id)] = filter.isEmpty() ? QString() : text;
    m_bar->showMessage(QString());
    showCount();
    // The grid has moved its current cell onto a shown row (or has none now); it is brought into view.
    if (GridView* view = m_session.view(*id); view && grid.hasCurrentCell())
        view->scrollTo(view->currentIndex());
}

void FindCommands::goTo()
{
    const std::optional<TableId> id = m_session.visibleTable();
    if (!id)
        return;
    Grid& grid = m_session.document().grid(*id);
    GoToDialog dialog(grid, &m_session.window());
    if (dialog.exec() != QDialog::Accepted || !dialog.row())
        return;
    // A record the filter hides is still the one asked for: the filter goes so that it can be seen.
    if (grid.isRowHidden(*dialog.row()))
        grid.showAllRows();
    m_session.showCell(*id, *dialog.row(), grid.col());
    // What an earlier find said is about another cell.
    m_bar->showMessage(QString());
}

void FindCommands::onHiddenRowsChanged(TableId id)
{
    // Something other than the bar showed every row again (an open, an undo that had to show a
    // hidden row, 移動 to a hidden record): the filter is gone.
    if (!m_applying && !m_session.document().grid(id).hasHiddenRows()) {
        m_filters[slot(id)].clear();
        if (m_session.visibleTable() == id)
            m_bar->setFilterText(QString());
    }
    if (m_session.visibleTable() == id)
        showCount();
}

void FindCommands::onGridShown(TableId id)
{
    m_bar->setFilterText(m_filters[slot(id)]);
    m_bar->showMessage(QString());
    showCount();
}

void FindCommands::showCount()
{
    const std::optional<TableId> id = m_session.visibleTable();
    if (!id)
        return;
    const Grid& grid = m_session.document().grid(*id);
    m_bar->showCount(grid.shownRowCount(), std::max(grid.rows() - grid.fixedRows(), 0));
}
