#include "filedialogs.h"
#include "modalcloser.h"
#include "savefiledialog.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> SmcFilter{{u"SMC ファイル(*.smc)"_s, u"*.smc"_s}};

const QList<FileFilter> TwoFilters{{u"SMC ファイル(*.smc)"_s, u"*.smc"_s}, {u"SFC ファイル(*.sfc)"_s, u"*.sfc"_s}};

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

// How the user confirms a name in the save dialog.
enum class Route
{
    Enter,
    SaveButton,
    DoubleClick,
};

// The save dialog shown over a folder that holds old.smc and old.sfc, its listing loaded and the keyboard
// in the name box, as the user meets it.
struct ShownSaveDialog
{
    explicit ShownSaveDialog(const QList<FileFilter>& filters) : dialog(nullptr, u"名前を付けて保存"_s, filters)
    {
        touch(dir.filePath(u"old.smc"_s));
        touch(dir.filePath(u"old.sfc"_s));
        dialog.setDirectory(dir.path());
        dialog.open();
        nameEdit = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
        list = dialog.findChild<QListView*>(u"listView"_s);
    }

    bool ready()
    {
        if (!QTest::qWaitForWindowActive(&dialog) || !nameEdit || !list)
            return false;
        // The listing fills in the background; a person sees the files before choosing.
        if (!QTest::qWaitFor([this] { return list->model()->rowCount(list->rootIndex()) > 0; }))
            return false;
        nameEdit->setFocus();
        return nameEdit->hasFocus();
    }

    QPushButton* saveButton() const
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isDefault())
                return button;
        return nullptr;
    }

    // The list entry of `name`, scrolled into view.
    QPoint entryCentre(const QString& name) const
    {
        const QAbstractItemModel* model = list->model();
        for (int r = 0; r < model->rowCount(list->rootIndex()); ++r) {
            const QModelIndex index = model->index(r, 0, list->rootIndex());
            if (index.data().toString() == name) {
                list->scrollTo(index);
                return list->visualRect(index).center();
            }
        }
        return {-1, -1};
    }

    QTemporaryDir dir;
    SaveFileDialog dialog;
    QLineEdit* nameEdit = nullptr;
    QListView* list = nullptr;
};

// A folder on a file system that ignores case in names.
bool ignoresCase(const QTemporaryDir& dir)
{
    return QFile::exists(dir.filePath(u"OLD.SMC"_s));
}

} // namespace

Q_DECLARE_METATYPE(Route)

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

    void saveDialog_asksAboutTheFileReallyWrittenWhateverTheRoute_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("typed"); // for a double-click: the entry clicked
        QTest::addColumn<int>("filter");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("asked");  // empty: no question
        QTest::addColumn<QString>("chosen"); // empty: the dialog stays open
        QTest::newRow("Enter, bare name, refused")
            << Route::Enter << u"old"_s << 0 << QMessageBox::No << u"old.smc"_s << QString();
        QTest::newRow("Enter, bare name, confirmed")
            << Route::Enter << u"old"_s << 0 << QMessageBox::Yes << u"old.smc"_s << u"old.smc"_s;
        QTest::newRow("Enter, full name, refused")
            << Route::Enter << u"old.smc"_s << 0 << QMessageBox::No << u"old.smc"_s << QString();
        QTest::newRow("Enter, new name") << Route::Enter << u"new"_s << 0 << QMessageBox::No << QString()
                                         << u"new.smc"_s;
        QTest::newRow("Enter, other case is another file here")
            << Route::Enter << u"OLD"_s << 0 << QMessageBox::No << QString() << u"OLD.smc"_s;
        QTest::newRow("Enter, second filter's extension")
            << Route::Enter << u"old"_s << 1 << QMessageBox::No << u"old.sfc"_s << QString();
        QTest::newRow("Save button, bare name, refused")
            << Route::SaveButton << u"old"_s << 0 << QMessageBox::No << u"old.smc"_s << QString();
        QTest::newRow("Save button, bare name, confirmed")
            << Route::SaveButton << u"old"_s << 0 << QMessageBox::Yes << u"old.smc"_s << u"old.smc"_s;
        QTest::newRow("double-click, refused")
            << Route::DoubleClick << u"old.smc"_s << 0 << QMessageBox::No << u"old.smc"_s << QString();
        QTest::newRow("double-click, confirmed")
            << Route::DoubleClick << u"old.smc"_s << 0 << QMessageBox::Yes << u"old.smc"_s << u"old.smc"_s;
    }

    void saveDialog_asksAboutTheFileReallyWrittenWhateverTheRoute()
    {
        QFETCH(Route, route);
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, asked);
        QFETCH(QString, chosen);
        ShownSaveDialog shown(filter == 0 ? SmcFilter : TwoFilters);
        if (filter > 0)
            shown.dialog.selectNameFilter(FileDialogs::nameFilter(TwoFilters.at(filter)));
        QVERIFY(shown.ready());
        if (typed == u"OLD"_s && ignoresCase(shown.dir))
            QSKIP("Names differing only in case are one file on this file system");
        if (route == Route::DoubleClick) {
            const QPoint at = shown.entryCentre(typed);
            QVERIFY(at.x() >= 0);
            QTest::mouseClick(shown.list->viewport(), Qt::LeftButton, {}, at);
            ModalCloser closer(answer, ModalCloser::LeaveDialogs);
            QTest::mouseDClick(shown.list->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(closer.texts.size(), asked.isEmpty() ? 0 : 1);
        } else {
            QTest::keyClicks(shown.nameEdit, typed);
            QCOMPARE(shown.nameEdit->text(), typed);
            ModalCloser closer(answer, ModalCloser::LeaveDialogs);
            if (route == Route::Enter)
                QTest::keyClick(shown.nameEdit, Qt::Key_Return);
            else
                QTest::mouseClick(shown.saveButton(), Qt::LeftButton);
            QCOMPARE(closer.texts.size(), asked.isEmpty() ? 0 : 1);
            if (!asked.isEmpty()) {
                QVERIFY2(closer.texts.first().contains(asked), qPrintable(closer.texts.first()));
                QStringList buttons = closer.buttons.first().split(u'|');
                buttons.sort();
                QCOMPARE(buttons, (QStringList{u"いいえ(&N)"_s, u"はい(&Y)"_s}));
            }
        }
        if (chosen.isEmpty()) {
            QVERIFY(shown.dialog.isVisible());
            QCOMPARE(shown.dialog.chosenPath(), QString());
            return;
        }
        QVERIFY(!shown.dialog.isVisible());
        QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(shown.dialog.chosenPath(), shown.dir.filePath(chosen));
    }

    void saveDialog_nameOfExistingFileInOtherCase_asksWhereCaseIsIgnored()
    {
        ShownSaveDialog shown(SmcFilter);
        QVERIFY(shown.ready());
        if (!ignoresCase(shown.dir))
            QSKIP("Names differing only in case are different files on this file system");
        QTest::keyClicks(shown.nameEdit, u"OLD"_s);
        ModalCloser closer(QMessageBox::No, ModalCloser::LeaveDialogs);
        QTest::keyClick(shown.nameEdit, Qt::Key_Return);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY(shown.dialog.isVisible());
    }

    void saveDialog_refusesNameOfFolder()
    {
        ShownSaveDialog shown(SmcFilter);
        QVERIFY(QDir(shown.dir.path()).mkdir(u"box.smc"_s));
        QVERIFY(shown.ready());
        // "box" gets the extension and names the folder: nothing can be written there.
        QTest::keyClicks(shown.nameEdit, u"box"_s);
        ModalCloser closer(QMessageBox::Ok, ModalCloser::LeaveDialogs);
        QTest::keyClick(shown.nameEdit, Qt::Key_Return);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY2(closer.texts.first().contains(u"box.smc"_s), qPrintable(closer.texts.first()));
        QVERIFY(shown.dialog.isVisible());
        QCOMPARE(shown.dialog.chosenPath(), QString());
    }

    void saveDialog_refusesNameInMissingFolder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("relative") << u"sub/x"_s;
        QTest::newRow("relative with extension") << u"sub/x.smc"_s;
        QTest::newRow("two levels") << u"sub/deeper/x"_s;
    }

    void saveDialog_refusesNameInMissingFolder()
    {
        QFETCH(QString, typed);
        ShownSaveDialog shown(SmcFilter);
        QVERIFY(shown.ready());
        QTest::keyClicks(shown.nameEdit, typed);
        ModalCloser closer(QMessageBox::Ok, ModalCloser::LeaveDialogs);
        QTest::keyClick(shown.nameEdit, Qt::Key_Return);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY2(closer.texts.first().contains(u"sub"_s), qPrintable(closer.texts.first()));
        QVERIFY(shown.dialog.isVisible());
        QCOMPARE(shown.dialog.chosenPath(), QString());
        QVERIFY(!QFile::exists(shown.dir.filePath(u"sub"_s)));
        // The same name is accepted once the folder is there.
        QVERIFY(QDir(shown.dir.path()).mkpath(QFileInfo(typed).path()));
        QTest::keyClick(shown.nameEdit, Qt::Key_Return);
        QVERIFY(!shown.dialog.isVisible());
        QCOMPARE(shown.dialog.chosenPath(), FileDialogs::withExtension(shown.dir.filePath(typed), u"*.smc"_s));
    }
};

TAVRIN_TEST(FileDialogsTest)
#include "filedialogstest.moc"
