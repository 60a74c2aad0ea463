#include "spinbuttons.h"

#include "fieldedit.h"

#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton* makeButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

SpinButtons::SpinButtons(FieldEdit& buddy, int maximum, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_maximum(maximum), m_up(makeButton(Qt::UpArrow, this)),
      m_down(makeButton(Qt::DownArrow, this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinButtons::placeInBuddy()
{
    const QRect box = m_buddy.geometry();
    const int width = std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), box.width() / 2);
    setGeometry(box.right() + 1 - width, box.top(), width, box.height());
    m_buddy.setGeometry(box.adjusted(0, 0, -width, 0));
}

void SpinButtons::step(int delta)
{
    // An empty box, or one holding pasted text that is not a number, counts from 0; a number above
    // the range comes down to the range's top whichever way the step goes.
    const qint64 value = m_buddy.digitValue().value_or(0);
    const qint64 next = value > m_maximum ? m_maximum : std::clamp<qint64>(value + delta, 0, m_maximum);
    m_buddy.setText(QString::number(next));
}

void SpinButtons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}
