#include "filedialogs.h"
#include "modalcloser.h"
#include "savefiledialog.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> SmcFilter{{u"SMC ファイル(*.smc)"_s, u"*.smc"_s}};

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

} // namespace

class FileDialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void patternExtension_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("extension");
        QTest::newRow("smc") << u"*.smc"_s << u"smc"_s;
        QTest::newRow("any") << u"*.*"_s << u"*"_s;
        QTest::newRow("last dot") << u"*.tar.gz"_s << u"gz"_s;
        QTest::newRow("no dot") << u"*"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void patternExtension()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, extension);
        QCOMPARE(FileDialogs::PatternExtension(pattern), extension);
    }

    void withExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << u"a"_s << u"*.smc"_s << u"a.smc"_s;
        QTest::newRow("already smc") << u"a.smc"_s << u"*.smc"_s << u"a.smc"_s;
        QTest::newRow("upper case is another extension") << u"a.SMC"_s << u"*.smc"_s << u"a.SMC.smc"_s;
        QTest::newRow("other extension") << u"/d/a.txt"_s << u"*.smc"_s << u"/d/a.txt.smc"_s;
        QTest::newRow("ends in smc without dot") << u"asmc"_s << u"*.smc"_s << u"asmc.smc"_s;
        QTest::newRow("any pattern adds nothing") << u"a"_s << u"*.*"_s << u"a"_s;
        QTest::newRow("pattern without dot") << u"a"_s << u"*"_s << u"a."_s;
    }

    void withExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, pattern);
        QFETCH(QString, saved);
        QCOMPARE(FileDialogs::withExtension(path, pattern), saved);
    }

    void nameFilter_keepsDescriptionThatNamesItsPattern()
    {
        QCOMPARE(FileDialogs::nameFilter(SmcFilter.first()), u"SMC ファイル(*.smc)"_s);
        QCOMPARE(FileDialogs::nameFilter({u"画像"_s, u"*.png"_s}), u"画像 (*.png)"_s);
    }

    void saveDialog_asksBeforeReplacingTheFileReallyWritten_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("chosen"); // empty: the dialog stays open
        QTest::newRow("new name") << u"new"_s << false << QMessageBox::No << u"new.smc"_s;
        QTest::newRow("existing, typed bare, refused") << u"old"_s << true << QMessageBox::No << QString();
        QTest::newRow("existing, typed bare, confirmed") << u"old"_s << true << QMessageBox::Yes << u"old.smc"_s;
        QTest::newRow("existing, typed full, refused") << u"old.smc"_s << true << QMessageBox::No << QString();
    }

    void saveDialog_asksBeforeReplacingTheFileReallyWritten()
    {
        QFETCH(QString, typed);
        QFETCH(bool, existing);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(touch(dir.filePath(u"old.smc"_s)));
        SaveFileDialog dialog(nullptr, u"名前を付けて保存"_s, SmcFilter);
        dialog.setDirectory(dir.path());
        dialog.selectFile(typed);
        dialog.open();
        ModalCloser closer(answer);
        dialog.accept();
        QCOMPARE(closer.texts.size(), existing ? 1 : 0);
        if (chosen.isEmpty()) {
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            return;
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenPath(), dir.filePath(chosen));
    }
};

TAVRIN_TEST(FileDialogsTest)
#include "filedialogstest.moc"
