#pragma once

#include "patchoutcome.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The BPS patch format: "BPS1", the source size, the target size and the metadata size as
// variable-length numbers, the metadata, the actions (SourceRead, TargetRead, SourceCopy, TargetCopy),
// then the CRC32 of the source, of the target and of the patch before it, each little-endian.
class BpsPatch
{
public:
    BpsPatch() = delete;

    enum class Action
    {
        SourceRead,
        TargetRead,
        SourceCopy,
        TargetCopy,
    };

    // Larger targets are refused; no cartridge image comes near it.
    static constexpr qint64 MaximumTargetSize = 64LL * 1024 * 1024;

    // The patch that turns `source` into `target`, made of SourceRead and TargetRead actions.
    static PatchOutcome create(const QByteArray& source, const QByteArray& target);
    // `source` with the patch applied. Checks the patch's own CRC32, that `source` has the size and
    // CRC32 the patch was made from (both values in the message when not), every number and copy
    // against the bounds of the patch, the source and the target, and the CRC32 of the result.
    static PatchOutcome apply(const QByteArray& source, const QByteArray& patch);
    // The CRC32 of the source the patch was made from, as its footer records it; nullopt when the
    // patch is too short to have a footer or is no BPS patch.
    static std::optional<quint32> sourceCrc(const QByteArray& patch);

    // The format's number encoding: seven bits a byte, low first, the last byte flagged by 0x80, and
    // each continuation adding one so that every value has exactly one encoding.
    static QByteArray encodeNumber(quint64 value);
    // Reads a number at `at` (advanced past it) that must end before `end`; nullopt when it runs
    // past `end` or is too large to be a size in any patch.
    static std::optional<quint64> decodeNumber(const QByteArray& patch, qsizetype& at, qsizetype end);
};
