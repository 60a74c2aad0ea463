#pragma once

#include "imageform.h"

#include <QByteArray>
#include <QString>

#include <array>

// The open image as it was on disk when it was opened or last saved: its size, modification time
// and the bytes of the five tables. A save over the file compares it with the file as it is then,
// so that what another program wrote into the tables meanwhile is not reverted unasked.
class DiskSnapshot
{
public:
    enum class Change
    {
        // The file is as it was.
        None,
        // Its size, its modification time or the bytes of a table differ.
        Changed,
        // It cannot be written over as the image that was opened: deleted, no longer a regular file,
        // another form, too short, unreadable. The save itself refuses it and says why.
        Unusable,
    };

    // No file: compare() finds nothing changed.
    DiskSnapshot() = default;
    // The file at `path` as it is now, whose tables hold `blocks` (indexed by BlockId).
    static DiskSnapshot take(const QString& path, const std::array<QByteArray, 5>& blocks, ImageForm form);

    bool isEmpty() const { return m_path.isEmpty(); }
    // The file the snapshot was taken of.
    QString path() const { return m_path; }
    // The file at the snapshot's path now, against what was taken.
    Change compare() const;

    // What was taken: the file's size (-1 without a file), its modification time in milliseconds since
    // the epoch, and a SHA-256 of its five tables in block order. Another snapshot of an unchanged file
    // gives the same three.
    qint64 size() const { return m_size; }
    qint64 modified() const { return m_modified; }
    QByteArray tableHash() const;

private:
    QString m_path;
    qint64 m_size = -1;
    qint64 m_modified = 0;
    ImageForm m_form = ImageForm::CopierHeader;
    std::array<QByteArray, 5> m_blocks;
};
