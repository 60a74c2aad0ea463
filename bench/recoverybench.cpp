#include "editsession.h"
#include "frmmain.h"
#include "grid.h"
#include "officertable.h"
#include "recoverykeeper.h"
#include "sampleimage.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// One write of the recovery file after an edit of the 1 MiB sample, through the real window's keeper:
// the state taken from the document (the changed cells counted in every grid) and serialized on the
// window's thread, which must stay under a keystroke's budget (5 ms); then written whole to a
// temporary file, synced and renamed on the writer's thread, which the second figure adds.
class RecoveryBench : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_window;

private Q_SLOTS:
    void initTestCase()
    {
        // The recovery folder of test mode, never this user's application data.
        QStandardPaths::setTestModeEnabled(true);
        const QString sample = m_dir.filePath(u"sample.smc"_s);
        QVERIFY(SampleImage::write(sample));
        m_window = std::make_unique<frmMain>(QStringList{u"tavrin-editor"_s, sample});
        Grid& grid = m_window->document().grid(TableId::Officer);
        m_window->session().record(TableId::Officer, u"bench"_s, [&] {
            grid.setCurrentCell(10, 3);
            grid.setText(10, 3, u"1"_s);
            m_window->document().officers().storeCell();
        });
    }

    void cleanupTestCase()
    {
        m_window->recovery().finish();
        m_window.reset();
    }

    void writeAfterAnEdit()
    {
        RecoveryKeeper& keeper = m_window->recovery();
        QBENCHMARK
        {
            keeper.writeNow();
        }
        keeper.waitUntilWritten();
        QVERIFY(QFile::exists(keeper.filePath()));
    }

    void writeAfterAnEditToTheDisk()
    {
        RecoveryKeeper& keeper = m_window->recovery();
        QBENCHMARK
        {
            keeper.writeNow();
            keeper.waitUntilWritten();
        }
    }
};

QTEST_MAIN(RecoveryBench)
#include "recoverybench.moc"
