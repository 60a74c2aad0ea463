#include "../platform/modalcloser.h"
#include "editorsession.h"
#include "qttranslation.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

QStringList buttonTexts(const QDialogButtonBox* box)
{
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts << button->text();
    texts.sort();
    return texts;
}

} // namespace

// Qt's own dialogs and buttons in the window speak Japanese once the program's translation is in.
class QtTranslationWindowTest : public QObject
{
    Q_OBJECT

    QTranslator* m_translator = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        // As the editor's start does, before any widget is made.
        // The system's copy where Qt has one (Debian); the static Qt for Windows has none.
        const bool systemHasIt =
            QFile::exists(QDir(QtTranslation::systemFolder()).filePath(QtTranslation::fileName()));
        QCOMPARE(QtTranslation::install(*QCoreApplication::instance()),
                 systemHasIt ? QtTranslation::Source::System : QtTranslation::Source::BuiltIn);
        m_translator = QCoreApplication::instance()->findChild<QTranslator*>();
        QVERIFY(m_translator);
    }

    void cleanupTestCase()
    {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
    }

    void standardButtons_areJapanese_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("yes no cancel") << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                                       << QStringList{u"いいえ(&N)"_s, u"キャンセル"_s, u"はい(&Y)"_s};
        QTest::newRow("ok cancel") << int(QMessageBox::Ok | QMessageBox::Cancel)
                                   << QStringList{u"OK"_s, u"キャンセル"_s};
        QTest::newRow("save discard") << int(QMessageBox::Save | QMessageBox::Discard)
                                      << QStringList{u"保存"_s, u"変更を破棄"_s};
    }

    void standardButtons_areJapanese()
    {
        QFETCH(int, buttons);
        QFETCH(QStringList, texts);
        QMessageBox box(QMessageBox::Question, u"Tavrinエディター"_s, u"確認"_s, QMessageBox::StandardButtons(buttons));
        const auto* buttonBox = box.findChild<QDialogButtonBox*>();
        QVERIFY(buttonBox);
        texts.sort();
        QCOMPARE(buttonTexts(buttonBox), texts);
    }

    void openDialog_fromTheFileMenu_isJapanese()
    {
        EditorSession session(false);
        QVERIFY(session.active);
        QStringList labels;
        QStringList buttons;
        ModalCloser closer;
        closer.onDialog = [&](QDialog* dialog) {
            QVERIFY(qobject_cast<QFileDialog*>(dialog));
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    labels << label->text();
            buttons = buttonTexts(dialog->findChild<QDialogButtonBox*>());
            if (qEnvironmentVariableIsSet("TAVRIN_SCREENSHOTS"))
                dialog->grab().save(qEnvironmentVariable("TAVRIN_SCREENSHOTS") + u"/open-dialog.png"_s);
            dialog->reject();
        };
        EditorSession::press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(closer.dialogTitles, QStringList{u"ファイルを開く"_s});
        QVERIFY2(labels.contains(u"ファイル名(&N):"_s), qPrintable(labels.join(u'|')));
        QVERIFY2(labels.contains(u"ファイルの種類:"_s), qPrintable(labels.join(u'|')));
        QStringList expected{u"開く(&O)"_s, u"キャンセル"_s};
        expected.sort();
        QCOMPARE(buttons, expected);
    }
};

TAVRIN_TEST(QtTranslationWindowTest)
#include "qttranslationwindowtest.moc"
