#pragma once

#include <QDialog>

#include <array>

class FieldEdit;
class Grid;
class QLabel;
class QPushButton;
class SpinButtons;

// The officer dialog: the eighteen fields of the officer grid's current row in labelled boxes, spin
// buttons on the numeric ones, completion of what the user leaves behind, the code checks on "OK" and
// the write-back of every box into the row. It touches the grid only through "OK"; storing the row
// into the block is the caller's business once the dialog has closed.
class frmEdit : public QDialog
{
    Q_OBJECT

public:
    static constexpr int BoxCount = 18;
    // Box k shows grid column k + 1.
    static constexpr int FirstColumn = 1;

    frmEdit(Grid& officerGrid, QWidget* parent = nullptr);

    FieldEdit* box(int index) const { return m_txt.at(index); }
    QLabel* label(int index) const { return m_lb.at(index); }
    // nullptr for the boxes that have no spin buttons (the name, the reading and the face code).
    SpinButtons* spinButtons(int index) const { return m_spin.at(index); }
    // 0 is "OK", 1 is "Cancel".
    QPushButton* button(int index) const { return m_cmd.at(index); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void formLoad();
    // The leaving rule of a box: caps a number above the box's limit, fills an empty box.
    void txtValidate(int index);
    void cmdClick(int index);
    // The message of the first code check that fails; empty when the name and face codes pass.
    QString codeProblem() const;
    void showMessage(const QString& text);
    // A rectangle in twips as pixels at this dialog's logical resolution.
    QRect twipsRect(int left, int top, int width, int height) const;

    Grid& m_grid;
    // The row the dialog was opened on; "OK" writes back there and nowhere else.
    const int m_row;
    std::array<FieldEdit*, BoxCount> m_txt{};
    std::array<QLabel*, BoxCount> m_lb{};
    std::array<SpinButtons*, BoxCount> m_spin{};
    std::array<QPushButton*, 2> m_cmd{};
};
