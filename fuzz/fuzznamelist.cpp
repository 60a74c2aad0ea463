// The name list: the Shift-JIS decoder on any bytes, against a decoder that converts each two-byte
// pair on its own, and the name column filled from a file of those bytes, split only at CR LF.
//
// Input: the bytes of the name list file.

#include "editorstate.h"
#include "fuzztempdir.h"
#include "grid.h"
#include "placementtable.h"
#include "shiftjis.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr QChar Replacement(0xFFFD);
constexpr int Rows = PlacementTable::RecordCount;

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_namelist: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

bool isLead(std::uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(std::uint8_t b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Byte by byte, each pair through a converter of its own: slow, and free of any state that a
// converter could carry from one pair to the next.
QString decodeOneByOne(const QByteArray& bytes)
{
    static QStringDecoder decoder("Shift_JIS", QStringDecoder::Flag::Stateless);
    QString out;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = std::uint8_t(bytes[i]);
        if (b < 0x80) {
            out += QChar(char16_t(b));
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            out += QChar(char16_t(0xFF61 + b - 0xA1));
            ++i;
        } else if (isLead(b) && i + 1 < bytes.size() && isTrail(std::uint8_t(bytes[i + 1]))) {
            const auto trail = std::uint8_t(bytes[i + 1]);
            decoder.resetState();
            const QString one = decoder.decode(bytes.sliced(i, 2));
            if (one.size() == 1 && one[0] != Replacement && one[0].unicode() >= 0x80) {
                out += one;
            } else {
                out += Replacement;
                out += trail < 0x80 ? QChar(char16_t(trail)) : Replacement;
            }
            i += 2;
        } else {
            out += Replacement;
            ++i;
        }
    }
    return out;
}

struct NameColumn
{
    FuzzTempDir dir;
    QString path = dir.filePath(QStringLiteral("b.txt"));
    Grid grid;
    EditorState state;
    PlacementTable table{grid, state};

    NameColumn() { table.setUpGrid(); }

    void resetNames()
    {
        for (int row = 1; row <= Rows; ++row)
            grid.setText(row, 1, QStringLiteral("old"));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = ShiftJis::decode(bytes);
    if (text.size() > bytes.size() || 2 * text.size() < bytes.size())
        fail("decoded length out of bounds");
    if (text != decodeOneByOne(bytes))
        fail("decoding pairs together differs from one by one");

    static NameColumn names;
    names.resetNames();
    QFile file(names.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the name list");
    file.close();
    names.table.readUTF8(names.path);

    const QStringList pieces = text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
    for (int row = 1; row <= Rows; ++row) {
        // An empty file is no list and changes nothing; a list leaves no old name past its end.
        const QString expected = pieces.isEmpty() ? QStringLiteral("old") : pieces.value(row - 1);
        if (names.grid.text(row, 1) != expected)
            fail("name differs from its line", QString::number(row));
    }
    for (int col = 2; col < names.grid.cols(); ++col)
        if (!names.grid.text(1, col).isEmpty())
            fail("the name list wrote outside the name column");
    return 0;
}
