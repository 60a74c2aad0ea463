// The reading's single-byte code page 932 mapping: any bytes show as one character each and store
// back as the same bytes; any character that stores as a byte shows as itself again; the half-width
// conversion works one character at a time, is idempotent, and yields either the character itself
// or text that stores as bytes; the reading's commit rule only accepts what stores whole.
//
// Input: raw bytes, used three ways: as block bytes, as UTF-16 code units and as UTF-8.

#include "codepage932.h"
#include "editorstate.h"
#include "grid.h"
#include "officertable.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_codepage: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

void checkBytes(const QByteArray& bytes)
{
    const QString text = CodePage932::bytesToText(bytes);
    if (text.size() != bytes.size())
        fail("not one character per byte");
    if (!CodePage932::isSingleByteText(text))
        fail("shown bytes do not store back");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const std::optional<std::uint8_t> back = CodePage932::charToByte(text[i]);
        if (!back || *back != std::uint8_t(bytes[i]))
            fail("byte round trip", QString::number(std::uint8_t(bytes[i]), 16));
    }
}

void checkText(const QString& text)
{
    for (const QChar c : text) {
        if (const std::optional<std::uint8_t> b = CodePage932::charToByte(c); b && CodePage932::byteToChar(*b) != c)
            fail("character round trip", QString::number(c.unicode(), 16));
    }

    const QString half = CodePage932::toHalfWidth(text);
    QString pieces;
    for (const QChar c : text) {
        const QString piece = CodePage932::toHalfWidth(QString(c));
        if (piece != QString(c) && !CodePage932::isSingleByteText(piece))
            fail("a converted character has no byte", QString::number(c.unicode(), 16));
        pieces += piece;
    }
    if (pieces != half)
        fail("conversion is not per character");
    if (CodePage932::toHalfWidth(half) != half)
        fail("conversion is not idempotent");

    // The reading column's commit rule: refuses, or accepts at most eight characters that store.
    static Grid grid;
    static EditorState state;
    static OfficerTable table(grid, state);
    if (const std::optional<QString> accepted = table.checkText(OfficerTable::ReadingColumn, text)) {
        if (accepted->size() > 8 || !CodePage932::isSingleByteText(*accepted))
            fail("accepted a reading that does not store", *accepted);
        if (*accepted != half.left(8))
            fail("accepted reading is not the converted text", *accepted);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkBytes(bytes);
    // Copied, not cast: the input need not be aligned for 16-bit units.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, std::size_t(units.size()) * 2);
    checkText(units);
    checkText(QString::fromUtf8(bytes));
    return 0;
}
