#pragma once

#include <QWidget>

class FieldEdit;
class QToolButton;

// A pair of up/down buttons attached to the right edge of a number box. They step the box's number by
// one between 0 and a maximum without wrapping, take no focus and ignore the keyboard, so the box's
// text stays whatever the user typed until something else judges it.
class SpinButtons : public QWidget
{
    Q_OBJECT

public:
    SpinButtons(FieldEdit& buddy, int maximum, QWidget* parent);

    int maximum() const { return m_maximum; }
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    // Moves into the right edge of the buddy's current rectangle and narrows the buddy by that width.
    void placeInBuddy();
    // One step of `delta` (+1 or -1) applied to the buddy's number.
    void step(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FieldEdit& m_buddy;
    int m_maximum;
    QToolButton* m_up;
    QToolButton* m_down;
};
