#include "builtfile.h"
#include "filebytes.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Generous: the child only opens one small image, but a sanitizer build is slow.
constexpr int ChildTimeoutMs = 120'000;

// The saving child, started on `image` with `destination`, optionally told to stop at `step`.
struct Child
{
    QProcess process;

    void start(const QString& image, const QString& destination, const QString& step)
    {
        QStringList args{image, destination};
        if (!step.isEmpty())
            args << step;
        process.setProgram(builtFile(TAVRIN_SAVECHILD));
        process.setArguments(args);
        process.start();
    }

    // Waits for the child to announce that it has stopped at its step.
    bool waitUntilStopped()
    {
        QByteArray out;
        while (!out.contains("stopped\n")) {
            if (process.state() == QProcess::NotRunning)
                return false;
            if (!process.waitForReadyRead(ChildTimeoutMs))
                return false;
            out += process.readAllStandardOutput();
        }
        return true;
    }
};

} // namespace

// Kills a saving process at several points of the save and shows that the destination is always the
// whole old file or the whole new one, never a mix, and that nothing is left beside it.
class SaveCrashTest : public QObject
{
    Q_OBJECT

    QByteArray m_sample;
    QByteArray m_saved; // what an uninterrupted save of the sample writes

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFile::exists(builtFile(TAVRIN_SAVECHILD)))
            QFAIL("the saving child was not built");
        m_sample = SampleImage::generate();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString image = dir.filePath(u"image.smc"_s);
        QVERIFY(SampleImage::write(image));
        Child child;
        child.start(image, dir.filePath(u"saved.smc"_s), QString());
        QVERIFY(child.process.waitForFinished(ChildTimeoutMs));
        QVERIFY2(child.process.exitStatus() == QProcess::NormalExit && child.process.exitCode() == 0,
                 child.process.readAllStandardError().constData());
        m_saved = readFileBytes(dir.filePath(u"saved.smc"_s));
        QCOMPARE(m_saved.size(), m_sample.size());
        QVERIFY(m_saved != m_sample);
        QCOMPARE(readFileBytes(image), m_sample);
    }

    void killedDuringSave_leavesOldOrNewFileWhole_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("replaced");
        const QList<std::pair<QString, bool>> steps{
            {u"opened"_s, false}, {u"chunk"_s, false}, {u"written"_s, false}, {u"replaced"_s, true}};
        for (const auto& [step, replaced] : steps) {
            QTest::addRow("in place, %s", qPrintable(step)) << step << u"in place"_s << replaced;
            QTest::addRow("over another file, %s", qPrintable(step)) << step << u"other file"_s << replaced;
            QTest::addRow("new file, %s", qPrintable(step)) << step << u"new file"_s << replaced;
        }
    }

    void killedDuringSave_leavesOldOrNewFileWhole()
    {
        QFETCH(QString, step);
        QFETCH(QString, target);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString image = dir.filePath(u"image.smc"_s);
        QVERIFY(SampleImage::write(image));
        QString destination = image;
        QByteArray old = m_sample;
        if (target == u"other file"_s) {
            destination = dir.filePath(u"other.smc"_s);
            old = QByteArray(3000, 'o');
            QVERIFY(writeFileBytes(destination, old));
        } else if (target == u"new file"_s) {
            destination = dir.filePath(u"new.smc"_s);
            old.clear();
        }
        QStringList before = entries(dir.path());

        Child child;
        child.start(image, destination, step);
        QVERIFY2(child.waitUntilStopped(), child.process.readAllStandardError().constData());
        child.process.kill();
        QVERIFY(child.process.waitForFinished(ChildTimeoutMs));
        QCOMPARE(child.process.exitStatus(), QProcess::CrashExit);

        const QByteArray after = readFileBytes(destination);
        if (replaced) {
            QVERIFY2(after == m_saved, "the destination is not the new file");
        } else {
            QCOMPARE(QFile::exists(destination), target != u"new file"_s);
            QVERIFY2(after == old, "the destination is not the old file");
        }
        if (destination != image)
            QCOMPARE(readFileBytes(image), m_sample);
        // A temporary file left beside the image would puzzle the user; the new name, once the
        // replace is done, is the only entry the save may add.
        if (replaced && target == u"new file"_s)
            before << u"new.smc"_s;
        before.sort();
        QCOMPARE(entries(dir.path()), before);
    }
};

TAVRIN_TEST(SaveCrashTest)
#include "savecrashtest.moc"
