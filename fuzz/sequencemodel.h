#pragma once

#include "blockcatalogue.h"
#include "document.h"
#include "tableblock.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <array>
#include <optional>
#include <utility>

// What the files on disk and the five tables must hold after each step of an editing session, kept
// by the sequence target itself: from the catalogue's ranges, the copier header and cartridge header
// offsets, and the layout of the one-byte number columns it edits. It never asks the code under test
// what a byte should be.
class SequenceModel
{
public:
    using Blocks = std::array<QByteArray, 5>;

    // One block byte an edit is expected to write.
    struct Write
    {
        BlockId block;
        qsizetype offset;
        char value;
    };

    // --- Facts about the columns the target types into: each shows one byte as a decimal number.
    // The largest number the column takes (a larger one is capped to it); nullopt when the column is
    // not one of these.
    static std::optional<int> cap(TableId id, int col);
    // The first and last column of the run of such columns that holds `col`.
    static std::pair<int, int> run(TableId id, int col);
    static QList<int> byteColumns(TableId id);
    static qsizetype offsetOf(TableId id, int record, int col);
    // The record a block offset belongs to.
    static int recordOf(TableId id, qsizetype offset);
    // The byte a typed or pasted text stores in a column capped at `cap`: digits only, capped; any
    // other text is refused (nullopt).
    static std::optional<int> byteFor(const QString& text, int cap);

    // --- Cartridge facts: a 512-byte copier header, then the cartridge with its header at 0x7FC0.
    static constexpr qsizetype PairAt = 0x200 + 0x7FDC;
    static QByteArray pairOf(const QByteArray& image) { return image.mid(PairAt, 4); }
    // The checksum pair (complement, then sum, little-endian) of an image of a power-of-two size.
    static QByteArray checksumPair(const QByteArray& image);

    // --- The session.
    void open(const QString& path);
    // Records an edit: the writes that change a byte become one undo step; none, no step.
    void edit(const QList<Write>& writes);
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
    struct Step
    {
        QList<Write> before;
        QList<Write> after;
        bool fix = false;
        // Taken at each redo: the request the fix replaced, and how many saves had written the pair.
        Request requestBefore = Request::Keep;
        QByteArray putBefore;
        qsizetype pairSavesAtRedo = 0;
    };
    void push(Step step);
    void apply(const QList<Write>& writes);

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
};
