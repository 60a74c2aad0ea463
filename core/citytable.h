#pragma once

#include "table.h"

class TableFields;

// 46 cities in each of six scenario groups, 30 bytes a record, in the grid `fgCity`.
class CityTable : public Table
{
public:
    static constexpr int RecordCount = 276;
    static constexpr int RecordSize = 30;

    CityTable(Grid& grid, EditorState& state);

    void setUpGrid() override;
    void fillGrid() override;
    std::optional<QString> checkText(int col, const QString& text) const override;
    void storeCell() override;
    EditRule editRule(int col) const override;
    // Columns 18 and 19 of every row, from the record's bytes.
    void showComputedCells() override;

    // City k (1 to 46) as the row labels name it.
    static QString cityName(int k);
    // How each column reads a record's bytes.
    static const TableFields& fields();
};
