#pragma once

#include "patchoutcome.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

enum class PatchFormat
{
    Ips,
    Bps,
};

// Choosing between the two patch formats: by the name of a patch to write, by the content of one read.
class PatchFile
{
public:
    PatchFile() = delete;

    // Larger patch files are refused before they are read.
    static constexpr qint64 MaximumSize = 128LL * 1024 * 1024;

    // By the extension ".ips" or ".bps" in any letter case; nullopt for anything else.
    static std::optional<PatchFormat> formatForName(const QString& path);
    // By the magic at the start; nullopt when it is neither.
    static std::optional<PatchFormat> formatOfContent(const QByteArray& patch);

    static PatchOutcome create(PatchFormat format, const QByteArray& original, const QByteArray& modified);
    // Refuses a patch that is neither format, as well as everything the format's reader refuses.
    static PatchOutcome apply(const QByteArray& source, const QByteArray& patch);
};
