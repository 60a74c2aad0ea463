#pragma once

#include "table.h"

class TableFields;

// The 13 special items, 18 bytes each, in the grid `fgItem`; rows are found by position.
class ItemTable : public Table
{
public:
    static constexpr int RecordCount = 13;
    static constexpr int RecordSize = 18;

    ItemTable(Grid& grid, EditorState& state);

    // How each column reads a record's bytes.
    static const TableFields& fields();

    void setUpGrid() override;
    void fillGrid() override;
    std::optional<QString> checkText(int col, const QString& text) const override;
    void storeCell() override;
    EditRule editRule(int col) const override;

    // The 24 hex digits of bytes 5 to 16 of record n.
    QString itemNameText(int n) const;
};
