#pragma once

#include <QString>

#include <functional>

class Grid;

// Text compared as people see and type it: full-width and half-width forms alike (the mapping the
// reading column uses, so ソウソウ, そうそう and ｿｳｿｳ are one text), upper and lower case alike, and the
// NUL padding some fields carry ignored.
class TextMatch
{
public:
    // Text a cell carries besides what it shows (the officer's name from the list, say); empty for none.
    using CellExtra = std::function<QString(int row, int col)>;

    static QString fold(const QString& text);
    // Whether `text` contains `foldedNeedle` (already folded); an empty needle is in every text.
    static bool contains(const QString& text, const QString& foldedNeedle);
    // Whether the cell's text or its extra text contains `foldedNeedle`.
    static bool cellContains(const Grid& grid, int row, int col, const QString& foldedNeedle, const CellExtra& extra);
};
