#pragma once

#include "blockcatalogue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class EditorState;
class Grid;

// How the platform's input method should be set while the cell editor is open.
enum class InputMode
{
    Off,
    HalfWidthKatakana,
};

// What the in-place editor does on one column of a table.
struct EditRule
{
    bool opensEditor = false;
    int maxLength = 0;
    InputMode inputMode = InputMode::Off;
};

// What became of one value sent through a table's commit path.
enum class CommitOutcome
{
    // The commit rule accepted it (perhaps capped); the cell shows it and the store has run.
    Stored,
    // The commit rule refused it; neither the cell nor the block changed.
    Refused,
    // A header row, a cell outside the grid or a column that is not typed over; nothing was tried.
    Skipped,
};

// One table of the image: its grid set-up, the fill from its block, the commit rule for typed text,
// the store of the current cell back into the block, and the per-column edit rules.
class Table
{
public:
    Table(Grid& grid, EditorState& state, BlockId block);
    virtual ~Table() = default;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Grid& grid() const { return m_grid; }
    EditorState& state() const { return m_state; }
    QByteArray& block() const;
    BlockId blockId() const { return m_block; }
    // Puts a byte back as an undo or redo found it; offsets outside the block are ignored like every
    // other write of a table.
    void restoreByte(qsizetype offset, std::uint8_t value) { setByte(offset, value); }

    // Rows, columns, headers, labels, widths, alignment; leaves drawing off.
    virtual void setUpGrid() = 0;
    // Block bytes to cell text, with drawing off for the whole fill.
    virtual void fillGrid() = 0;
    // nullopt refuses the typed text; otherwise the text the cell will show.
    virtual std::optional<QString> checkText(int col, const QString& text) const = 0;
    // Writes the grid's current cell back into the block.
    virtual void storeCell() = 0;
    virtual EditRule editRule(int col) const = 0;
    // Sets the cells that no typing writes but that show bytes (a computed marker, a read-only column)
    // to what the block holds now, in the rows that show their records; none by default. Stores write
    // only the typed cell, and a take or an undo may change bytes such a cell shows.
    virtual void showComputedCells() {}
    // The leftmost column that opens the editor (the label columns do not); -1 when none does.
    int firstEditableColumn() const;

    // Sends `text` into cell (row, col) exactly as if it had been typed there and confirmed: the
    // commit rule, then the cell text, then the store. The current cell and the selection are where
    // they were afterwards.
    CommitOutcome commitText(int row, int col, const QString& text);
    // Puts another image's value into cell (row, col) as that image stores it: `text` is what a fill
    // of `from` (that image's block) shows there, stored without the commit rule, whose cap is for
    // typed values; the value may lie above it. A header row, a cell outside the grid or a column that
    // is not typed over is left alone.
    virtual void takeCell(int row, int col, const QString& text, const QByteArray& from);

protected:
    // The part of every set-up that is the same: drawing off (the window switches it on once every grid
    // is ready), the size, one fixed header row, the fixed label columns and the header texts of row 0.
    void setUpShape(int rows, int cols, int fixedCols, const QStringList& headers);
    // Byte access that ignores offsets outside the block, so a bad row never writes past it.
    std::uint8_t byteAt(qsizetype offset) const;
    void setByte(qsizetype offset, std::uint8_t value);
    // The record number in column 0 of the current row; nullopt when it is not a whole number >= 0.
    std::optional<int> currentRecord() const;
    // The byte at `offset` of a block of this table's kind (another image's); 0 outside it.
    static std::uint8_t byteIn(const QByteArray& bytes, qsizetype offset);

private:
    // Sets the cell's text and runs the store with the cell current; the current cell and the
    // selection are put back.
    void storeText(int row, int col, const QString& text);

    Grid& m_grid;
    EditorState& m_state;
    BlockId m_block;
};
