// Writes the starting corpus of every fuzz target, built from the sample image and the tables' own
// texts, so that no binary input needs to live in the repository.
//
// Usage: tavrin-fuzz-corpus <folder>   (writes <folder>/tables, codepage, namelist, open, patch and
// sequence)

#include "blockcatalogue.h"
#include "citytable.h"
#include "document.h"
#include "fuzzinput.h"
#include "grid.h"
#include "officertable.h"
#include "patchfile.h"
#include "sampleimage.h"
#include "sequencestep.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int written = 0;

bool put(const QString& folder, const QByteArray& bytes)
{
    // Named by content, like libFuzzer's own files, so a rerun replaces rather than duplicates.
    const QString name = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    ++written;
    return true;
}

QByteArray shiftJis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

bool writeTables(const QString& folder, Document& document)
{
    const QStringList typed{u"0"_s,  u"1"_s,   u"15"_s,  u"255"_s, u"256"_s, u"300"_s,   u"65535"_s,
                            u"-1"_s, u"2.5"_s, u" 7 "_s, u"abc"_s, u""_s,    u"ｱｲｳｴｵ"_s, u"アガパ"_s};
    bool ok = true;
    for (const TableId id : AllTables) {
        const Grid& grid = document.grid(id);
        const int table = int(id);
        for (int col = 0; col < grid.cols(); ++col) {
            FuzzRecord record;
            for (const int row : {1, 2, grid.rows() / 2, grid.rows() - 1}) {
                // The text the cell already shows, as a user would retype it, then the usual suspects.
                record.byte(0).byte(table).word(row + 1).byte(col + 1).utf8(grid.text(row, col));
                for (const QString& text : typed)
                    record.byte(0).byte(table).word(row + 1).byte(col + 1).utf16(text);
            }
            ok = put(folder, record.data()) && ok;
        }
    }
    // Officer sorts by several columns, row stores in between.
    FuzzRecord sorts;
    for (const int col : {3, 0, 2, 14, 19, 1})
        sorts.byte(3)
            .byte(int(TableId::Officer))
            .word(0)
            .byte(col + 1)
            .utf8({})
            .byte(2)
            .byte(int(TableId::Officer))
            .word(col * 37 % 532 + 1)
            .byte(1)
            .utf8({});
    ok = put(folder, sorts.data()) && ok;
    return ok;
}

bool writeCodePage(const QString& folder, const QByteArray& image)
{
    bool ok = true;
    const qint64 officers = blockSpec(BlockId::Officer).position;
    for (int n = 0; n < OfficerTable::RecordCount; ++n)
        if (n % 25 == 0 || (n >= 12 && n <= 24))
            ok = put(folder, image.mid(officers + qint64(n) * OfficerTable::RecordSize + 22, 8)) && ok;
    for (const QString& text : {u"アイウエオガギパピヴー"_s, u"あいうがぱゔゕ"_s, u"ＡＢＣ１２３　！"_s, u"ｱｲｳﾞﾟ"_s}) {
        ok = put(folder, QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)) && ok;
        ok = put(folder, text.toUtf8()) && ok;
    }
    return ok;
}

bool writeNameList(const QString& folder, const QByteArray& image)
{
    QStringList cities;
    for (int k = 1; k <= 46; ++k)
        cities << CityTable::cityName(k);
    const QByteArray crlf = shiftJis(cities.join(u"\r\n"_s));
    bool ok = put(folder, crlf);
    ok = put(folder, crlf + "\r\n") && ok;
    ok = put(folder, shiftJis(cities.join(u"\n"_s))) && ok;
    ok = put(folder, shiftJis(cities.mid(0, 5).join(u"\r\n"_s)) + "\r\n\x83\r\n\xFF\x85\x40") && ok;
    // Raw image bytes: readings and city records, which are anything but text.
    ok = put(folder, image.mid(blockSpec(BlockId::Officer).position + 22, 600)) && ok;
    ok = put(folder, image.mid(blockSpec(BlockId::City).position, 600)) && ok;
    return ok;
}

bool writeOpen(const QString& folder, const QByteArray& image)
{
    bool ok = true;
    constexpr qint64 RegionStart = 0xA5000;
    for (const BlockSpec& range : BlockCatalogue) {
        const qint64 offset = range.position - RegionStart;
        // The block's own first bytes laid over it, the whole file kept; then the same with a cut.
        for (const int length : {1, 0x0400, 0x8000}) {
            FuzzRecord record;
            record.byte(2).triple(int(offset)).word(length).bytes(image.mid(range.position, 512));
            ok = put(folder, record.data()) && ok;
        }
    }
    FuzzRecord padded;
    padded.byte(1).triple(0).word(1).bytes(image.left(512));
    ok = put(folder, padded.data()) && ok;
    FuzzRecord shortRaw;
    shortRaw.byte(0).triple(0).word(0).bytes(image.mid(512, 256));
    ok = put(folder, shortRaw.data()) && ok;
    return ok;
}

// Valid patches of a piece of the sample image, for each reading mode, and pairs to create from.
bool writePatch(const QString& folder, const QByteArray& image)
{
    const QByteArray source = image.mid(blockSpec(BlockId::Officer).position, 2000);
    QByteArray modified = source;
    modified[7] = char(95);
    modified.replace(300, 40, QByteArray(40, '\x07'));
    const QList<QByteArray> targets{modified, modified.left(1500), modified + QByteArray(64, '\0')};
    bool ok = true;
    for (const QByteArray& target : targets) {
        const QByteArray ips = PatchFile::create(PatchFormat::Ips, source, target).bytes;
        const QByteArray bps = PatchFile::create(PatchFormat::Bps, source, target).bytes;
        for (const auto& [mode, rest] :
             {std::pair{0, ips}, std::pair{1, bps}, std::pair{2, bps}, std::pair{3, target}}) {
            FuzzRecord record;
            record.byte(mode).word(int(source.size())).bytes(source).bytes(rest);
            ok = put(folder, record.data()) && ok;
        }
    }
    return ok;
}

// Sequences of the window's steps: first those that once found a fault, kept small, then longer walks
// through every kind of step.
bool writeSequence(const QString& folder)
{
    const auto steps = [](std::initializer_list<int> bytes) {
        FuzzRecord record;
        for (const int b : bytes)
            record.byte(b);
        return record;
    };
    // A walk written one step to a line.
    const auto walk = [](std::initializer_list<std::initializer_list<int>> lines) {
        FuzzRecord record;
        for (const std::initializer_list<int>& line : lines)
            for (const int b : line)
                record.byte(b);
        return record;
    };
    constexpr auto op = [](SequenceStep step) { return int(step); };
    using enum SequenceStep;
    const QList<FuzzRecord> found{
        // A filter that hides every officer (武力>999), then 77 typed and Enter.
        steps({op(Filter), 1, 3, 0, op(Type), 0, 77, 0, 0}),
        // 武力>=250, a sort by 野望, then 3 typed and Enter.
        steps({op(Filter), 6, 3, 250, op(Sort), 9, op(Type), 0, 3, 0, 0}),
        // The officer dialog on officer 3, whose byte 4 is 0x3F, closed by Cancel.
        steps({op(Click), 3, 3, 0, op(OfficerDialog), 0, 0, 0}),
        // An edit, the checksum fix, then a patch made through the window.
        steps({op(Type), 0, 77, 0, 0, op(FixChecksum), op(Patch), 0}),
        // The fix undone, another program writes the four checksum bytes, then a save that overwrites.
        steps({op(FixChecksum), op(Undo), op(ChangeOutside), 2, 0x12, 0x34, 0x56, 0x78, op(Save), 0}),
        // 武力<60, then 武力+=200 on the shown rows (most of them cut at the cap), 陸指-=255 (refused), undo.
        steps({op(Filter), 10, 3, 60, op(Batch), 0, 1, 200, op(Batch), 1, 2, 255, op(Undo)}),
        // Saved into the folder whose name list is shorter, then opened from there.
        steps({op(SaveAs), op(Open), 0}),
        // 武力>=250, a press on the 知力 header, 3 typed and Enter: the current cell must be a shown one.
        steps({op(Filter), 6, 3, 250, op(HeaderClick), 6, 0, op(Type), 0, 3, 0, 0}),
        // The same with a double-click on the header (the sort).
        steps({op(Filter), 6, 3, 250, op(HeaderClick), 6, 1, op(Type), 0, 3, 0, 0}),
        // 武力 raised to 230 on officer 0: the class marker must follow, and follow the undo back.
        steps({op(Click), 3, 1, 0, op(Type), 0, 230, 0, 0, op(Undo), op(Redo)}),
        // Every kind of field: a hex name in lower case, a reading, 顔グラ, 運 beside 野望, 寿命.
        walk({{op(Click), 1, 5, 0},
              {op(Type), 0, 0x34, 0x12, 0},
              {op(Click), 2, 5, 0},
              {op(Type), 4, 0x25, 0, 0},
              {op(Click), 18, 5, 0},
              {op(Type), 2, 0xCD, 0xAB, 0},
              {op(Click), 10, 5, 0},
              {op(Type), 0, 9, 0, 0},
              {op(Click), 14, 5, 0},
              {op(Type), 0, 8, 0, 0},
              {op(Undo), op(Undo), op(Redo)}}),
        // Cities, items and forces: a capped 16-bit value, 肥沃 above its cap, an item name, a ruler
        // above 531.
        walk({{op(ShowTable), 1},
              {op(Click), 2, 1, 0},
              {op(Type), 0, 0x2D, 0x01, 0},
              {op(Click), 9, 1, 0},
              {op(Type), 0, 19, 0, 0},
              {op(ShowTable), 2},
              {op(Click), 4, 2, 0},
              {op(Type), 1, 0x11, 0x22, 0},
              {op(ShowTable), 3},
              {op(Click), 1, 1, 0},
              {op(Type), 0, 0x58, 0x02, 0},
              {op(Undo), op(Undo)}}),
        // A block pasted across the placement scenarios under a filter, then sorted officers and a patch.
        walk({{op(ShowTable), 4},
              {op(Filter), 3, 0, 7},
              {op(Paste), 4, 1, 2, 3, 4},
              {op(Sort), 0},
              {op(Sort), 0},
              {op(Patch), 1}}),
        // An edit and the checksum fix, the process stops, 復元; another edit, stop, キャンセル; another,
        // stop, 破棄.
        walk({{op(Click), 3, 1, 0},
              {op(Type), 0, 77, 0, 0},
              {op(FixChecksum)},
              {op(Stop), 0},
              {op(Click), 3, 2, 0},
              {op(Type), 0, 5, 0, 0},
              {op(Stop), 2},
              {op(Click), 3, 3, 0},
              {op(Type), 0, 6, 0, 0},
              {op(Stop), 1}}),
        // Saved, edited again, the file changed by another program outside the tables, the process stops,
        // 復元 (the question notes the change); the restore undone and redone.
        walk({{op(Click), 3, 1, 0},
              {op(Type), 0, 77, 0, 0},
              {op(Save), 0},
              {op(Click), 3, 2, 0},
              {op(Type), 0, 9, 0, 0},
              {op(ChangeOutside), 1, 0, 0x10, 0x00, 0x5A},
              {op(Stop), 0},
              {op(Undo), op(Redo)}}),
    };
    bool ok = true;
    for (const FuzzRecord& record : found)
        ok = put(folder, record.data()) && ok;
    // Walks of up to 48 steps from a fixed pseudo-random sequence, so that the run starts deep.
    quint32 state = 2463534242u;
    for (int walk = 0; walk < 8; ++walk) {
        FuzzRecord record;
        for (int k = 0; k < 200; ++k) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            record.byte(int(state));
        }
        ok = put(folder, record.data()) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tavrin-fuzz-corpus <folder>\n");
        return 2;
    }
    const QDir root(args[1]);
    for (const QString& sub : {u"tables"_s, u"codepage"_s, u"namelist"_s, u"open"_s, u"patch"_s, u"sequence"_s})
        if (!root.mkpath(sub)) {
            std::fprintf(stderr, "tavrin-fuzz-corpus: cannot make %s\n", qUtf8Printable(root.filePath(sub)));
            return 1;
        }

    const QByteArray image = SampleImage::generate();
    Document document;
    document.setUpGrids();
    std::array<QByteArray, 5> blocks;
    for (const BlockSpec& range : BlockCatalogue)
        blocks[std::size_t(range.id)] = image.mid(range.position, range.size);
    document.state().replaceBlocks(blocks);
    document.fillGrids();

    const bool ok = writeTables(root.filePath(u"tables"_s), document) &&
                    writeCodePage(root.filePath(u"codepage"_s), image) &&
                    writeNameList(root.filePath(u"namelist"_s), image) && writeOpen(root.filePath(u"open"_s), image) &&
                    writePatch(root.filePath(u"patch"_s), image) && writeSequence(root.filePath(u"sequence"_s));
    if (!ok) {
        std::fprintf(stderr, "tavrin-fuzz-corpus: cannot write into %s\n", qUtf8Printable(args[1]));
        return 1;
    }
    std::printf("%d starting inputs\n", written);
    return 0;
}
