// Opening arbitrary files: the input becomes a file (as it is, padded past the highest block end, or
// laid over the blocks of the sample image), which the document opens. A refusal names the file and
// leaves the previous document as it was; an open reads exactly the five ranges, a save under a new
// name reproduces the file byte for byte, and a save after one edit changes exactly that byte.
//
// Input: [mode][position: 3 bytes][length: 2 bytes][file bytes...]; the first four file bytes also
// choose the edit: [row: 2 bytes][column][value].

#include "blockcatalogue.h"
#include "document.h"
#include "fuzzinput.h"
#include "grid.h"
#include "sampleimage.h"
#include "table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_open: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

// Whether the file holds exactly `bytes`. Read into one buffer kept for the whole run: a fresh
// megabyte for every read would cost more than the open under test.
bool holds(const QString& path, const QByteArray& bytes)
{
    static QByteArray buffer;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    if (buffer.size() < bytes.size())
        buffer.resize(bytes.size());
    return file.read(buffer.data(), bytes.size()) == bytes.size() &&
           std::memcmp(buffer.constData(), bytes.constData(), std::size_t(bytes.size())) == 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input file");
}

// Where the blocks lie: from a little before the lowest to the end of the highest.
constexpr qint64 BlockRegionStart = 0xA5000;
constexpr qint64 BlockRegionSize = HighestBlockEnd - BlockRegionStart;

QByteArray fileFor(FuzzInput& in, const QByteArray& sample)
{
    const int mode = in.byte() % 3;
    const std::uint32_t position = in.triple();
    const std::uint16_t length = in.word();
    if (mode == 0)
        return in.rest();
    if (mode == 1) {
        QByteArray file = in.rest();
        const qsizetype wanted = qsizetype(HighestBlockEnd) - 2 + length % 64;
        if (file.size() < wanted)
            file.append(QByteArray(wanted - file.size(), '\0'));
        return file;
    }
    QByteArray file = sample;
    const QByteArray payload = in.rest();
    const qsizetype at = qsizetype(BlockRegionStart + position % BlockRegionSize);
    file.replace(at, std::min(payload.size(), file.size() - at), payload.left(file.size() - at));
    // Now and then cut the file, sometimes below the highest block end.
    if (length % 4 == 0)
        file.truncate(file.size() - length % 0x60000);
    return file;
}

struct Snapshot
{
    QString path;
    QString caption;
    std::array<QByteArray, 5> blocks;

    static Snapshot of(const Document& document)
    {
        Snapshot s{document.state().currentPath(), document.state().caption(), {}};
        for (const BlockSpec& range : BlockCatalogue)
            s.blocks[std::size_t(range.id)] = document.state().block(range.id);
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

struct World
{
    QTemporaryDir dir;
    QString input = dir.filePath(QStringLiteral("in.smc"));
    QString copy = dir.filePath(QStringLiteral("copy.smc"));
    QByteArray sample = SampleImage::generate();
    Document document;

    World()
    {
        document.setNameListPath(dir.filePath(QStringLiteral("no name list.txt")));
        document.setUpGrids();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World w;
    FuzzInput in(data, size);
    const QByteArray file = fileFor(in, w.sample);
    // fileFor consumed the header; the edit comes from the same bytes, read again from the front.
    FuzzInput edit(data, size);
    edit.bytes(6);
    const int row = 1 + edit.word() % 531;
    const int col = 2 + edit.byte() % 24;
    const int value = edit.byte();

    QFile::remove(w.copy);
    writeFile(w.input, file);
    const Snapshot before = Snapshot::of(w.document);
    const FileResult opened = w.document.open(w.input);
    if (opened.kind() == FileResult::Kind::Ignored)
        fail("an existing file was ignored");
    if (opened.isFailed()) {
        if (!(Snapshot::of(w.document) == before))
            fail("a refused open changed the document", opened.message());
        if (!opened.message().contains(QDir::toNativeSeparators(w.input)))
            fail("the refusal does not name the file", opened.message());
        if (file.size() >= HighestBlockEnd && file.size() <= 64LL * 1024 * 1024)
            fail("a file of a good size was refused", opened.message());
        return 0;
    }
    if (file.size() < HighestBlockEnd)
        fail("a file shorter than the highest block end was opened");
    for (const BlockSpec& range : BlockCatalogue)
        if (w.document.state().block(range.id) != file.mid(range.position, range.size))
            fail("a block differs from its range");
    if (w.document.state().currentPath() != w.input)
        fail("the current path is not the opened file");

    const FileResult copied = w.document.save(w.copy);
    if (!copied.isDone())
        fail("save under a new name failed", copied.message());
    if (!holds(w.copy, file))
        fail("an unedited save changed the file");

    Grid& grid = w.document.grid(TableId::Placement);
    Table& table = w.document.table(TableId::Placement);
    grid.setCurrentCell(row, col);
    const std::optional<QString> accepted = table.checkText(col, QString::number(value));
    if (!accepted)
        fail("a byte value was refused");
    grid.setText(row, col, *accepted);
    table.storeCell();
    const FileResult saved = w.document.save(w.copy);
    if (!saved.isDone())
        fail("save in place failed", saved.message());
    QByteArray expected = file;
    const qint64 at =
        blockSpec(BlockId::Placement).position + qint64((col - 2) / 4) * 2124 + 4 * (row - 1) + (col - 2) % 4;
    expected[at] = char(value);
    if (!holds(w.copy, expected))
        fail("a save after one edit changed more than its byte");
    if (!holds(w.input, file))
        fail("the opened file changed although only the copy was saved");
    const QStringList entries = QDir(w.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (entries != QStringList{QStringLiteral("copy.smc"), QStringLiteral("in.smc")})
        fail("stray files beside the image", entries.join(QLatin1Char(' ')));
    return 0;
}
