#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One editor's claim on a recovery file of an image. An image has a few slots in the recovery folder,
// each a file and its lock; a running editor holds the lock of the one it writes, so two editors never
// share a file and a live editor's file is never offered to another. The lock of an editor that has
// gone (killed, crashed) is stale and taken over.
class RecoverySlot
{
public:
    // Which slot a claim takes.
    enum class Claim
    {
        // The first free slot that holds a recovery file, to be offered; else the first free empty one.
        Offered,
        // The first free slot without a file, so that a file kept for later is not written over.
        Empty,
    };

    // Claims a slot of `imagePath`; nothing when the folder cannot be made or every slot is taken.
    static std::unique_ptr<RecoverySlot> claim(const QString& imagePath, Claim how);
    ~RecoverySlot();
    RecoverySlot(const RecoverySlot&) = delete;
    RecoverySlot& operator=(const RecoverySlot&) = delete;

    QString filePath() const { return m_file; }
    bool hasFile() const;
    // Takes the file away; true when none is left.
    bool remove() const;
    // Renames a file that cannot be read out of the way of every later claim and returns its new
    // name (empty when even that failed and the file was removed instead, or nothing could be done).
    QString setAside() const;

private:
    explicit RecoverySlot(const QString& file);

    QString m_file;
    QLockFile m_lock;
};
