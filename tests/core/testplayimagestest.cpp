#include "filebytes.h"
#include "testplayimages.h"
#include "testregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The temporary images of test play: one folder each, the opened image's name, the newest three kept,
// all gone with their owner.
class TestPlayImagesTest : public QObject
{
    Q_OBJECT

    // The folders directly under `parent`.
    static QStringList foldersIn(const QString& parent)
    {
        return QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

private Q_SLOTS:
    void add_keepsTheNewestThree_data()
    {
        QTest::addColumn<int>("added");
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("four: the first goes") << 4;
        QTest::newRow("seven") << 7;
    }

    void add_keepsTheNewestThree()
    {
        QFETCH(int, added);
        const QTemporaryDir parent;
        QStringList written;
        {
            TestPlayImages images(parent.path());
            for (int i = 0; i < added; ++i) {
                QString path;
                QVERIFY(images.add(u"三国 志.smc"_s, QByteArray(1024, char(i)), path).isDone());
                QCOMPARE(QFileInfo(path).fileName(), u"三国 志.smc"_s);
                QCOMPARE(QFileInfo(QFileInfo(path).absolutePath()).absolutePath(),
                         QFileInfo(parent.path()).absoluteFilePath());
                written << path;
            }
            const QStringList kept = written.mid(std::max(0, added - 3));
            QCOMPARE(images.paths(), kept);
            QCOMPARE(foldersIn(parent.path()).size(), kept.size());
            for (qsizetype i = 0; i < written.size(); ++i) {
                QCOMPARE(QFileInfo::exists(written[i]), kept.contains(written[i]));
                if (kept.contains(written[i]))
                    QCOMPARE(readFileBytes(written[i]), QByteArray(1024, char(i)));
            }
        }
        QCOMPARE(foldersIn(parent.path()), QStringList());
    }

    void dropNewest_removesOnlyIt()
    {
        const QTemporaryDir parent;
        TestPlayImages images(parent.path());
        QString first;
        QString second;
        QVERIFY(images.add(u"a.sfc"_s, "1", first).isDone());
        QVERIFY(images.add(u"a.sfc"_s, "2", second).isDone());
        images.dropNewest();
        QCOMPARE(images.paths(), QStringList{first});
        QVERIFY(!QFileInfo::exists(QFileInfo(second).absolutePath()));
        QVERIFY(QFileInfo::exists(first));
    }

    void add_withoutATemporaryFolder_saysWhereAndLeavesNothing()
    {
        const QTemporaryDir parent;
        const QString missing = parent.filePath(u"ない"_s);
        TestPlayImages images(missing);
        QString path;
        const FileResult result = images.add(u"a.smc"_s, "1", path);
        QVERIFY(result.isFailed());
        QVERIFY2(result.message().contains(QDir::toNativeSeparators(missing)), qUtf8Printable(result.message()));
        QCOMPARE(path, QString());
        QCOMPARE(images.paths(), QStringList());
        QCOMPARE(foldersIn(parent.path()), QStringList());
    }
};

TAVRIN_TEST(TestPlayImagesTest)
#include "testplayimagestest.moc"
