#include "filebytes.h"
#include "qttranslation.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QtTranslation::Source)

// Qt's Japanese translation, from the system or built in, holds the texts the program shows.
class QtTranslationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_holdsQtsTextsInJapanese_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QtTranslation::Source>("source");
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("japanese");
        const QList<std::tuple<const char*, const char*, QString>> texts{
            {"QCommandLineParser", "Options:", u"オプション:"_s},
            {"QCommandLineParser", "Arguments:", u"引数:"_s},
            {"QCommandLineParser", "Unknown option '%1'.", u"'%1' は未知のオプションです。"_s},
            {"QPlatformTheme", "Cancel", u"キャンセル"_s},
            {"QPlatformTheme", "&Yes", u"はい(&Y)"_s},
            {"QPlatformTheme", "Open", u"開く"_s},
            {"QFileDialog", "File &name:", u"ファイル名(&N):"_s},
            {"QFileDialog", "Files of type:", u"ファイルの種類:"_s},
            {"QLineEdit", "&Paste", u"貼り付け(&P)"_s},
        };
        for (const auto& [context, text, japanese] : texts) {
            QTest::addRow("system: %s", text) << QtTranslation::systemFolder() << QtTranslation::Source::System
                                              << QByteArray(context) << QByteArray(text) << japanese;
            // A folder without the file, as on Windows: the copy built into the program.
            QTest::addRow("built in: %s", text)
                << QString() << QtTranslation::Source::BuiltIn << QByteArray(context) << QByteArray(text) << japanese;
        }
    }

    void load_holdsQtsTextsInJapanese()
    {
        QFETCH(QString, folder);
        QFETCH(QtTranslation::Source, source);
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, text);
        QFETCH(QString, japanese);
#ifdef Q_OS_WIN
        if (source == QtTranslation::Source::System
            && !QFile::exists(QDir(folder).filePath(QtTranslation::fileName())))
            QSKIP("the static Qt for Windows has no translations folder; the built-in rows test what serves there");
#endif
        QTemporaryDir empty;
        QtTranslation::Source used = QtTranslation::Source::None;
        const std::unique_ptr<QTranslator> translator =
            QtTranslation::load(folder.isEmpty() ? empty.path() : folder, &used);
        QVERIFY(translator);
        QCOMPARE(used, source);
        QCOMPARE(translator->translate(context.constData(), text.constData()), japanese);
    }

    void load_damagedSystemFile_fallsBackToTheBuiltInCopy()
    {
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath(QtTranslation::fileName()), "not a catalogue"));
        QtTranslation::Source used = QtTranslation::Source::None;
        const std::unique_ptr<QTranslator> translator = QtTranslation::load(dir.path(), &used);
        QVERIFY(translator);
        QCOMPARE(used, QtTranslation::Source::BuiltIn);
        QCOMPARE(translator->translate("QCommandLineParser", "Options:"), u"オプション:"_s);
    }
};

TAVRIN_TEST(QtTranslationTest)
#include "qttranslationtest.moc"
