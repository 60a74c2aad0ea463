#include "blockcatalogue.h"
#include "citytable.h"
#include "codecs.h"
#include "document.h"
#include "grid.h"
#include "gridfind.h"
#include "officertable.h"
#include "rowfilter.h"
#include "sampleimage.h"
#include "tableexport.h"
#include "tableimport.h"
#include "tablepaste.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QDir>
#include <QTest>

#include <variant>

using namespace Qt::StringLiterals;

namespace {

// The cell texts an open produces, formatted straight from the blocks into a list: what a fill would
// cost if the grid were free. Officer columns are formatted by kind (numbers, hex codes, the reading
// as eight characters), which is the same work as their fill less the code page look-up.
QStringList formatCellTexts(const EditorState& state)
{
    QStringList out;
    out.reserve(30000);
    const auto byteIn = [](const QByteArray& block, qsizetype i) { return std::uint8_t(block[i]); };
    const auto word = [&](const QByteArray& block, qsizetype i) {
        return QString::number(codecs::LittleEndianValue(byteIn(block, i), byteIn(block, i + 1), 0, 0));
    };

    const QByteArray& officers = state.block(BlockId::Officer);
    for (int n = 0; n < OfficerTable::RecordCount; ++n) {
        const qsizetype p = qsizetype(30) * n;
        out << QString::number(n);
        QString name;
        for (int k = 0; k < 6; ++k)
            name += codecs::HexByteText(byteIn(officers, p + 15 + k));
        out << name << QString::fromLatin1(officers.mid(p + 22, 8));
        for (const int offset : {7, 5, 6, 8, 9, 10})
            out << codecs::DecimalText(byteIn(officers, p + offset));
        for (const qsizetype offset : {2, 3})
            out << QString::number(codecs::HighNibble(byteIn(officers, p + offset)))
                << QString::number(codecs::LowNibble(byteIn(officers, p + offset)));
        out << codecs::DecimalText(byteIn(officers, p + 14))
            << QString::number(codecs::HighNibble(byteIn(officers, p + 4)));
        for (const int offset : {11, 12, 13})
            out << codecs::DecimalText(byteIn(officers, p + offset));
        out << codecs::HexByteText(byteIn(officers, p)) + codecs::HexByteText(byteIn(officers, p + 1)) << QString();
    }

    const QByteArray& cities = state.block(BlockId::City);
    for (int n = 0; n < CityTable::RecordCount; ++n) {
        const qsizetype b = qsizetype(30) * n;
        for (const int offset : {2, 4, 6, 14})
            out << word(cities, b + offset);
        for (const int offset : {11, 13, 12})
            out << codecs::DecimalText(byteIn(cities, b + offset));
        out << QString::number(codecs::LowNibble(byteIn(cities, b + 8)));
        for (const int offset : {16, 17})
            out << codecs::DecimalText(byteIn(cities, b + offset));
        for (const int offset : {18, 20, 22})
            out << word(cities, b + offset);
        for (const int offset : {24, 25, 26, 9})
            out << codecs::DecimalText(byteIn(cities, b + offset));
        out << QString::number(codecs::HighNibble(byteIn(cities, b + 8)));
    }

    const QByteArray& items = state.block(BlockId::Item);
    for (int n = 0; n < 13; ++n) {
        const qsizetype b = qsizetype(18) * n;
        for (int k = 2; k <= 4; ++k)
            out << codecs::DecimalText(byteIn(items, b + k));
        QString name;
        for (int k = 0; k < 12; ++k)
            name += codecs::HexByteText(byteIn(items, b + 5 + k));
        out << name;
    }

    const QByteArray& placement = state.block(BlockId::Placement);
    for (int n = 0; n < 531; ++n) {
        out << QString::number(n);
        for (int c = 0; c < 24; ++c)
            out << codecs::DecimalText(byteIn(placement, (c / 4) * 2124 + 4 * n + c % 4));
    }

    const QByteArray& forces = state.block(BlockId::Force);
    for (int n = 0; n < 126; ++n) {
        const qsizetype b = qsizetype(25) * n;
        out << QString::number(n) << word(forces, b) << codecs::DecimalText(byteIn(forces, b + 2))
            << codecs::DecimalText(byteIn(forces, b + 3));
    }
    return out;
}

} // namespace

// Each benchmark opens the sample image in a scratch directory first, outside the timed part.
class TableBench : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_image;
    // The sample with every block byte changed, so that opening it after the sample rewrites every cell.
    QString m_otherImage;

    // The officer grid's extra text, as the window gives it: the list name in the 名前 column.
    static TextMatch::CellExtra officerNames(const Document& doc)
    {
        return [&doc](int row, int col) { return col == 1 ? doc.officerListName(row) : QString(); };
    }

    void openDocument(Document& doc)
    {
        doc.setNameListPath(m_dir.filePath(u"b.txt"_s));
        doc.setUpGrids();
        QVERIFY(doc.open(m_image).isDone());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_image = m_dir.filePath(u"sample.smc"_s);
        QVERIFY(SampleImage::write(m_image));
        QByteArray other = SampleImage::generate();
        for (const BlockSpec& range : BlockCatalogue)
            for (qsizetype i = range.position; i < range.position + range.size; ++i)
                other[i] = char(other[i] ^ 0x55);
        m_otherImage = m_dir.filePath(u"other.smc"_s);
        QFile file(m_otherImage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(other), other.size());
        // A name for every officer, so that matching the list costs what it costs with a real one.
        QFile names(m_dir.filePath(u"b.txt"_s));
        QVERIFY(names.open(QIODevice::WriteOnly));
        for (int n = 0; n < OfficerTable::RecordCount; ++n)
            names.write("\x91\x82\x91\x80" + QByteArray::number(n) + "\r\n");
    }

    // One keystroke of the filter box on the officer grid: parse, match every row, mark the rows.
    void filterOfficers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("two conditions and a word") << u"武力>=60 寿命<=5 ｱ"_s;
        QTest::newRow("one kana word") << u"ソウ"_s;
        QTest::newRow("a list name") << u"曹操17"_s;
        QTest::newRow("no row matches") << u"zzzz"_s;
    }

    void filterOfficers()
    {
        QFETCH(QString, text);
        Document doc;
        openDocument(doc);
        doc.setRedraw(true);
        Grid& grid = doc.grid(TableId::Officer);
        const TextMatch::CellExtra extra = officerNames(doc);
        QBENCHMARK
        {
            const auto parsed = RowFilter::parse(text, grid);
            grid.setHiddenRows(std::get<RowFilter>(parsed).hiddenRows(grid, extra));
            grid.showAllRows();
        }
    }

    // One find on the officer grid that has to go round all of it: the worst case of a keystroke.
    void findOfficersFullRound_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("kana, not found") << u"ゾゾゾ"_s;
        QTest::newRow("hex, not found") << u"zz"_s;
    }

    void findOfficersFullRound()
    {
        QFETCH(QString, text);
        Document doc;
        openDocument(doc);
        const Grid& grid = doc.grid(TableId::Officer);
        const TextMatch::CellExtra extra = officerNames(doc);
        QBENCHMARK
        {
            QVERIFY(!GridFind::find(grid, 1, 0, true, text, extra, true));
        }
    }

    void open()
    {
        Document doc;
        doc.setNameListPath(m_dir.filePath(u"b.txt"_s));
        doc.setUpGrids();
        // Drawing stays off, as it is during start-up: this is the cost of the data, not of views.
        doc.setRedraw(false);
        QBENCHMARK
        {
            QVERIFY(doc.open(m_image).isDone());
        }
    }

    void formatFloor()
    {
        Document doc;
        openDocument(doc);
        qsizetype cells = 0;
        QBENCHMARK
        {
            cells = formatCellTexts(doc.state()).size();
        }
        QVERIFY(cells > 29000);
    }

    void save()
    {
        Document doc;
        openDocument(doc);
        const QString copy = m_dir.filePath(u"copy.smc"_s);
        QBENCHMARK
        {
            QVERIFY(doc.save(copy).isDone());
        }
    }

    void officerSort()
    {
        Document doc;
        openDocument(doc);
        doc.setRedraw(true);
        QBENCHMARK
        {
            doc.officers().sortGrid(3);
        }
    }

    void commitCell()
    {
        Document doc;
        openDocument(doc);
        doc.setRedraw(true);
        CityTable& cities = doc.cities();
        Grid& grid = doc.grid(TableId::City);
        grid.setCurrentCell(100, 6);
        int value = 0;
        QBENCHMARK
        {
            value = (value + 1) % 256;
            const std::optional<QString> text = cities.checkText(grid.col(), QString::number(value));
            grid.setText(grid.row(), grid.col(), *text);
            cities.storeCell();
        }
        QCOMPARE(grid.text(100, 6), QString::number(value));
    }

    void pasteOfficerBlock()
    {
        // All 532 rows and 20 columns; the record number column is skipped.
        Document source;
        openDocument(source);
        const Grid& from = source.grid(TableId::Officer);
        QString clip;
        for (int row = 1; row < from.rows(); ++row) {
            for (int col = 0; col < from.cols(); ++col)
                clip += (col > 0 ? u"\t"_s : QString()) + from.text(row, col);
            clip += u"\r\n"_s;
        }
        Document doc;
        doc.setNameListPath(m_dir.filePath(u"b.txt"_s));
        doc.setUpGrids();
        QVERIFY(doc.open(m_otherImage).isDone());
        doc.setRedraw(true);
        Grid& grid = doc.grid(TableId::Officer);
        ExchangeReport report;
        QBENCHMARK
        {
            grid.setCurrentCell(1, 0);
            report = TablePaste::paste(doc.table(TableId::Officer), clip);
        }
        // The class marker column refuses the rows where it is empty; every other cell is stored.
        QCOMPARE(report.stored() + report.skipped() + report.refused(), 532 * 20);
        QVERIFY(report.stored() > 532 * 18);
    }

    void exportAllTables()
    {
        Document doc;
        openDocument(doc);
        const QString folder = m_dir.filePath(u"export"_s);
        QBENCHMARK
        {
            QVERIFY(TableExport::writeFolder(doc, folder, FileFormat::Tsv).isDone());
        }
    }

    void importAllTables()
    {
        // Files of the sample into the image whose every block byte differs: every cell is sent.
        Document sample;
        openDocument(sample);
        const QString folder = m_dir.filePath(u"import"_s);
        QVERIFY(TableExport::writeFolder(sample, folder, FileFormat::Tsv).isDone());
        int stored = 0;
        QBENCHMARK
        {
            Document doc;
            doc.setNameListPath(m_dir.filePath(u"b.txt"_s));
            doc.setUpGrids();
            QVERIFY(doc.open(m_otherImage).isDone());
            stored = 0;
            for (const TableId id : AllTables) {
                const TableImport::Result result =
                    TableImport::importFile(doc, QDir(folder).filePath(TableFormat::of(id).fileName(FileFormat::Tsv)));
                QVERIFY(result.file.isDone());
                stored += result.report.stored();
            }
        }
        QVERIFY(stored > 20000);
    }

    void openOnlyForImportFloor()
    {
        // What importAllTables spends on opening the target, to subtract from its figure.
        QBENCHMARK
        {
            Document doc;
            doc.setNameListPath(m_dir.filePath(u"b.txt"_s));
            doc.setUpGrids();
            QVERIFY(doc.open(m_otherImage).isDone());
        }
    }
};

QTEST_GUILESS_MAIN(TableBench)
#include "tablebench.moc"
