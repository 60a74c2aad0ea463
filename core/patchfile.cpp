#include "patchfile.h"

#include "bpspatch.h"
#include "ipspatch.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

std::optional<PatchFormat> PatchFile::formatForName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"ips"_s)
        return PatchFormat::Ips;
    if (suffix == u"bps"_s)
        return PatchFormat::Bps;
    return std::nullopt;
}

std::optional<PatchFormat> PatchFile::formatOfContent(const QByteArray& patch)
{
    if (patch.startsWith("PATCH"))
        return PatchFormat::Ips;
    if (patch.startsWith("BPS1"))
        return PatchFormat::Bps;
    return std::nullopt;
}

PatchOutcome PatchFile::create(PatchFormat format, const QByteArray& original, const QByteArray& modified)
{
    return format == PatchFormat::Ips ? IpsPatch::create(original, modified) : BpsPatch::create(original, modified);
}

PatchOutcome PatchFile::apply(const QByteArray& source, const QByteArray& patch)
{
    const std::optional<PatchFormat> format = formatOfContent(patch);
    if (!format)
        return PatchOutcome::refused(u"IPS パッチでも BPS パッチでもありません（先頭が「PATCH」でも「BPS1」でもありません）"_s);
    return *format == PatchFormat::Ips ? IpsPatch::apply(source, patch) : BpsPatch::apply(source, patch);
}
