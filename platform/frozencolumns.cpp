#include "frozencolumns.h"

#include "grid.h"
#include "gridmodel.h"
#include "gridtableconfig.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

FrozenColumns::FrozenColumns(QTableView& host, GridModel& model, const Grid& grid)
    : m_host(host), m_model(model), m_grid(grid)
{
    m_view = new QTableView(&host);
    configureGridTable(*m_view);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setModel(&model);
    m_view->setSelectionModel(host.selectionModel());
    m_view->verticalHeader()->setMinimumSectionSize(host.verticalHeader()->minimumSectionSize());
    m_view->verticalHeader()->setDefaultSectionSize(host.verticalHeader()->defaultSectionSize());
    host.viewport()->stackUnder(m_view);

    // Rows scroll in step: each view follows the other's vertical position.
    QObject::connect(m_view->verticalScrollBar(), &QAbstractSlider::valueChanged, host.verticalScrollBar(),
                     &QAbstractSlider::setValue);
    QObject::connect(host.verticalScrollBar(), &QAbstractSlider::valueChanged, m_view->verticalScrollBar(),
                     &QAbstractSlider::setValue);
}

int FrozenColumns::count() const
{
    return std::clamp(m_grid.fixedCols(), 0, m_model.columnCount());
}

int FrozenColumns::width() const
{
    int width = 0;
    for (int c = 0; c < count(); ++c)
        width += m_host.columnWidth(c);
    return width;
}

void FrozenColumns::applyWidths()
{
    const int frozen = count();
    for (int c = 0; c < m_model.columnCount(); ++c) {
        m_view->setColumnWidth(c, m_host.columnWidth(c));
        m_view->setColumnHidden(c, c >= frozen);
    }
}

void FrozenColumns::updateGeometry()
{
    const int w = width();
    m_view->setVisible(w > 0);
    m_view->horizontalHeader()->setFixedHeight(m_host.horizontalHeader()->height());
    m_view->setGeometry(m_host.frameWidth(), m_host.frameWidth(), std::min(w, m_host.viewport()->width()),
                        m_host.horizontalHeader()->height() + m_host.viewport()->height());
    m_view->verticalScrollBar()->setValue(m_host.verticalScrollBar()->value());
}
