#include "gridview.h"

#include "grid.h"
#include "gridmodel.h"
#include "twips.h"
#include "uifont.h"

#include <QCursor>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace {

void configure(QTableView& view)
{
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionMode(QAbstractItemView::ContiguousSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectItems);
    view.setWordWrap(false);
    view.setCornerButtonEnabled(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setMinimumSectionSize(0);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

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
    configure(*this);
    // Horizontally by pixels, so that columns slide smoothly under the label columns.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setModel(m_model);
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    setUpFrozenView();

    connect(m_model, &QAbstractItemModel::modelReset, this, &GridView::applyLayout);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &GridView::pushCurrentToGrid);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &GridView::pushCurrentToGrid);
    connect(&m_grid, &Grid::currentCellChanged, this, &GridView::pullCurrentFromGrid);
    connect(&m_grid, &Grid::visibilityChanged, this, &QWidget::setVisible);

    for (QWidget* target :
         {viewport(), horizontalHeader()->viewport(), m_frozen->viewport(), m_frozen->horizontalHeader()->viewport()})
        target->installEventFilter(this);

    applyLayout();
    // A view without a parent must not pop up as a window of its own here; it shows when asked to.
    if (!m_grid.isVisible())
        setVisible(false);
}

GridView::~GridView() = default;

void GridView::setUpFrozenView()
{
    m_frozen = new QTableView(this);
    configure(*m_frozen);
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setModel(m_model);
    m_frozen->setSelectionModel(selectionModel());
    m_frozen->verticalHeader()->setMinimumSectionSize(verticalHeader()->minimumSectionSize());
    m_frozen->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    viewport()->stackUnder(m_frozen);

    // Rows scroll in step: each view follows the other's vertical position.
    connect(m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

int GridView::frozenColumnCount() const
{
    return std::clamp(m_grid.fixedCols(), 0, m_model->columnCount());
}

int GridView::frozenWidth() const
{
    int width = 0;
    for (int c = 0; c < frozenColumnCount(); ++c)
        width += columnWidth(c);
    return width;
}

void GridView::applyLayout()
{
    const int frozen = frozenColumnCount();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = twips::toPixelsX(m_grid.colWidth(c), *this);
        setColumnWidth(c, width);
        m_frozen->setColumnWidth(c, width);
        m_frozen->setColumnHidden(c, c >= frozen);
    }
    updateFrozenGeometry();
    pullCurrentFromGrid();
}

void GridView::updateFrozenGeometry()
{
    if (!m_frozen)
        return;
    const int width = frozenWidth();
    m_frozen->setVisible(width > 0);
    m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_frozen->setGeometry(frameWidth(), frameWidth(), std::min(width, viewport()->width()),
                          horizontalHeader()->height() + viewport()->height());
    m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
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

void GridView::pushCurrentToGrid()
{
    // Within one of its own key or mouse steps Qt moves the current cell and the selection one after
    // the other; the grid takes the outcome once the step is done.
    if (m_syncing || m_handlingInput)
        return;
    QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    QScopedValueRollback guard(m_syncing, true);
    int rowSel = current.row();
    int colSel = current.column();
    const QItemSelection selection = selectionModel()->selection();
    if (!selection.isEmpty()) {
        // The selection is one block, possibly held in several ranges.
        int top = selection.first().top(), bottom = selection.first().bottom();
        int left = selection.first().left(), right = selection.first().right();
        for (const QItemSelectionRange& range : selection) {
            top = std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
            left = std::min(left, range.left());
            right = std::max(right, range.right());
        }
        // The grid's block runs from its current cell to the opposite corner, so the current cell must
        // be a corner. Qt leaves it elsewhere: a header click puts it on the top visible row of the
        // selected column, Ctrl+A leaves it where it was, and a drag in the label columns moves it only
        // after the block. It moves onto the nearest edge from outside, onto the top row and left
        // column from inside.
        const auto edge = [](int at, int first, int last) { return at > last ? last : first; };
        const int row =
            (current.row() == top || current.row() == bottom) ? current.row() : edge(current.row(), top, bottom);
        const int col = (current.column() == left || current.column() == right) ? current.column()
                                                                                : edge(current.column(), left, right);
        if (row != current.row() || col != current.column()) {
            current = m_model->index(row, col);
            moveCurrentKeepingSelection(current);
        }
        rowSel = row == top ? bottom : top;
        colSel = col == left ? right : left;
    }
    m_grid.setCurrentCell(GridModel::toGridRow(current.row()), current.column());
    m_grid.setSelectionEnd(GridModel::toGridRow(rowSel), colSel);
}

// Moves the view's current cell without touching the selection and without scrolling: the user is
// looking at what was just selected.
void GridView::moveCurrentKeepingSelection(const QModelIndex& current)
{
    const bool scrolls = hasAutoScroll();
    const bool frozenScrolls = m_frozen->hasAutoScroll();
    setAutoScroll(false);
    m_frozen->setAutoScroll(false);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
    m_frozen->setAutoScroll(frozenScrolls);
}

// Qt extends a selection with Shift from an anchor of its own, which only its own clicks and moves
// set; the grid may have moved the block since. The anchor is put on the grid's selection end, the
// corner opposite the current cell, so that the block grows or shrinks from the cell the user sees.
void GridView::anchorAtSelectionEnd()
{
    const QModelIndex anchor = m_model->index(GridModel::toModelRow(m_grid.rowSel()), m_grid.colSel());
    const QModelIndex current = selectionModel()->currentIndex();
    if (!anchor.isValid() || !current.isValid())
        return;
    const QItemSelection selection = selectionModel()->selection();
    QScopedValueRollback guard(m_syncing, true);
    {
        QScopedValueRollback anchoring(m_anchoring, true);
        const bool scrolls = hasAutoScroll();
        const bool frozenScrolls = m_frozen->hasAutoScroll();
        setAutoScroll(false);
        m_frozen->setAutoScroll(false);
        setCurrentIndex(anchor);
        setAutoScroll(scrolls);
        m_frozen->setAutoScroll(frozenScrolls);
    }
    moveCurrentKeepingSelection(current);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // setCurrentIndex() takes the cell as the new anchor only for a command without `Current`.
    if (m_anchoring)
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

void GridView::pullCurrentFromGrid()
{
    if (m_syncing)
        return;
    const int row = GridModel::toModelRow(m_grid.row());
    const int col = m_grid.col();
    if (row < 0 || row >= m_model->rowCount() || col < 0 || col >= m_model->columnCount())
        return;
    QScopedValueRollback guard(m_syncing, true);
    const int rowSel = std::clamp(GridModel::toModelRow(m_grid.rowSel()), 0, m_model->rowCount() - 1);
    const int colSel = std::clamp(m_grid.colSel(), 0, m_model->columnCount() - 1);
    const QModelIndex current = m_model->index(row, col);
    const QItemSelection block(m_model->index(std::min(row, rowSel), std::min(col, colSel)),
                               m_model->index(std::max(row, rowSel), std::max(col, colSel)));
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
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
        anchorAtSelectionEnd();
    handleInput([this, event] { QTableView::keyPressEvent(event); });
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    handleInput([this, event] { QTableView::mousePressEvent(event); });
}

void GridView::mouseMoveEvent(QMouseEvent* event)
{
    handleInput([this, event] { QTableView::mouseMoveEvent(event); });
}

void GridView::mouseReleaseEvent(QMouseEvent* event)
{
    handleInput([this, event] { QTableView::mouseReleaseEvent(event); });
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    handleInput([this, event] { QTableView::mouseDoubleClickEvent(event); });
}

void GridView::handleInput(const std::function<void()>& handle)
{
    {
        QScopedValueRollback busy(m_handlingInput, true);
        handle();
    }
    pushCurrentToGrid();
}

void GridView::wheelEvent(QWheelEvent* event)
{
    handleWheel(event);
}

void GridView::handleWheel(QWheelEvent* event)
{
    if (!m_wheelThreeRows) {
        QTableView::wheelEvent(event);
        return;
    }
    const QPoint delta = event->angleDelta();
    // A touchpad announces the start and end of a gesture with empty events; they are no wheel turn.
    if (delta.isNull() && (event->phase() == Qt::ScrollBegin || event->phase() == Qt::ScrollEnd)) {
        event->accept();
        return;
    }
    // A sideways wheel keeps scrolling sideways.
    if (delta.y() == 0 && delta.x() != 0) {
        QTableView::wheelEvent(event);
        return;
    }
    const auto step = delta.y() > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < WheelRows; ++i)
        verticalScrollBar()->triggerAction(step);
    event->accept();
}

QRect GridView::currentCellRect(const QWidget* ancestor) const
{
    const int col = m_grid.col();
    if (col < 0 || col >= m_model->columnCount())
        return {};
    const bool frozen = col < frozenColumnCount();
    const QTableView* view = frozen ? m_frozen : this;
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
    const QList<const QTableView*> views{m_frozen->isVisible() ? m_frozen : nullptr, this};
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
    const bool cells = watched == viewport() || watched == m_frozen->viewport();
    const bool headers =
        watched == horizontalHeader()->viewport() || watched == m_frozen->horizontalHeader()->viewport();
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
            anchorAtSelectionEnd();
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
        if (event->type() == QEvent::DragEnter)
            dragEnterEvent(static_cast<QDragEnterEvent*>(event));
        else if (event->type() == QEvent::DragMove)
            dragMoveEvent(static_cast<QDragMoveEvent*>(event));
        else
            dropEvent(static_cast<QDropEvent*>(event));
        return true;
    default:
        return QTableView::eventFilter(watched, event);
    }
}

QList<QWidget*> GridView::forwardedDropTargets() const
{
    return {horizontalHeader()->viewport(), m_frozen->viewport(), m_frozen->horizontalHeader()->viewport()};
}

void GridView::setAcceptFileDrops(bool on)
{
    m_acceptFileDrops = on;
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
    for (QWidget* target : forwardedDropTargets())
        target->setAcceptDrops(on);
}

QStringList GridView::localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

void GridView::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_acceptFileDrops && !localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GridView::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_acceptFileDrops && !localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GridView::dropEvent(QDropEvent* event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (!m_acceptFileDrops || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}
