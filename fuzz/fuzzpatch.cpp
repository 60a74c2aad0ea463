// The IPS and BPS readers on arbitrary patches, and creation followed by application on arbitrary
// pairs of images. A reader either refuses with a message and no bytes, or gives a result within the
// format's bounds; a created patch always applies back to exactly the modified image.
//
// Input: [mode][source length: 2 bytes][source bytes][rest]. Mode 0 reads the rest as an IPS patch,
// mode 1 as a BPS patch, mode 2 as a BPS patch whose source and patch CRC32s are first made to match
// (so that the actions behind them are reached), mode 3 takes the rest as the modified image.

#include "bpspatch.h"
#include "crc32.h"
#include "fuzzinput.h"
#include "ipspatch.h"
#include "patchfile.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_patch: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

void putCrc(QByteArray& patch, qsizetype at, quint32 crc)
{
    for (int i = 0; i < 4; ++i)
        patch[at + i] = char(crc >> (8 * i) & 0xFF);
}

void check(const PatchOutcome& outcome, qint64 limit)
{
    if (outcome.ok() == !outcome.error.isEmpty())
        fail("an outcome is both or neither made and refused", outcome.error);
    if (!outcome.ok() && !outcome.bytes.isEmpty())
        fail("a refusal carries bytes", outcome.error);
    if (outcome.bytes.size() > limit)
        fail("a result past the format's limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const int mode = in.byte() % 4;
    const QByteArray source = in.bytes(in.word());
    QByteArray rest = in.rest();
    switch (mode) {
    case 0:
        check(IpsPatch::apply(source, rest), std::max<qint64>(source.size(), IpsPatch::AddressLimit));
        break;
    case 1:
        check(BpsPatch::apply(source, rest), BpsPatch::MaximumTargetSize);
        break;
    case 2:
        if (rest.size() >= 12) {
            putCrc(rest, rest.size() - 12, Crc32(source));
            putCrc(rest, rest.size() - 4, Crc32(QByteArrayView(rest).first(rest.size() - 4)));
        }
        check(BpsPatch::apply(source, rest), BpsPatch::MaximumTargetSize);
        break;
    default:
        for (const PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
            const PatchOutcome patch = PatchFile::create(format, source, rest);
            if (!patch.ok())
                fail("creating a patch of small images failed", patch.error);
            const PatchOutcome applied = PatchFile::apply(source, patch.bytes);
            if (!applied.ok())
                fail("a created patch was refused", applied.error);
            if (applied.bytes != rest)
                fail("a created patch gave another image");
        }
        break;
    }
    return 0;
}
