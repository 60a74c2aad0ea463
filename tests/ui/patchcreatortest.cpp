#include "cartridgechecksum.h"
#include "filebytes.h"
#include "filedialogchoice.h"
#include "../platform/modalcloser.h"
#include "diskfingerprint.h"
#include "document.h"
#include "editorstate.h"
#include "grid.h"
#include "patchcreator.h"
#include "patchfile.h"
#include "sampleimage.h"
#include "table.h"
#include "testregistry.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

// ファイル > "パッチを作成..." through the real dialogs: a patch of what a save would write, and each
// way the command ends without writing anything.
class PatchCreatorTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Document> m_document;
    QByteArray m_sample;
    QStringList m_titles;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Opens a copy of the sample as the document and changes officer 0's War to 95, unsaved.
    void openEdited(bool edit = true)
    {
        QVERIFY(m_document->open(path(u"image.smc"_s)).isDone());
        if (!edit)
            return;
        m_document->grid(TableId::Officer).setCurrentCell(1, 3);
        m_document->grid(TableId::Officer).setText(1, 3, u"95"_s);
        m_document->table(TableId::Officer).storeCell();
    }

    // Runs the command with `dialogs` answering the file dialogs in turn; returns the messages shown.
    QStringList run(const QList<std::function<void(QDialog*)>>& dialogs, QStringList* dialogTitles = nullptr)
    {
        ModalCloser closer;
        qsizetype next = 0;
        closer.onDialog = [&](QDialog* dialog) {
            if (next < dialogs.size())
                dialogs[next++](dialog);
            else
                dialog->reject();
        };
        PatchCreator(m_window.get(), *m_document).run();
        m_titles += closer.titles;
        if (dialogTitles)
            *dialogTitles = closer.dialogTitles;
        return closer.texts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A stale checksum, so that a fix alone changes the image.
        m_sample = SampleImage::generate();
        QVERIFY(CartridgeChecksum::putPair(m_sample, ImageForm::CopierHeader, QByteArray("\x12\x34\x56\x78", 4)));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeFileBytes(path(u"image.smc"_s), m_sample));
        QVERIFY(writeFileBytes(path(u"original.smc"_s), m_sample));
        m_window = std::make_unique<QWidget>();
        m_window->show();
        m_document = std::make_unique<Document>();
        m_document->setNameListPath(path(u"b.txt"_s));
        m_document->setUpGrids();
        m_titles.clear();
    }

    // Every message carries the application title.
    void cleanup()
    {
        for (const QString& title : std::as_const(m_titles))
            QCOMPARE(title, EditorState::applicationTitle());
    }

    void create_writesThePatchOfTheUnsavedEdit_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("fix"); // チェックサムを修正 chosen before the patch
        QTest::newRow("IPS, the first type") << QString() << u"edit.ips"_s << true << false;
        QTest::newRow("BPS chosen as the type") << u"BPS パッチ(*.bps)"_s << u"edit.bps"_s << true << false;
        QTest::newRow("an edit and the checksum fix") << QString() << u"edit.ips"_s << true << true;
        QTest::newRow("the checksum fix alone") << u"BPS パッチ(*.bps)"_s << u"edit.bps"_s << false << true;
    }

    void create_writesThePatchOfTheUnsavedEdit()
    {
        QFETCH(QString, type);
        QFETCH(QString, written);
        QFETCH(bool, edit);
        QFETCH(bool, fix);
        openEdited(edit);
        if (fix)
            m_document->setChecksumRequest(ChecksumRequest::fix());
        QStringList dialogs;
        const QStringList messages = run({[&](QDialog* d) { chooseInFileDialog(d, m_dir->path(), u"original.smc"_s); },
                                          [&](QDialog* d) { chooseInFileDialog(d, m_dir->path(), u"edit"_s, type); }},
                                         &dialogs);
        QCOMPARE(dialogs, (QStringList{u"元のイメージを選択"_s, u"パッチの保存先"_s}));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(u"パッチを作成しました"_s), qUtf8Printable(messages.first()));
        const QByteArray patch = readFileBytes(path(written));
        QVERIFY(messages.first().contains(QString::number(patch.size())));
        QByteArray expected = m_sample;
        if (edit)
            expected[0xA8226 + 7] = char(95);
        if (fix)
            QVERIFY(CartridgeChecksum::fix(expected, ImageForm::CopierHeader));
        const PatchOutcome applied = PatchFile::apply(m_sample, patch);
        QVERIFY2(applied.ok(), qUtf8Printable(applied.error));
        QCOMPARE(applied.bytes, expected);
        // The image itself is not saved by making a patch, and a save then writes what the patch gives.
        QCOMPARE(readFileBytes(path(u"image.smc"_s)), m_sample);
        QVERIFY(m_document->save(path(u"saved.smc"_s)).isDone());
        QCOMPARE(readFileBytes(path(u"saved.smc"_s)), applied.bytes);
    }

    void create_endsWithAMessageAndWritesNothing_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("message");
        QTest::newRow("no differences") << u"original.smc"_s << false << u"違いがありません"_s;
        QTest::newRow("original without a header") << u"bare.sfc"_s << true << u"形式が違います"_s;
        QTest::newRow("original too short") << u"short.smc"_s << true << u"短すぎます"_s;
    }

    void create_endsWithAMessageAndWritesNothing()
    {
        QFETCH(QString, original);
        QFETCH(bool, edit);
        QFETCH(QString, message);
        QVERIFY(writeFileBytes(path(u"bare.sfc"_s), m_sample.mid(0x200)));
        QVERIFY(writeFileBytes(path(u"short.smc"_s), m_sample.left(0xAF000)));
        openEdited(edit);
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        QStringList dialogs;
        const QStringList messages = run({[&](QDialog* d) { chooseInFileDialog(d, m_dir->path(), original); },
                                          [&](QDialog* d) { chooseInFileDialog(d, m_dir->path(), u"edit"_s); }},
                                         &dialogs);
        // The destination is never asked for.
        QCOMPARE(dialogs, QStringList{u"元のイメージを選択"_s});
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(message), qUtf8Printable(messages.first()));
        QVERIFY(messages.first().contains(u"パッチは作成しませんでした"_s));
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    void create_cancelled_saysNothingAndWritesNothing_data()
    {
        QTest::addColumn<int>("answered"); // dialogs answered before the cancel
        QTest::newRow("original cancelled") << 0;
        QTest::newRow("destination cancelled") << 1;
    }

    void create_cancelled_saysNothingAndWritesNothing()
    {
        QFETCH(int, answered);
        openEdited();
        const DiskFingerprint before = DiskFingerprint::of(m_dir->path());
        QList<std::function<void(QDialog*)>> dialogs{
            [&](QDialog* d) { chooseInFileDialog(d, m_dir->path(), u"original.smc"_s); }};
        const QStringList messages = run(dialogs.mid(0, answered));
        QCOMPARE(messages, QStringList());
        QCOMPARE(DiskFingerprint::of(m_dir->path()).changedSince(before), QStringList());
    }

    void create_withoutAnOpenImage_saysSoWithoutADialog()
    {
        QStringList dialogs;
        const QStringList messages = run({}, &dialogs);
        QCOMPARE(dialogs, QStringList());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(u"先に"_s));
    }
};

TAVRIN_TEST(PatchCreatorTest)
#include "patchcreatortest.moc"
