#include "gridmodel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

using namespace Qt::StringLiterals;

GridModel::GridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid)
{
    m_rows = std::max(m_grid.rows() - HeaderRows, 0);
    m_cols = m_grid.cols();
    connect(&m_grid, &Grid::cellChanged, this, &GridModel::onCellChanged);
    connect(&m_grid, &Grid::refreshed, this, &GridModel::onRefreshed);
    connect(&m_grid, &Grid::originalsMarked, this, &GridModel::onOriginalsMarked);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QString GridModel::displayText(const QString& text)
{
    if (!text.contains(QChar(0)))
        return text;
    QString shown = text;
    shown.remove(QChar(0));
    return shown;
}

Qt::Alignment GridModel::alignmentFor(ColumnAlignment alignment, const QString& text)
{
    switch (alignment) {
    case ColumnAlignment::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case ColumnAlignment::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlignment::Default:
        break;
    }
    bool number = false;
    text.trimmed().toDouble(&number);
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return {};
    const int row = toGridRow(index.row());
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_grid.text(row, col));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignmentFor(m_grid.colAlignment(col), m_grid.text(row, col)));
    case Qt::BackgroundRole:
        // Label columns look like the header, as fixed cells of a grid do.
        if (col < m_grid.fixedCols())
            return QGuiApplication::palette().button();
        if (m_grid.isChanged(row, col))
            return QBrush(changedCellTint());
        return {};
    case Qt::ToolTipRole: {
        const QString tip = toolTip(row, col);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case ComparedRole:
        return m_compareSource && m_compareSource(row, col).has_value();
    default:
        return {};
    }
}

QString GridModel::toolTip(int row, int col) const
{
    QStringList lines;
    if (m_toolTipSource)
        if (const QString extra = m_toolTipSource(row, col); !extra.isEmpty())
            lines << extra;
    const std::optional<QString> other = m_compareSource ? m_compareSource(row, col) : std::nullopt;
    const std::optional<QString> base = other && m_compareBaseSource ? m_compareBaseSource(row, col) : std::nullopt;
    // After a merge the value both sides started from stands beside the other side's instead.
    if (m_grid.isChanged(row, col) && !base)
        lines << (u"元の値: "_s + displayText(m_grid.originalText(row, col)));
    if (other)
        lines << ((base ? u"元の値: "_s + displayText(*base) + u" / "_s : QString()) + u"比較先: "_s +
                  displayText(*other));
    return lines.join(u'\n');
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_grid.text(0, section));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    // Cells are changed only through the window's own editor, never by the view's delegates.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void GridModel::onCellChanged(int row, int col)
{
    if (row >= m_grid.rows() || col >= m_cols)
        return;
    if (row < HeaderRows) {
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const int modelRow = toModelRow(row);
    if (modelRow >= m_rows)
        return;
    const QModelIndex cell = index(modelRow, col);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::BackgroundRole, Qt::ToolTipRole});
}

QColor GridModel::changedCellTint()
{
    return QColor(255, 170, 0, 70);
}

QColor GridModel::comparedCellMark()
{
    return QColor(190, 0, 150);
}

void GridModel::setCompareSource(CompareSource source)
{
    m_compareSource = std::move(source);
    refreshMarks();
}

void GridModel::refreshMarks()
{
    if (m_rows > 0 && m_cols > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {ComparedRole, Qt::ToolTipRole});
}

void GridModel::onOriginalsMarked()
{
    if (m_rows > 0 && m_cols > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

void GridModel::onRefreshed()
{
    beginResetModel();
    m_rows = std::max(m_grid.rows() - HeaderRows, 0);
    m_cols = m_grid.cols();
    endResetModel();
}
