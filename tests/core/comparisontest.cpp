#include "comparedsample.h"
#include "compareside.h"
#include "comparison.h"
#include "copierheader.h"
#include "document.h"
#include "filebytes.h"
#include "grid.h"
#include "imagedifference.h"
#include "officertable.h"
#include "patchfile.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"

#include <QTemporaryDir>
#include <QTest>

#include <variant>

using namespace Qt::StringLiterals;

namespace {

enum class OtherKind
{
    Image,
    HeaderlessImage,
    Ips,
    Bps,
};

// The other side as a file of its kind: the other image as it is or without its header, or a patch
// that makes it from the original.
QByteArray otherFile(const ComparedSample& s, OtherKind kind)
{
    switch (kind) {
    case OtherKind::Image:
        return s.other;
    case OtherKind::HeaderlessImage:
        return CopierHeader::removed(s.other).bytes;
    case OtherKind::Ips:
        return PatchFile::create(PatchFormat::Ips, s.original, s.other).bytes;
    case OtherKind::Bps:
        return PatchFile::create(PatchFormat::Bps, s.original, s.other).bytes;
    }
    return {};
}

// The row of a live grid that shows `record`.
int rowOf(const Grid& grid, int record)
{
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        if (grid.text(r, 0).toInt() == record)
            return r;
    return -1;
}

} // namespace

// The comparison model: the other side read from an image of either form or from a patch, marks
// on exactly the differing stored cells kept by record, taking them, and the bytes outside the tables
// counted.
class ComparisonTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ComparedSample> m_sample;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Opens `mine` (the original, as it is or without its header) and reads the other side.
    std::unique_ptr<Comparison> open(Document& doc, const QByteArray& mine, const QByteArray& other,
                                     const QString& otherName)
    {
        const QString minePath = path(mine.size() % 1024 == 0 ? u"mine.sfc"_s : u"mine.smc"_s);
        if (!writeFileBytes(minePath, mine) || !writeFileBytes(path(otherName), other))
            return nullptr;
        doc.setUpGrids();
        if (!doc.open(minePath).isDone())
            return nullptr;
        auto side = CompareSide::read(path(otherName), minePath);
        if (const QString* refused = std::get_if<QString>(&side)) {
            qWarning() << *refused;
            return nullptr;
        }
        return std::make_unique<Comparison>(doc, std::get<CompareSide>(std::move(side)));
    }

private Q_SLOTS:
    void initTestCase() { m_sample = std::make_unique<ComparedSample>(SampleImage::generate()); }

    void read_marksExactlyTheDifferingCells_data()
    {
        QTest::addColumn<OtherKind>("kind");
        QTest::addColumn<bool>("mineHeaderless");
        QTest::newRow("image of the same form") << OtherKind::Image << false;
        QTest::newRow("image without header") << OtherKind::HeaderlessImage << false;
        QTest::newRow("headerless document, image with header") << OtherKind::Image << true;
        QTest::newRow("IPS patch") << OtherKind::Ips << false;
        QTest::newRow("BPS patch") << OtherKind::Bps << false;
    }

    void read_marksExactlyTheDifferingCells()
    {
        QFETCH(OtherKind, kind);
        QFETCH(bool, mineHeaderless);
        const QByteArray mine = mineHeaderless ? CopierHeader::removed(m_sample->original).bytes : m_sample->original;
        Document doc;
        const auto comparison = open(doc, mine, otherFile(*m_sample, kind), u"other.bin"_s);
        QVERIFY(comparison);
        QCOMPARE(comparison->side().isPatch(), kind == OtherKind::Ips || kind == OtherKind::Bps);
        for (const ComparedValue& value : m_sample->values) {
            const int row = value.record + 1;
            QVERIFY2(comparison->isMarked(value.table, row, value.col), qPrintable(value.text));
            QCOMPARE(comparison->otherText(value.table, row, value.col), std::optional<QString>(value.text));
            QVERIFY(!comparison->isMarked(value.table, row, value.col + 1));
            QCOMPARE(comparison->count(value.table), m_sample->count(value.table));
        }
        QCOMPARE(comparison->total(), m_sample->values.size());
        // The changed header byte is not counted; the byte outside the tables is.
        QCOMPARE(comparison->side().outsideBytes(), 1);
    }

    // Marks belong to records, so a sort moves them with their rows; a selection takes nothing from a
    // row a filter hides, while taking everything does. (The bytes a take writes are checked through
    // the window, saved.)
    void take_followsRecordsAndShownRows()
    {
        Document doc;
        const auto comparison = open(doc, m_sample->original, m_sample->other, u"other.smc"_s);
        QVERIFY(comparison);
        Grid& grid = doc.grid(TableId::Officer);
        doc.officers().sortGrid(OfficerTable::LifespanColumn);
        const ComparedValue& war = m_sample->values.first();
        const int row = rowOf(grid, war.record);
        QVERIFY(row != war.record + 1);
        QVERIFY(comparison->isMarked(TableId::Officer, row, war.col));
        QVector<bool> hidden(grid.rows(), false);
        hidden[row] = true;
        grid.setHiddenRows(hidden);
        QCOMPARE(comparison->take(TableId::Officer, 1, 0, grid.rows() - 1, grid.cols() - 1), 1);
        comparison->update(TableId::Officer);
        QCOMPARE(comparison->count(TableId::Officer), 1);
        QCOMPARE(comparison->takeAll(), m_sample->values.size() - 1);
        for (const TableId id : AllTables)
            comparison->update(id);
        QCOMPARE(comparison->total(), 0);
        QCOMPARE(grid.text(row, war.col), war.text);
    }

    void update_followsEditsOfTheCell()
    {
        Document doc;
        const auto comparison = open(doc, m_sample->original, m_sample->other, u"other.smc"_s);
        QVERIFY(comparison);
        for (const ComparedValue& value : m_sample->values) {
            Table& table = doc.table(value.table);
            const int row = value.record + 1;
            const QString before = doc.grid(value.table).text(row, value.col);
            // Typed, the value above the cap would be capped and stay marked; the others match.
            const bool capped = value.table == TableId::City;
            QCOMPARE(table.commitText(row, value.col, value.text), CommitOutcome::Stored);
            comparison->update(value.table);
            QCOMPARE(comparison->isMarked(value.table, row, value.col), capped);
            QCOMPARE(table.commitText(row, value.col, before), CommitOutcome::Stored);
            comparison->update(value.table);
            QVERIFY(comparison->isMarked(value.table, row, value.col));
        }
    }

    void outsideTables_countsCartridgeBytesNoTableHolds_data()
    {
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<qint64>("count");
        const QByteArray& a = m_sample->original;
        QByteArray outside = a;
        outside[0x300] = char(~a.at(0x300));
        outside[a.size() - 1] = char(~a.at(a.size() - 1));
        QByteArray inside = a;
        inside[blockSpec(BlockId::Force).position + 7] = char(~a.at(blockSpec(BlockId::Force).position + 7));
        QByteArray header = a;
        header[3] = char(~a.at(3));
        QTest::newRow("same") << a << qint64(0);
        QTest::newRow("two bytes outside") << outside << qint64(2);
        QTest::newRow("a table byte") << inside << qint64(0);
        QTest::newRow("the header") << header << qint64(0);
        QTest::newRow("the other form") << CopierHeader::removed(a).bytes << qint64(0);
        QTest::newRow("1 KiB longer") << a + QByteArray(1024, '\0') << qint64(1024);
        QTest::newRow("1 KiB shorter") << a.first(a.size() - 1024) << qint64(1024);
    }

    void outsideTables_countsCartridgeBytesNoTableHolds()
    {
        QFETCH(QByteArray, other);
        QFETCH(qint64, count);
        QCOMPARE(ImageDifference::outsideTables(m_sample->original, other), count);
        QCOMPARE(ImageDifference::outsideTables(other, m_sample->original), count);
    }
};

TAVRIN_TEST(ComparisonTest)
#include "comparisontest.moc"
