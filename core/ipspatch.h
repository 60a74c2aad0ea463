#pragma once

#include "patchoutcome.h"

#include <QByteArray>
#include <QtGlobal>

// The IPS patch format: "PATCH", records of a 3-byte big-endian offset, a 2-byte big-endian length
// and the bytes (or, with length 0, a 2-byte count and one byte to repeat), "EOF", and optionally the
// 3-byte length to truncate the result to.
class IpsPatch
{
public:
    IpsPatch() = delete;

    // Offsets have three bytes, so nothing at or past 16 MiB can be patched.
    static constexpr qint64 AddressLimit = 0x1000000;
    // A record at this offset would begin with the bytes "EOF" and end the patch early.
    static constexpr qint64 EofOffset = 0x454F46;
    static constexpr qsizetype MaximumRecord = 0xFFFF;

    // The patch that turns `original` into `modified`. Runs of one byte value become run-length
    // records where that makes the patch smaller; unchanged stretches shorter than a record's
    // overhead are carried inside the surrounding record. Refuses a difference at or past 16 MiB.
    static PatchOutcome create(const QByteArray& original, const QByteArray& modified);
    // `source` with the patch applied. Refuses anything malformed: a missing "PATCH" or "EOF",
    // a record cut short, an empty run, a record reaching past 16 MiB, bytes after the truncation
    // length, a truncation length beyond the result.
    static PatchOutcome apply(const QByteArray& source, const QByteArray& patch);
};
