// Opening arbitrary files: the input becomes a file (as it is, padded past the highest block end, or
// laid over the blocks of the sample image), which the document opens. A refusal names the file and
// leaves the previous document as it was; an open reads exactly the five ranges, a save under a new
// name reproduces the file byte for byte, and a save after one edit changes exactly that byte.
//
// Every input goes through the file operations themselves in a folder in memory: each reads the
// blocks, one in WriteShare also writes an edited image (copying most of a megabyte, it costs more
// than the read), and one in FullPathShare goes through the document instead, whose open fills five
// grids and costs a hundred times as much. The shares are chosen by a hash of the input, so that an
// input that fails fails again when run on its own.
//
// Input: [mode][position: 3 bytes][length: 2 bytes][file bytes...]; the first four file bytes also
// choose the edit: [row: 2 bytes][column][value].

#include "blockcatalogue.h"
#include "document.h"
#include "fuzzinput.h"
#include "fuzztempdir.h"
#include "grid.h"
#include "imageform.h"
#include "romfile.h"
#include "sampleimage.h"
#include "table.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_open: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

constexpr std::uint32_t WriteShare = 4;
constexpr std::uint32_t FullPathShare = 64;

// Whether the file holds exactly `bytes`, except that the byte at `changed` (if any) holds `value`.
// Read into one buffer kept for the whole run: a fresh megabyte for every read, or a mapping with a
// page fault for every 4 KiB, would cost more than the operation under test.
bool holds(const QString& path, const QByteArray& bytes, qint64 changed = -1, char value = 0)
{
    static QByteArray buffer;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    if (buffer.size() < bytes.size())
        buffer.resize(bytes.size());
    if (file.read(buffer.data(), bytes.size()) != bytes.size())
        return false;
    const char* read = buffer.constData();
    if (changed < 0)
        return std::memcmp(read, bytes.constData(), std::size_t(bytes.size())) == 0;
    const std::size_t after = std::size_t(changed) + 1;
    return std::memcmp(read, bytes.constData(), std::size_t(changed)) == 0 && read[changed] == value &&
           std::memcmp(read + after, bytes.constData() + after, std::size_t(bytes.size()) - after) == 0;
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

// Builds the file that an input stands for into `file`, whose buffer is kept from input to input:
// under the sanitizers a fresh megabyte costs more than the operations under test.
void fileFor(FuzzInput& in, const QByteArray& sample, bool full, QByteArray& file)
{
    const int mode = in.byte() % 3;
    const std::uint32_t position = in.triple();
    const std::uint16_t length = in.word();
    const QByteArray payload = in.rest();
    if (mode == 0) {
        file.resize(payload.size());
        std::memcpy(file.data(), payload.constData(), std::size_t(payload.size()));
        return;
    }
    if (mode == 1) {
        // Padded with zeros to about the highest block end.
        const qsizetype wanted = std::max(payload.size(), qsizetype(HighestBlockEnd) - 2 + length % 64);
        file.resize(wanted);
        std::memcpy(file.data(), payload.constData(), std::size_t(payload.size()));
        std::memset(file.data() + payload.size(), 0, std::size_t(wanted - payload.size()));
        return;
    }
    // The sample ends up to 64 KiB past the highest block end: the rest of its megabyte of filler
    // would only multiply the cost of every input. Inputs in the full path keep the whole sample.
    const qsizetype kept = full ? sample.size() : qsizetype(HighestBlockEnd) + (position >> 8) % 0x10000;
    file.resize(kept);
    std::memcpy(file.data(), sample.constData(), std::size_t(kept));
    const qsizetype at = qsizetype(BlockRegionStart + position % BlockRegionSize);
    std::memcpy(file.data() + at, payload.constData(), std::size_t(std::min(payload.size(), file.size() - at)));
    // Now and then cut the file, sometimes below the highest block end.
    if (length % 4 == 0)
        file.truncate(std::max<qsizetype>(0, file.size() - (full ? length % 0x60000 : length % 0x20000)));
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
    FuzzTempDir dir;
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

// The cell edit an input makes, and the file byte it must change.
struct Edit
{
    int row;
    int col;
    int value;

    qint64 blockOffset() const { return qint64((col - 2) / 4) * 2124 + 4 * (row - 1) + (col - 2) % 4; }
    qint64 filePosition(ImageForm form) const
    {
        return blockPosition(blockSpec(BlockId::Placement), form) + blockOffset();
    }
};

// The size alone decides whether an image carries a copier header.
ImageForm formOf(const QByteArray& file)
{
    return imageFormForSize(file.size());
}

void checkRefusal(const FileResult& result, const QString& input, const QByteArray& file)
{
    if (!result.message().contains(QDir::toNativeSeparators(input)))
        fail("the refusal does not name the file", result.message());
    if (file.size() >= minimumImageSize(formOf(file)) && file.size() <= romfile::MaximumImageSize)
        fail("a file of a good size was refused", result.message());
}

void checkSavedWithOneEdit(const World& w, const QByteArray& file, const Edit& edit)
{
    if (!holds(w.copy, file, edit.filePosition(formOf(file)), char(edit.value)))
        fail("a save after one edit changed more than its byte");
    if (!holds(w.input, file))
        fail("the opened file changed although only the copy was saved");
}

// The file operations alone: the blocks read are the file's ranges, and (when `writes`) writing them
// back with one byte changed into a new file gives the input with that byte changed.
void quickPath(World& w, const QByteArray& file, const Edit& edit, bool writes)
{
    std::array<QByteArray, 5> blocks;
    const FileResult read = romfile::ReadBlocks(w.input, blocks);
    if (read.kind() == FileResult::Kind::Ignored)
        fail("an existing file was ignored");
    if (read.isFailed())
        return checkRefusal(read, w.input, file);
    const ImageForm form = formOf(file);
    if (file.size() < minimumImageSize(form))
        fail("a file shorter than the highest block end was read");
    const QByteArrayView whole(file);
    for (const BlockSpec& range : BlockCatalogue)
        if (blocks[std::size_t(range.id)] != whole.sliced(blockPosition(range, form), range.size))
            fail("a block differs from its range");
    if (!writes)
        return;

    blocks[std::size_t(BlockId::Placement)][edit.blockOffset()] = char(edit.value);
    QByteArray image;
    const FileResult composed = romfile::ComposeImage(w.input, blocks, std::nullopt, image);
    if (!composed.isDone())
        fail("composing an image from its own blocks failed", composed.message());
    const FileResult written = romfile::WriteImage(w.copy, image);
    if (!written.isDone())
        fail("writing an image under a new name failed", written.message());
    checkSavedWithOneEdit(w, file, edit);
}

// The document: open fills the grids, a refusal leaves everything as it was, a save under a new
// name copies the file exactly, and an edit through the placement table saves as its one byte.
void fullPath(World& w, const QByteArray& file, const Edit& edit)
{
    const Snapshot before = Snapshot::of(w.document);
    const FileResult opened = w.document.open(w.input);
    if (opened.kind() == FileResult::Kind::Ignored)
        fail("an existing file was ignored");
    if (opened.isFailed()) {
        if (!(Snapshot::of(w.document) == before))
            fail("a refused open changed the document", opened.message());
        return checkRefusal(opened, w.input, file);
    }
    const ImageForm form = formOf(file);
    if (file.size() < minimumImageSize(form))
        fail("a file shorter than the highest block end was opened");
    for (const BlockSpec& range : BlockCatalogue)
        if (w.document.state().block(range.id) != file.mid(blockPosition(range, form), range.size))
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
    grid.setCurrentCell(edit.row, edit.col);
    const std::optional<QString> accepted = table.checkText(edit.col, QString::number(edit.value));
    if (!accepted)
        fail("a byte value was refused");
    grid.setText(edit.row, edit.col, *accepted);
    table.storeCell();
    const FileResult saved = w.document.save(w.copy);
    if (!saved.isDone())
        fail("save in place failed", saved.message());
    checkSavedWithOneEdit(w, file, edit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World w;
    FuzzInput in(data, size);
    const std::uint32_t hash = in.hash();
    const bool full = hash % FullPathShare == 0;
    static QByteArray file;
    fileFor(in, w.sample, full, file);
    // fileFor consumed the header; the edit comes from the same bytes, read again from the front.
    FuzzInput edits(data, size);
    edits.bytes(6);
    Edit edit{};
    edit.row = 1 + edits.word() % 531;
    edit.col = 2 + edits.byte() % 24;
    edit.value = edits.byte();

    QFile::remove(w.copy);
    writeFile(w.input, file);
    if (full)
        fullPath(w, file, edit);
    else
        quickPath(w, file, edit, hash % WriteShare == 0);
    const QStringList entries = QDir(w.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QStringList input{QStringLiteral("in.smc")};
    if (entries != input && entries != QStringList{QStringLiteral("copy.smc"), QStringLiteral("in.smc")})
        fail("stray files beside the image", entries.join(QLatin1Char(' ')));
    return 0;
}
