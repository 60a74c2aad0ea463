#include "comparebar.h"
#include "comparecommands.h"
#include "comparison.h"
#include "editsession.h"
#include "frmmain.h"
#include "gridview.h"
#include "imagemerge.h"
#include "mergecommands.h"
#include "officertable.h"
#include "sampleimage.h"
#include "subcommand.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// Merging three 1 MiB images: THEIRS changed every officer's 武力, every other city's 人口, a placement
// field of every record and every 64th byte outside the tables; OURS changed every tenth officer's 武力
// differently (conflicts) and every 64th byte outside, other ones than THEIRS. The merge itself, once the files are
// read, must take less than 100 ms on the command line; in the window, the merge with its undo step, the marks of the
// conflicts and the drawing less than 100 ms as well.
class MergeBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_base;
    QByteArray m_ours;
    QByteArray m_theirs;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The median of `runs` timings of `step`, each after `before` (not timed).
    static double medianMs(int runs, const std::function<void()>& step, const std::function<void()>& before = {})
    {
        std::vector<double> ms;
        for (int k = 0; k < runs; ++k) {
            if (before)
                before();
            QElapsedTimer timer;
            timer.start();
            step();
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_base = SampleImage::generate();
        m_ours = m_base;
        m_theirs = m_base;
        const qint64 officers = blockSpec(BlockId::Officer).position;
        for (int n = 0; n < OfficerTable::RecordCount; ++n) {
            m_theirs[officers + n * OfficerTable::RecordSize + 7] ^= 0x01;
            if (n % 10 == 0)
                m_ours[officers + n * OfficerTable::RecordSize + 7] ^= 0x02;
        }
        for (int n = 0; n < 276; n += 2)
            m_theirs[blockSpec(BlockId::City).position + n * 30 + 2] ^= 0x01;
        for (int n = 0; n < 531; ++n)
            m_theirs[blockSpec(BlockId::Placement).position + 2124 + n * 4 + 2] ^= 0x01;
        for (qint64 at = 0x200; at < 0x8000; at += 64)
            m_theirs[at] ^= 0x40;
        for (qint64 at = 0x10000; at < 0xA0000; at += 64)
            m_theirs[at] ^= 0x40;
        for (qint64 at = 0x10020; at < 0xA0000; at += 64)
            m_ours[at] ^= 0x20;
        QVERIFY(writeFile(path(u"base.smc"_s), m_base));
        QVERIFY(writeFile(path(u"ours.smc"_s), m_ours));
        QVERIFY(writeFile(path(u"theirs.smc"_s), m_theirs));
    }

    // The rule over three images in memory: what the command line does after reading the files.
    void mergeImages()
    {
        MergeOutcome out;
        const double ms = medianMs(20, [&] { out = ImageMerge::mergeImages(m_base, m_ours, m_theirs); });
        qInfo("mergeImages: %.2f ms (median of 20), %s", ms, qUtf8Printable(ImageMerge::summary(out)));
        QCOMPARE(out.conflicts.size(), 54);
    }

    // `tavrin merge` whole: three files read, merged, the result written, the lines printed.
    void commandLine()
    {
        const double ms = medianMs(10, [&] {
            QString text;
            QTextStream out(&text);
            QTextStream err(&text);
            cli::runCommandLine({u"tavrin"_s, u"merge"_s, path(u"base.smc"_s), path(u"ours.smc"_s),
                                 path(u"theirs.smc"_s), u"-o"_s, path(u"out.smc"_s)},
                                out, err);
        });
        qInfo("tavrin merge (read, merge, write): %.2f ms (median of 10)", ms);
    }

    // ファイル > マージ... after its dialogs: both files read, the merge recorded as one step, the
    // comparison of the conflicts opened and the officer grid drawn. Undone between runs.
    void window()
    {
        frmMain window(QStringList{u"tavrin-editor"_s, path(u"ours.smc"_s)});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QUndoStack& undo = window.session().undoStack();
        const double ms = medianMs(
            10,
            [&] {
                window.mergeCommands().mergeWith(path(u"base.smc"_s), path(u"theirs.smc"_s));
                window.visibleView()->viewport()->repaint();
            },
            [&] {
                window.compareCommands().end();
                while (undo.canUndo())
                    undo.undo();
            });
        qInfo("window merge with marks: %.2f ms (median of 10), %s", ms,
              qUtf8Printable(window.compareCommands().bar().summary()));
        QCOMPARE(window.compareCommands().comparison()->total(), 54);
    }
};

QTEST_MAIN(MergeBench)
#include "mergebench.moc"
