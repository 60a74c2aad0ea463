#pragma once

#include "blockcatalogue.h"
#include "checksumrequest.h"
#include "document.h"
#include "sequencefields.h"
#include "tableblock.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <array>
#include <optional>
#include <tuple>
#include <utility>

// What the files on disk and the five tables must hold after each step of an editing session, kept
// by the sequence target itself: from the catalogue's ranges, the copier header and cartridge header
// offsets, and the layout and commit rules of every column (SequenceFields). It never asks the code
// under test what a byte or a cell should be, which rows a filter shows, or in which order they stand.
class SequenceModel
{
public:
    using Blocks = std::array<QByteArray, 5>;
    using Write = SequenceFields::Write;

    // A typed or pasted text sent into a cell, as a commit does.
    enum class Outcome
    {
        Stored,
        Refused,
        Skipped,
    };
    // A filter the target typed: none, one digit that some cell of the row must hold, or a comparison
    // of a column's number; `valid` is false for a comparison on a column without a header.
    struct Filter
    {
        enum class Kind
        {
            None,
            Word,
            Compare,
        } kind = Kind::None;
        QString word;
        int col = 0;
        int op = 0; // > >= < <= = !=
        double number = 0;
        bool valid = true;
    };

    // --- Cartridge facts: a 512-byte copier header, then the cartridge with its header at 0x7FC0.
    static constexpr qsizetype PairAt = 0x200 + 0x7FDC;
    static QByteArray pairOf(const QByteArray& image) { return image.mid(PairAt, 4); }
    // The checksum pair (complement, then sum, little-endian) of an image of a power-of-two size.
    static QByteArray checksumPair(const QByteArray& image);

    // --- The session.
    void open(const QString& path, const QStringList& names);
    // An edit made on `record` of `id` (the current cell's record when it started): the commits
    // between begin and end that change a byte become one undo step; none, no step (the texts stay).
    void beginEdit(TableId id, int record);
    Outcome commit(TableId id, int record, int col, const QString& text);
    // Within an edit: every cell of the record shows its bytes again, as a fresh fill would (what the
    // officer dialog's OK leaves).
    void showBytes(TableId id, int record);
    void endEdit();
    // What the cell shows now, and what it showed when the file was last opened or saved.
    QString cellText(TableId id, int record, int col) const;
    QString markedText(TableId id, int record, int col) const;

    // A filter on the table: the rows it hides stay hidden (sorted, edited) until the next filter, an
    // open, or an undo or redo that has to show its cell. An invalid one changes nothing.
    void filter(TableId id, const Filter& filter);
    bool isHidden(TableId id, int record) const;
    bool hasHidden(TableId id) const { return !m_hidden[std::size_t(id)].isEmpty(); }
    // A double-click on the officers' header of `col`: descending, then ascending on the same column.
    void sortOfficers(int col);
    // The records in the officer grid's row order.
    const QList<int>& officerOrder() const { return m_order; }
    QString sortTag() const { return m_tag; }
    void setSortTag(const QString& tag) { m_tag = tag; }
    // A step after which every save writes the checksum of what it writes. Undone before a save wrote
    // it, the request before it holds again (the four bytes as the file has them, if that was all);
    // undone after, the next save puts back what that save wrote over. A request to put four bytes
    // back is carried out by one save.
    void requestChecksumFix();
    void undo();
    void redo();
    // What a save would write now.
    QByteArray savedImage() const;
    void save(const QString& path);
    // Another program writes `bytes` at `at` of the open file.
    void changeOutside(qsizetype at, const QByteArray& bytes);

    // What a recovery file must keep of the unsaved state: the tables and the checksum request.
    struct Kept
    {
        Blocks blocks;
        ChecksumRequest request = ChecksumRequest::keep();
    };
    Kept kept() const;
    // How many cells show a text other than the one they showed when the file was last opened or saved.
    int changedCells() const;
    // After an open: the kept state put back as one step (none when the file already holds all of it),
    // whose undo gives the tables as opened and the request before it.
    void restore(const Kept& kept);

    bool isModified() const { return m_clean != m_index; }
    // Whether a save over `path` must ask first: another program changed it since the open or save.
    bool asksBeforeSaving(const QString& path) const { return path == m_current && m_changedOutside; }
    qsizetype undoCount() const { return m_steps.size(); }
    qsizetype undoIndex() const { return m_index; }

    QString current() const { return m_current; }
    const QMap<QString, QByteArray>& disk() const { return m_disk; }
    void setDisk(const QString& path, const QByteArray& bytes) { m_disk[path] = bytes; }
    // The open file as last opened or saved (what a patch applies to).
    const QByteArray& lastSaved() const { return m_lastSaved; }
    const Blocks& blocks() const { return m_blocks; }
    const Blocks& opened() const { return m_opened; }
    // The blocks as last opened or saved: a cell is tinted exactly where its byte differs from these.
    const Blocks& marked() const { return m_marked; }
    // The block bytes (block, offset) that edits, undos and redos wrote since the last call.
    QList<QPair<BlockId, qsizetype>> takeChanged() { return std::exchange(m_changed, {}); }

private:
    enum class Request
    {
        Keep,
        Fix,
        Put,
    };
    using CellKey = std::tuple<TableId, int, int>;
    struct Step
    {
        QList<Write> before;
        QList<Write> after;
        // Cells whose text is not what their bytes show; nullopt: the cell shows its bytes.
        QMap<CellKey, std::optional<QString>> textsBefore;
        QMap<CellKey, std::optional<QString>> textsAfter;
        TableId table = TableId::Officer;
        int record = -1;
        bool fix = false;
        // A step that sets the request to `request` (and `put`), giving the one before back on undo.
        bool setsRequest = false;
        Request request = Request::Keep;
        QByteArray put;
        // Taken at each redo: the request the fix replaced, and how many saves had written the pair.
        Request requestBefore = Request::Keep;
        QByteArray putBefore;
        qsizetype pairSavesAtRedo = 0;
    };
    void push(Step step);
    void apply(const QList<Write>& writes);
    void applyTexts(const QMap<CellKey, std::optional<QString>>& texts);
    // An undo or redo shows the cell its step was made on: a filter hiding it goes.
    void showStepCell(const Step& step);
    QString textIn(const Blocks& blocks, const QMap<CellKey, QString>& texts, TableId id, int record, int col) const;

    QMap<QString, QByteArray> m_disk;
    QString m_current;
    QByteArray m_lastSaved;
    Blocks m_blocks;
    Blocks m_opened;
    Blocks m_marked;
    QList<Step> m_steps;
    qsizetype m_index = 0;
    qsizetype m_clean = 0;
    Request m_request = Request::Keep;
    QByteArray m_put;
    // What the file held in its four checksum bytes before each save that wrote them.
    QList<QByteArray> m_overwrittenPairs;
    bool m_changedOutside = false;
    QList<QPair<BlockId, qsizetype>> m_changed;
    QStringList m_names;
    QMap<CellKey, QString> m_texts;
    QMap<CellKey, QString> m_markedTexts;
    std::optional<Step> m_pending;
    std::array<QList<bool>, 5> m_hidden;
    QList<int> m_order;
    QString m_tag;
};
