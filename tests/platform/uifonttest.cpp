#include "testregistry.h"
#include "uifont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

using namespace Qt::StringLiterals;

class UiFontTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridFont_resolvesToFamilyWithJapaneseGlyphs_data()
    {
        QTest::addColumn<uint>("character");
        QTest::newRow("kanji") << uint(0x6B66);           // 武
        QTest::newRow("hiragana") << uint(0x3042);        // あ
        QTest::newRow("half-width kana") << uint(0xFF71); // ｱ
        QTest::newRow("full-width digit") << uint(0xFF10);
        QTest::newRow("latin") << uint('A');
    }

    void gridFont_resolvesToFamilyWithJapaneseGlyphs()
    {
        QFETCH(uint, character);
#ifdef Q_OS_WIN
        // Qt's offscreen platform on Windows reads no system fonts; the windows platform does.
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("the offscreen platform on Windows lists no Japanese fonts");
#endif
        const QString family = UiFont::resolvedFamily();
        QVERIFY2(QFontDatabase::families(QFontDatabase::Japanese).contains(family), qPrintable(family));
        // Without merging, the glyph must come from the resolved family itself, not a fallback.
        QFont exact(family, UiFont::PointSize);
        exact.setStyleStrategy(QFont::NoFontMerging);
        QVERIFY2(QFontMetrics(exact).inFontUcs4(character), qPrintable(family));
    }

    void gridFont_prefersMetricCompatibleFamily()
    {
        if (!QFontDatabase::hasFamily(u"IPAGothic"_s))
            QSKIP("IPAGothic is not installed here");
        QCOMPARE(UiFont::resolvedFamily(), u"IPAGothic"_s);
        QCOMPARE(UiFont::grid().pointSize(), 9);
        QCOMPARE(UiFont::substitutes().first(), u"IPAGothic"_s);
    }
};

TAVRIN_TEST(UiFontTest)
#include "uifonttest.moc"
