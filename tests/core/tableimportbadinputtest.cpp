#include "documentcontent.h"
#include "filebytes.h"
#include "exchangefixture.h"
#include "grid.h"
#include "tableexport.h"
#include "tableimport.h"
#include "testregistry.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray allBlocks(const Document& doc)
{
    QByteArray bytes;
    for (const BlockSpec& range : BlockCatalogue)
        bytes += doc.state().block(range.id);
    return bytes;
}

} // namespace

// Files that are not one of the five tables: each is refused whole, changes nothing, and says why.
class TableImportBadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void import_refusesFileThatIsNotATable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("reason");
        // Line 3 is record 1 of the force table; the edit in line 2 must not be applied either.
        const QByteArray header = "No\t君主\t本拠\t？\n";
        const QByteArray good = header + "0\t7\t7\t7\n";
        QTest::newRow("wrong header") << u"forces.tsv"_s << QByteArray("No\t君主\t本拠\n0\t1\t2\n") << u"1 行目"_s;
        QTest::newRow("header of a csv in a tsv") << u"forces.tsv"_s << QByteArray("No,君主,本拠,？\n") << u"1 行目"_s;
        QTest::newRow("ragged row short") << u"forces.tsv"_s << good + "1\t2\t3\n" << u"3 行目"_s;
        QTest::newRow("ragged row long") << u"forces.tsv"_s << good + "1\t2\t3\t4\t5\n" << u"3 行目"_s;
        QTest::newRow("blank line inside") << u"forces.tsv"_s << good + "\n1\t2\t3\t4\n" << u"3 行目"_s;
        QTest::newRow("record past the end") << u"forces.tsv"_s << good + "126\t1\t1\t1\n" << u"「126」"_s;
        QTest::newRow("negative record") << u"forces.tsv"_s << good + "-1\t1\t1\t1\n" << u"3 行目"_s;
        QTest::newRow("record not a number") << u"forces.tsv"_s << good + "x\t1\t1\t1\n" << u"3 行目"_s;
        QTest::newRow("record twice") << u"forces.tsv"_s << good + "0\t1\t1\t1\n" << u"2 行目にも"_s;
        QTest::newRow("unknown item") << u"items.tsv"_s
                                      << QByteArray("アイテム名\t忠誠\t知力,武力\t政治,退却\t名前（16進）\n"
                                                    "孫子の兵法書\t1\t1\t1\t000000000000000000000000\n"
                                                    "伝国の剣\t1\t1\t1\t000000000000000000000000\n")
                                      << u"「伝国の剣」"_s;
        QTest::newRow("not utf-8") << u"forces.tsv"_s << good + "1\t\x82\xa0\t1\t1\n" << u"3 行目: UTF-8"_s;
        QTest::newRow("shift-jis header")
            << u"forces.tsv"_s << QByteArray("No\t\x8c\x4e\x8e\xe5\t1\t1\n") << u"1 行目: UTF-8"_s;
        QTest::newRow("empty") << u"forces.tsv"_s << QByteArray() << u"空"_s;
        QTest::newRow("byte order mark only") << u"forces.csv"_s << QByteArray("\xEF\xBB\xBF\r\n") << u"空"_s;
        QTest::newRow("unclosed csv quote")
            << u"forces.csv"_s << QByteArray("No,君主,本拠,？\n0,\"7,7,7\n") << u"2 行目: 引用符"_s;
        QTest::newRow("text after csv quote")
            << u"forces.csv"_s << QByteArray("No,君主,本拠,？\n0,\"7\"x,7,7\n") << u"2 行目"_s;
    }

    void import_refusesFileThatIsNotATable()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, reason);
        OpenedImage image;
        QVERIFY(image.openSample());
        const QString path = image.dir.filePath(name);
        QVERIFY(writeFileBytes(path, data));
        const QStringList cells = allCells(image.doc);
        const QByteArray blocks = allBlocks(image.doc);
        const TableImport::Result result = TableImport::importFile(image.doc, path);
        QVERIFY(result.file.isFailed());
        QVERIFY2(result.file.message().contains(QDir::toNativeSeparators(path)), qPrintable(result.file.message()));
        QVERIFY2(result.file.message().contains(reason), qPrintable(result.file.message()));
        QCOMPARE(allBlocks(image.doc), blocks);
        QVERIFY(allCells(image.doc) == cells);
    }

    void import_refusesWhatIsNotAFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("directory") << u"folder.tsv"_s << u"フォルダー"_s;
        QTest::newRow("missing") << u"missing.tsv"_s << u"見つかりません"_s;
    }

    void import_refusesWhatIsNotAFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        OpenedImage image;
        QVERIFY(image.openSample());
        QVERIFY(QDir(image.dir.path()).mkdir(u"folder.tsv"_s));
        const QByteArray blocks = allBlocks(image.doc);
        const TableImport::Result result = TableImport::importFile(image.doc, image.dir.filePath(name));
        QVERIFY(result.file.isFailed());
        QVERIFY2(result.file.message().contains(reason), qPrintable(result.file.message()));
        QVERIFY(result.file.message().contains(name));
        QCOMPARE(allBlocks(image.doc), blocks);
    }

    void import_acceptsWhatSpreadsheetsWrite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("tsv with CR LF") << u"forces.tsv"_s << QByteArray("No\t君主\t本拠\t？\r\n0\t7\t8\t9\r\n");
        QTest::newRow("tsv with byte order mark")
            << u"f.tsv"_s << QByteArray("\xEF\xBB\xBFNo\t君主\t本拠\t？\n0\t7\t8\t9");
        QTest::newRow("csv without byte order mark, quoted")
            << u"forces.CSV"_s << QByteArray("No,君主,本拠,？\r\n\"0\",\"7\",8,9\r\n\r\n");
        // As LibreOffice Calc saves a file the export marked: text in quotes, the mark kept.
        QTest::newRow("tsv saved by a spreadsheet")
            << u"forces.tsv"_s << QByteArray("\"No\"\t\"君主\"\t\"本拠\"\t\"？\"\n0\t\"'7\"\t8\t9\n");
        QTest::newRow("csv saved by a spreadsheet")
            << u"forces.csv"_s << QByteArray("\"No\",\"君主\",\"本拠\",\"？\"\n\"'0\",\"'7\",8,9\n");
        QTest::newRow("record number with spaces")
            << u"forces.tsv"_s << QByteArray("No\t君主\t本拠\t？\n 0 \t7\t8\t9\n");
    }

    void import_acceptsWhatSpreadsheetsWrite()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        OpenedImage image;
        QVERIFY(image.openSample());
        const QString path = image.dir.filePath(name);
        QVERIFY(writeFileBytes(path, data));
        const TableImport::Result result = TableImport::importFile(image.doc, path);
        QVERIFY2(result.file.isDone(), qPrintable(result.file.message()));
        QCOMPARE(result.table, std::optional<TableId>(TableId::Force));
        QVERIFY(!result.report.hasProblems());
        const QByteArray forces = image.block(BlockId::Force);
        QCOMPARE(QByteArray(forces.constData(), 4), QByteArray("\x07\x00\x08\x09", 4));
    }
};

TAVRIN_TEST(TableImportBadInputTest)
#include "tableimportbadinputtest.moc"
