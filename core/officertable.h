#pragma once

#include "table.h"

class TableFields;

// The 532 officers, 30 bytes each, in the grid `fg`; rows can be re-sorted, so every store finds its
// record through the number in column 0.
class OfficerTable : public Table
{
public:
    static constexpr int RecordCount = 532;
    static constexpr int RecordSize = 30;
    static constexpr int ReadingColumn = 2;
    static constexpr int LifespanColumn = 14;
    static constexpr int MarkerColumn = 19;

    OfficerTable(Grid& grid, EditorState& state);

    // How each column reads a record's bytes.
    static const TableFields& fields();

    void setUpGrid() override;
    void fillGrid() override;
    std::optional<QString> checkText(int col, const QString& text) const override;
    void storeCell() override;
    EditRule editRule(int col) const override;
    // 寿命 comes with the whole byte it shares with a half that no column shows, which a store clears.
    void takeCell(int row, int col, const QString& text, const QByteArray& from) override;
    // The class marker of every row, from the record's bytes.
    void showComputedCells() override;

    // Writes the fields of the current row whose cells differ from what its record holds, then shows
    // in each field's cell what the record holds.
    void storeRow();
    // Writes the reading cell of the current row into the 8 bytes at `position`.
    bool storeReading(qsizetype position);
    // Sorts by `col`, descending and ascending in turn, then shows the current path in the caption.
    void sortGrid(int col);
    // Lifespan 7 for every officer, in the grid and in the block.
    void setAllLifespans();

    // The derived class marker ("", "将", "軍" or "将軍") of the record at `offset` in `block`.
    static QString classMarker(const QByteArray& block, qsizetype offset);

private:
    // Block offset of the record named in column 0 of the current row; nullopt when there is none.
    std::optional<qsizetype> currentRecordOffset() const;
    // The text column `col` shows for the record at `p`.
    QString fieldText(qsizetype p, int col) const;
    // True when the cells of the field in column `col` of the current row show what the record at `p`
    // holds (both columns of a shared byte).
    bool showsItsBytes(qsizetype p, int col) const;
    // Writes the field(s) of column `col` of the current row into the record at `p`; false when the
    // cell text does not convert, in which case the field keeps its bytes.
    bool storeField(qsizetype p, int col);
    bool storeNibbles(qsizetype offset, int highCol, int lowCol);
    void storeHexBytes(qsizetype offset, const QString& text, int count);
};
