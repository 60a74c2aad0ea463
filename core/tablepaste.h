#pragma once

#include "exchangereport.h"

#include <QString>

class CellBlock;
class Table;

// Cells of a grid from (top, left) to (bottom, right); empty when top is -1.
struct CellRange
{
    int top = -1;
    int left = -1;
    int bottom = -1;
    int right = -1;

    bool isEmpty() const { return top < 0; }
};

// Pastes clipboard text into a table's grid, every cell through the table's commit path, as if the
// user had typed each value and pressed Enter.
class TablePaste
{
public:
    // Pastes `text` with its top-left at the top-left cell of the grid's selection (the current cell
    // when one cell is selected). A single value with a larger selection fills the whole selection.
    // The current cell and selection stay as they were; `covered`, when given, receives the block of
    // grid cells a pasted block went to (left empty for a value that fills the selection, which already
    // shows where it went). Nothing happens while the grid has no current cell.
    static ExchangeReport paste(Table& table, const QString& text, CellRange* covered = nullptr);
    // Pastes `block` with its top-left at (top, left), whatever the selection.
    static ExchangeReport pasteAt(Table& table, const CellBlock& block, int top, int left,
                                  CellRange* covered = nullptr);
    // Sends `value` into every cell of the rectangle (top, left)-(bottom, right).
    static ExchangeReport fill(Table& table, const QString& value, int top, int left, int bottom, int right);
};
