#include "wheelscroll.h"

#include <QAbstractSlider>
#include <QWheelEvent>

bool WheelScroll::scroll(QAbstractSlider& bar, QWheelEvent& event, int rows)
{
    const QPoint delta = event.angleDelta();
    // A touchpad announces the start and end of a gesture with empty events; they are no wheel turn.
    if (delta.isNull() && (event.phase() == Qt::ScrollBegin || event.phase() == Qt::ScrollEnd)) {
        event.accept();
        return true;
    }
    if (delta.y() == 0 && delta.x() != 0)
        return false;
    const auto step = delta.y() > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < rows; ++i)
        bar.triggerAction(step);
    event.accept();
    return true;
}
