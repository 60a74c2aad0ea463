#pragma once

class QAbstractSlider;
class QWheelEvent;

// The grid's own wheel: every turn scrolls a fixed number of rows, whatever the system setting.
class WheelScroll
{
public:
    WheelScroll() = delete;

    // Scrolls `rows` rows of `bar` (up for a positive distance) and accepts the event; false, leaving the
    // event alone, for a sideways turn, which the view's own handling keeps scrolling sideways.
    static bool scroll(QAbstractSlider& bar, QWheelEvent& event, int rows);
};
