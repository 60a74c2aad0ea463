#pragma once

#include "table.h"

class TableFields;

// The 126 forces, 25 bytes each plus one trailing byte, in the grid `fgPow`.
class ForceTable : public Table
{
public:
    static constexpr int RecordCount = 126;
    static constexpr int RecordSize = 25;

    ForceTable(Grid& grid, EditorState& state);

    // How each column reads a record's bytes.
    static const TableFields& fields();

    void setUpGrid() override;
    void fillGrid() override;
    std::optional<QString> checkText(int col, const QString& text) const override;
    void storeCell() override;
    EditRule editRule(int col) const override;
};
