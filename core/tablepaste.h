#pragma once

#include "exchangereport.h"

#include <QString>

class CellBlock;
class Table;

// Pastes clipboard text into a table's grid, every cell through the table's commit path, as if the
// user had typed each value and pressed Enter.
class TablePaste
{
public:
    // Pastes `text` with its top-left at the top-left cell of the grid's selection (the current cell
    // when one cell is selected). A single value with a larger selection fills the whole selection.
    // The current cell and selection stay as they were.
    static ExchangeReport paste(Table& table, const QString& text);
    // Pastes `block` with its top-left at (top, left), whatever the selection.
    static ExchangeReport pasteAt(Table& table, const CellBlock& block, int top, int left);
    // Sends `value` into every cell of the rectangle (top, left)-(bottom, right).
    static ExchangeReport fill(Table& table, const QString& value, int top, int left, int bottom, int right);
};
