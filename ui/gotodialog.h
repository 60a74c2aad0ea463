#pragma once

#include <QDialog>

#include <optional>

class Grid;
class QLabel;
class QLineEdit;

// 移動: asks for a record number (the No column) and gives the row that shows it. A number the grid
// does not show is refused in the dialog itself, with the range it does show, and the dialog stays.
class GoToDialog : public QDialog
{
    Q_OBJECT

public:
    GoToDialog(const Grid& grid, QWidget* parent);

    // The row of the accepted number; nullopt until accepted.
    std::optional<int> row() const { return m_row; }
    QLineEdit* numberEdit() const { return m_number; }
    QString message() const;

    void accept() override;

private:
    const Grid& m_grid;
    QLineEdit* m_number = nullptr;
    QLabel* m_message = nullptr;
    std::optional<int> m_row;
};
