#include "patchsequence.h"

#include "bpspatch.h"
#include "copierheader.h"
#include "crc32.h"
#include "patchfile.h"
#include "romfile.h"

using namespace Qt::StringLiterals;

PatchSequence::PatchSequence(QByteArray image) : m_image(std::move(image)) {}

QString PatchSequence::apply(const QByteArray& patch, IpsForm ipsForm)
{
    const std::optional<PatchFormat> format = PatchFile::formatOfContent(patch);
    const ImageForm own = imageFormForSize(m_image.size());
    bool other = false;
    if (format == PatchFormat::Bps) {
        const std::optional<quint32> wanted = BpsPatch::sourceCrc(patch);
        const std::optional<QByteArray> converted = otherForm();
        other = wanted && *wanted != Crc32(m_image) && converted && *wanted == Crc32(*converted);
    } else if (format == PatchFormat::Ips) {
        other = ipsForm && *ipsForm != own;
    }
    if (other)
        return applyInOtherForm(patch);
    PatchOutcome patched = PatchFile::apply(m_image, patch);
    if (!patched.ok())
        return patched.error;
    return accept(std::move(patched.bytes));
}

QString PatchSequence::accept(QByteArray result)
{
    // Checked as an open checks a file, so that nothing written from here is an image the editor refuses.
    if (const QString problem = romfile::ImageSizeProblem(result.size()); !problem.isEmpty())
        return u"パッチを当てた結果はイメージとして開けません: "_s + problem;
    m_image = std::move(result);
    return {};
}

QString PatchSequence::applyInOtherForm(const QByteArray& patch)
{
    const std::optional<QByteArray> converted = otherForm();
    if (!converted)
        return u"イメージの大きさからヘッダーの有無が分からないため、別の形式用のパッチは当てられません。"_s;
    const bool hadHeader = CopierHeader::isPresent(m_image.size());
    const PatchOutcome patched = PatchFile::apply(*converted, patch);
    if (!patched.ok())
        return patched.error;
    const std::optional<QByteArray> back = backToOwnForm(patched.bytes);
    if (!back)
        return hadHeader ? u"パッチの結果が短すぎて、コピアヘッダーを戻せません。"_s
                         : u"パッチの結果が 512 バイトより短く、ヘッダーを外せません。"_s;
    if (const QString refused = accept(*back); !refused.isEmpty())
        return refused;
    m_notes.append(hadHeader ? u"コピアヘッダーのないイメージ用のパッチなので、ヘッダーを外して当て、元のヘッダーを戻しました。"_s
                             : u"コピアヘッダーのあるイメージ用のパッチなので、ヘッダーを付けて当て、ヘッダーを外して戻しました。"_s);
    return {};
}

std::optional<QByteArray> PatchSequence::otherForm() const
{
    if (CopierHeader::isPresent(m_image.size()))
        return CopierHeader::removed(m_image).bytes;
    if (CopierHeader::isAbsent(m_image.size()))
        return CopierHeader::added(m_image).bytes;
    return std::nullopt;
}

std::optional<QByteArray> PatchSequence::backToOwnForm(const QByteArray& result) const
{
    if (CopierHeader::isPresent(m_image.size()))
        // The image's own header goes back in front, whatever the patch made of the data.
        return m_image.first(CopierHeaderSize) + result;
    if (result.size() < CopierHeaderSize)
        return std::nullopt;
    return result.mid(CopierHeaderSize);
}
