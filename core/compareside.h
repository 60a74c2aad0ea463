#pragma once

#include "patchsequence.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <variant>

// The other side of a comparison, read once and never written: the five blocks of another image (of
// either form), or of the image a patch makes of the opened file as it is on disk, and how many
// bytes outside the five tables differ from that file.
class CompareSide
{
public:
    // Reads `otherPath`: an IPS or BPS patch (known by its content) is applied in memory to the file at
    // `openedPath`, as `tavrin apply` applies it (an IPS patch as made for `ipsForm` when given); anything
    // else is read as an image. On failure the message names the file and the reason, a patch's
    // refusal as `tavrin apply` words it.
    static std::variant<CompareSide, QString> read(const QString& otherPath, const QString& openedPath,
                                                   PatchSequence::IpsForm ipsForm = std::nullopt);

    QString path() const { return m_path; }
    bool isPatch() const { return m_patch; }
    // Indexed by BlockId.
    const std::array<QByteArray, 5>& blocks() const { return m_blocks; }
    // Bytes outside the five tables that differ from the opened file (copier headers not compared).
    qint64 outsideBytes() const { return m_outside; }
    // Counts them again against the file at `openedPath` (after a save, which may have written the
    // checksum bytes); false, and the count kept, when it cannot be read.
    bool recountOutside(const QString& openedPath);

private:
    QString m_path;
    bool m_patch = false;
    // The other image whole, for counting again.
    QByteArray m_image;
    std::array<QByteArray, 5> m_blocks;
    qint64 m_outside = 0;
};
