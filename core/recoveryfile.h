#pragma once

#include "checksumrequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

class Document;

// The unsaved state of one image, kept in the user's application data while the editor runs so that
// a crash loses nothing: the five tables as they are now, the checksum request, the image's path and
// what the file was when it was opened or last saved. Only the tables and the request are ever put
// back; every other byte comes from the file as it is when the image is opened again.
struct RecoveryFile
{
    // The image's canonical path (see canonicalImagePath).
    QString imagePath;
    // When this state was written, and how many cells differed from the file then.
    QDateTime written;
    int changedCells = 0;
    // The file as opened or last saved (DiskSnapshot's size, modification time and table hash).
    qint64 imageSize = -1;
    qint64 imageModified = 0;
    QByteArray tableHash;
    ChecksumRequest checksum = ChecksumRequest::keep();
    // Indexed by BlockId, each of its catalogue size.
    std::array<QByteArray, 5> blocks;

    // The state of the open image in `document` now.
    static RecoveryFile of(const Document& document);
    // The bytes of the file: a signature, the fields, and a SHA-256 of everything before it.
    QByteArray serialize() const;
    // Nothing unless `bytes` is a complete, intact file of this format with blocks of the right sizes.
    static std::optional<RecoveryFile> parse(const QByteArray& bytes);
    // Reads the file at `path`; nothing when it is missing, oversized, unreadable or damaged.
    static std::optional<RecoveryFile> read(const QString& path);

    // True when the file `document` has open is still what this state was made against.
    bool matchesFileOf(const Document& document) const;

    // The folder all recovery files live in: "recovery" under QStandardPaths::AppDataLocation.
    static QString folder();
    // The path an image is known by: canonical where the file exists, absolute otherwise, and case
    // folded where file names ignore case, so that every name of one file gives the same key.
    static QString canonicalImagePath(const QString& path);
    // The start of the names of an image's recovery files: a hash of its canonical path, so that the
    // user's folder names never reach the application data folder.
    static QString keyOf(const QString& imagePath);
};
