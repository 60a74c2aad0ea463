#pragma once

#include "table.h"

class TableFields;

class NameList;

// Six scenario tables of 531 four-byte placement records, side by side in the grid `fgArrange`.
class PlacementTable : public Table
{
public:
    static constexpr int RecordCount = 531;
    static constexpr int ScenarioSize = 2124;

    PlacementTable(Grid& grid, EditorState& state);

    // How each column reads a record's bytes.
    static const TableFields& fields();

    void setUpGrid() override;
    void fillGrid() override;
    std::optional<QString> checkText(int col, const QString& text) const override;
    void storeCell() override;
    EditRule editRule(int col) const override;

    // Fills the name column from a Shift-JIS file, one name per CR LF line. Never fails the open:
    // a missing or unreadable file changes nothing, undecodable bytes show as U+FFFD.
    void readUTF8(const QString& path);
    // Fills the name column from a list, record n from its line n + 1; rows past the list are left
    // empty, so that no name from an earlier list survives.
    void fillNames(const NameList& names);
};
