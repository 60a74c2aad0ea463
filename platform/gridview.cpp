#include "gridview.h"

#include "filedroptarget.h"
#include "gridcelldelegate.h"
#include "frozencolumns.h"
#include "grid.h"
#include "gridmodel.h"
#include "gridselectionsync.h"
#include "gridtableconfig.h"
#include "twips.h"
#include "uifont.h"
#include "wheelscroll.h"

#include <QCursor>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace {

// Maps a rectangle of `from` into `ancestor`, or to global coordinates when there is none.
QRect mapRect(const QWidget* from, const QRect& rect, const QWidget* ancestor)
{
    if (!ancestor)
        return QRect(from->mapToGlobal(rect.topLeft()), rect.size());
    if (ancestor->isAncestorOf(from))
        return QRect(from->mapTo(ancestor, rect.topLeft()), rect.size());
    return QRect(ancestor->mapFromGlobal(from->mapToGlobal(rect.topLeft())), rect.size());
}

// Keys that move the current cell and, with Shift, extend the selection.
bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

GridView::GridView(Grid& grid, QWidget* parent) : QTableView(parent), m_grid(grid)
{
    m_model = new GridModel(m_grid, this);
    setFont(UiFont::grid());
    configureGridTable(*this);
    // Horizontally by pixels, so that columns slide smoothly under the label columns.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setModel(m_model);
    setItemDelegate(new GridCellDelegate(this));
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    m_frozen = std::make_unique<FrozenColumns>(*this, *m_model, m_grid);
    m_selection = std::make_unique<GridSelectionSync>(*this, *m_frozen->view(), *m_model, m_grid);
    m_drops = std::make_unique<FileDropTarget>([this](const QStringList& paths) { Q_EMIT filesDropped(paths); });

    connect(m_model, &QAbstractItemModel::modelReset, this, &GridView::applyLayout);
    const auto push = [this] { m_selection->pushToGrid(); };
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, push);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, push);
    m_gridConnections = {
        connect(&m_grid, &Grid::currentCellChanged, this, [this] { m_selection->pullFromGrid(); }),
        connect(&m_grid, &Grid::selectionChanged, this, [this] { m_selection->pullFromGrid(); }),
        connect(&m_grid, &Grid::visibilityChanged, this, &QWidget::setVisible),
        connect(&m_grid, &Grid::hiddenRowsChanged, this, &GridView::applyHiddenRows),
    };

    for (QWidget* target : watchedAreas())
        target->installEventFilter(this);

    applyLayout();
    // A view without a parent must not pop up as a window of its own here; it shows when asked to.
    if (!m_grid.isVisible())
        setVisible(false);
}

GridView::~GridView()
{
    // The parts go before Qt's own teardown, which must find nothing that still calls on them.
    for (QWidget* target : watchedAreas())
        target->removeEventFilter(this);
    selectionModel()->disconnect(this);
    m_model->disconnect(this);
    // By handle, not through the grid: the grid may already be gone when its view is destroyed.
    for (const QMetaObject::Connection& connection : m_gridConnections)
        disconnect(connection);
}

QList<QWidget*> GridView::watchedAreas() const
{
    return {viewport(), horizontalHeader()->viewport(), m_frozen->view()->viewport(),
            m_frozen->view()->horizontalHeader()->viewport()};
}

QTableView* GridView::frozenView() const
{
    return m_frozen->view();
}

int GridView::frozenColumnCount() const
{
    return m_frozen->count();
}

int GridView::frozenWidth() const
{
    return m_frozen->width();
}

void GridView::applyLayout()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidth(c, twips::toPixelsX(m_grid.colWidth(c), *this));
    // The twips a table sets are the least width: a label column grows to show its widest label.
    m_frozen->fitLabels();
    m_frozen->applyWidths();
    applyHiddenRows();
    updateFrozenGeometry();
    m_selection->pullFromGrid();
}

void GridView::applyHiddenRows()
{
    // Only rows whose mark changed are touched: each change makes the header lay out its sections.
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const bool hidden = m_grid.isRowHidden(GridModel::toGridRow(r));
        if (isRowHidden(r) != hidden)
            setRowHidden(r, hidden);
        if (m_frozen->view()->isRowHidden(r) != hidden)
            m_frozen->view()->setRowHidden(r, hidden);
    }
}

void GridView::updateFrozenGeometry()
{
    // Qt lays out the view while it is being built, before the overlay exists.
    if (m_frozen)
        m_frozen->updateGeometry();
}

void GridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    updateFrozenGeometry();
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    updateFrozenGeometry();
}

void GridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.column() >= frozenColumnCount()) {
        QTableView::scrollTo(index, hint);
        if (!index.isValid())
            return;
        // A cell that ends up under the label columns is brought out from beneath them.
        const int hidden = frozenWidth() - visualRect(index).left();
        if (hidden > 0)
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
        return;
    }
    // Label cells are always in view horizontally; only the rows may need to move.
    const int horizontal = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(horizontal);
}

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // setCurrentIndex() takes the cell as the new anchor only for a command without `Current`.
    if (m_selection && m_selection->isAnchoring())
        return QItemSelectionModel::ClearAndSelect;
    // Qt moves without selecting while Ctrl is held; Ctrl+Shift+End and the like extend the block,
    // as in spreadsheets.
    if (event && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (held == (Qt::ShiftModifier | Qt::ControlModifier) && isNavigationKey(key->key()))
            return QItemSelectionModel::SelectCurrent;
    }
    return QTableView::selectionCommand(index, event);
}

bool GridView::focusNextPrevChild(bool next)
{
    // Qt asks a focused view that is being hidden to pass the focus on; the item view's own answer
    // would move the current cell one column instead, as Tab does.
    if (!isVisible())
        return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
}

bool GridView::isShortcutChord(Qt::KeyboardModifiers modifiers)
{
    // Qt reports a text for Ctrl+5 or Alt+5, yet on the desktop these are shortcuts, not typing.
    // Ctrl and Alt together are how AltGr arrives on some systems, and AltGr types characters.
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    return (modifiers & Qt::MetaModifier) || control != alt;
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyPressed(event->key(), event->modifiers());
    if (!event->text().isEmpty() && !isShortcutChord(event->modifiers()))
        Q_EMIT characterTyped(event->text(), event->key());
    // Copying is the window's business (what a grid copies, and whether it copies at all).
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ShiftModifier) && isNavigationKey(event->key()))
        m_selection->anchorAtSelectionEnd();
    m_selection->handleInput([this, event] { QTableView::keyPressEvent(event); });
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    m_selection->handleInput([this, event] { QTableView::mousePressEvent(event); });
}

void GridView::mouseMoveEvent(QMouseEvent* event)
{
    m_selection->handleInput([this, event] { QTableView::mouseMoveEvent(event); });
}

void GridView::mouseReleaseEvent(QMouseEvent* event)
{
    m_selection->handleInput([this, event] { QTableView::mouseReleaseEvent(event); });
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_selection->handleInput([this, event] { QTableView::mouseDoubleClickEvent(event); });
}

void GridView::wheelEvent(QWheelEvent* event)
{
    handleWheel(event);
}

void GridView::handleWheel(QWheelEvent* event)
{
    if (!m_wheelThreeRows || !WheelScroll::scroll(*verticalScrollBar(), *event, WheelRows))
        QTableView::wheelEvent(event);
}

QRect GridView::currentCellRect(const QWidget* ancestor) const
{
    const int col = m_grid.col();
    if (!m_grid.hasCurrentCell() || col < 0 || col >= m_model->columnCount())
        return {};
    const bool frozen = col < frozenColumnCount();
    const QTableView* view = frozen ? m_frozen->view() : this;
    if (m_grid.row() < GridModel::HeaderRows) {
        const QHeaderView* header = view->horizontalHeader();
        const QRect section(header->sectionViewportPosition(col), 0, header->sectionSize(col), header->height());
        return mapRect(header->viewport(), section, ancestor);
    }
    const int row = GridModel::toModelRow(m_grid.row());
    if (row >= m_model->rowCount())
        return {};
    return mapRect(view->viewport(), view->visualRect(m_model->index(row, col)), ancestor);
}

GridCell GridView::cellAt(const QPoint& globalPos) const
{
    // The label columns lie on top, so they are asked first.
    const QList<const QTableView*> views{m_frozen->view()->isVisible() ? m_frozen->view() : nullptr, this};
    for (const QTableView* view : views) {
        if (!view)
            continue;
        const QHeaderView* header = view->horizontalHeader();
        const QPoint inHeader = header->viewport()->mapFromGlobal(globalPos);
        if (header->isVisible() && header->viewport()->rect().contains(inHeader)) {
            const int col = header->logicalIndexAt(inHeader.x());
            return col < 0 ? GridCell{} : GridCell{0, col};
        }
        const QPoint inCells = view->viewport()->mapFromGlobal(globalPos);
        if (view->viewport()->rect().contains(inCells)) {
            const QModelIndex index = view->indexAt(inCells);
            if (!index.isValid())
                return {};
            return GridCell{GridModel::toGridRow(index.row()), index.column()};
        }
    }
    return {};
}

GridCell GridView::cellUnderMouse() const
{
    return cellAt(QCursor::pos());
}

bool GridView::handleMouse(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // The pop-up over a grid works on the selection as it is: the press must not move it.
        if (event->type() == QEvent::MouseButtonRelease)
            Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && event->button() == Qt::LeftButton) {
        const GridCell cell = cellAt(event->globalPosition().toPoint());
        if (cell.isHeaderRow())
            Q_EMIT headerRowDoubleClicked(cell.col);
        else if (cell.isValid())
            Q_EMIT cellDoubleClicked(cell.row, cell.col);
    }
    return false;
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    // Qt watches the scroll bars through this same filter; only the cell and header areas are ours.
    if (!m_frozen)
        return QTableView::eventFilter(watched, event);
    const QTableView* frozen = m_frozen->view();
    const bool cells = watched == viewport() || watched == frozen->viewport();
    const bool headers = watched == horizontalHeader()->viewport() || watched == frozen->horizontalHeader()->viewport();
    if (!cells && !headers)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A Shift+click extends the block the grid holds. (The label columns' view keeps an anchor of
        // its own, which cannot be placed from here.)
        if (watched == viewport() && event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton &&
            (mouse->modifiers() & Qt::ShiftModifier))
            m_selection->anchorAtSelectionEnd();
        return handleMouse(mouse);
    }
    case QEvent::Wheel:
        if (watched == viewport())
            return false;
        handleWheel(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // Drops over the header and the label columns count as drops on the grid.
        if (watched == viewport())
            return false;
        return m_drops->handle(event);
    default:
        return QTableView::eventFilter(watched, event);
    }
}

QList<QWidget*> GridView::dropTargets()
{
    return QList<QWidget*>{this} + watchedAreas();
}

bool GridView::acceptsFileDrops() const
{
    return m_drops->accepts();
}

void GridView::setAcceptFileDrops(bool on)
{
    m_drops->setAccepts(on, dropTargets());
}

void GridView::dragEnterEvent(QDragEnterEvent* event)
{
    m_drops->handle(event);
}

void GridView::dragMoveEvent(QDragMoveEvent* event)
{
    m_drops->handle(event);
}

void GridView::dropEvent(QDropEvent* event)
{
    m_drops->handle(event);
}
