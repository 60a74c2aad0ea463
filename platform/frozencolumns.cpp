#include "frozencolumns.h"

#include "grid.h"
#include "gridmodel.h"
#include "gridtableconfig.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cmath>

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

void FrozenColumns::fitLabels()
{
    const QFontMetricsF metrics(m_host.font());
    // Laid out as the view's cells lay out their text: the style's margin either side, and the grid
    // line that the cell gives up at its right edge.
    const int margin = m_host.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_host) + 1;
    const int extra = 2 * margin + (m_host.showGrid() ? 1 : 0);
    for (int c = 0; c < count(); ++c) {
        qreal widest = 0;
        for (int r = 0; r < m_model.rowCount(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(m_model.index(r, c).data().toString()));
        const int need = int(std::ceil(widest)) + extra;
        if (widest > 0 && need > m_host.columnWidth(c))
            m_host.setColumnWidth(c, need);
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
