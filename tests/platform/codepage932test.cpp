#include "codepage932.h"
#include "testregistry.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString codePoints(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t u : units)
        text += QChar(u);
    return text;
}

bool allHalfWidthKatakana(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() < 0xFF61 || c.unicode() > 0xFF9F)
            return false;
    return !text.isEmpty();
}

// Kana that have no half-width letter at all (small wa, wi, we, small ka and ke, voiced wi and we).
const QSet<char16_t> KanaWithoutHalfWidth{0x30EE, 0x30F0, 0x30F1, 0x30F5, 0x30F6, 0x30F8, 0x30F9};

} // namespace

class CodePage932Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByte_roundTripsThroughOneDistinctCharacter()
    {
        QSet<char16_t> seen;
        for (int b = 0; b <= 255; ++b) {
            const QChar c = CodePage932::byteToChar(static_cast<std::uint8_t>(b));
            QVERIFY2(!seen.contains(c.unicode()), qPrintable(u"byte %1 shares its character"_s.arg(b)));
            seen.insert(c.unicode());
            QCOMPARE(CodePage932::charToByte(c), std::optional<std::uint8_t>(static_cast<std::uint8_t>(b)));
        }
    }

    void bytesToText_oneCharacterPerByte()
    {
        QByteArray bytes;
        for (int b = 0; b <= 255; ++b)
            bytes += static_cast<char>(b);
        const QString text = CodePage932::bytesToText(bytes);
        QCOMPARE(text.size(), 256);
        QVERIFY(CodePage932::isSingleByteText(text));
        for (int b = 0; b <= 255; ++b)
            QCOMPARE(*CodePage932::charToByte(text[b]), static_cast<std::uint8_t>(b));
    }

    void byteToChar_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("codePoint");
        QTest::newRow("nul") << 0x00 << 0x0000;
        QTest::newRow("A") << 0x41 << 0x0041;
        QTest::newRow("backslash") << 0x5C << 0x005C;
        QTest::newRow("tilde") << 0x7E << 0x007E;
        QTest::newRow("half-width full stop") << 0xA1 << 0xFF61;
        QTest::newRow("half-width small a") << 0xA7 << 0xFF67;
        QTest::newRow("half-width prolonged mark") << 0xB0 << 0xFF70;
        QTest::newRow("half-width a") << 0xB1 << 0xFF71;
        QTest::newRow("voiced mark") << 0xDE << 0xFF9E;
        QTest::newRow("semi-voiced mark") << 0xDF << 0xFF9F;
    }

    void byteToChar()
    {
        QFETCH(int, byte);
        QFETCH(int, codePoint);
        QCOMPARE(int(CodePage932::byteToChar(static_cast<std::uint8_t>(byte)).unicode()), codePoint);
    }

    void bytesWithoutSingleByteCharacter_showAsPrivateUse_data()
    {
        QTest::addColumn<int>("byte");
        for (const int b : {0x80, 0x81, 0x9F, 0xA0, 0xE0, 0xFC, 0xFD, 0xFF})
            QTest::newRow(qPrintable(u"0x%1"_s.arg(b, 2, 16))) << b;
    }

    void bytesWithoutSingleByteCharacter_showAsPrivateUse()
    {
        QFETCH(int, byte);
        const QChar c = CodePage932::byteToChar(static_cast<std::uint8_t>(byte));
        QCOMPARE(c.category(), QChar::Other_PrivateUse);
        QCOMPARE(int(c.unicode()), CodePage932::PrivateUseBase + byte);
    }

    void charToByte_refusesCharactersWithoutSingleByteCode_data()
    {
        QTest::addColumn<int>("codePoint");
        QTest::newRow("hiragana a") << 0x3042;
        QTest::newRow("full-width katakana a") << 0x30A2;
        QTest::newRow("kanji") << 0x95A2;
        QTest::newRow("latin e acute") << 0x00E9;
        QTest::newRow("full-width A") << 0xFF21;
        QTest::newRow("just below half-width block") << 0xFF60;
        QTest::newRow("just above half-width block") << 0xFFA0;
        // Stand-ins are only those that no real character of the page already holds.
        QTest::newRow("stand-in for half-width a") << CodePage932::PrivateUseBase + 0xB1;
        QTest::newRow("stand-in for A") << CodePage932::PrivateUseBase + 0x41;
        QTest::newRow("private use before the stand-ins") << CodePage932::PrivateUseBase + 0x7F;
    }

    void charToByte_refusesCharactersWithoutSingleByteCode()
    {
        QFETCH(int, codePoint);
        QVERIFY(!CodePage932::charToByte(QChar(char16_t(codePoint))));
        QVERIFY(!CodePage932::isSingleByteText(u"AB"_s + QChar(char16_t(codePoint))));
    }

    void toHalfWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("voiced ga") << u"ガ"_s << codePoints({0xFF76, 0xFF9E});
        QTest::newRow("semi-voiced pa") << u"パ"_s << codePoints({0xFF8A, 0xFF9F});
        QTest::newRow("vu") << u"ヴ"_s << codePoints({0xFF73, 0xFF9E});
        QTest::newRow("small tsu") << u"ッ"_s << codePoints({0xFF6F});
        QTest::newRow("small ya yu yo") << u"ャュョ"_s << codePoints({0xFF6C, 0xFF6D, 0xFF6E});
        QTest::newRow("prolonged mark") << u"ー"_s << codePoints({0xFF70});
        QTest::newRow("punctuation") << u"。「」、・"_s << codePoints({0xFF61, 0xFF62, 0xFF63, 0xFF64, 0xFF65});
        QTest::newRow("spacing voicing marks") << u"゛゜"_s << codePoints({0xFF9E, 0xFF9F});
        QTest::newRow("combining voiced mark") << u"カ\u3099"_s << codePoints({0xFF76, 0xFF9E});
        QTest::newRow("katakana word") << u"ソウソウ"_s << codePoints({0xFF7F, 0xFF73, 0xFF7F, 0xFF73});
        QTest::newRow("hiragana via katakana") << u"がっこう"_s << codePoints({0xFF76, 0xFF9E, 0xFF6F, 0xFF7A, 0xFF73});
        QTest::newRow("hiragana vu") << u"ゔ"_s << codePoints({0xFF73, 0xFF9E});
        QTest::newRow("full-width ascii") << u"ＡＢｃ１２！～"_s << u"ABc12!~"_s;
        QTest::newRow("ideographic space") << u"ア\u3000イ"_s << codePoints({0xFF71, 0x20, 0xFF72});
        QTest::newRow("already half-width") << u"ｱA1"_s << u"ｱA1"_s;
        QTest::newRow("kanji stays") << u"関ウ"_s << QString(u"関"_s + QChar(char16_t(0xFF73)));
        QTest::newRow("no half-width small ka") << u"ヵ"_s << u"ヵ"_s;
        QTest::newRow("no half-width wi") << u"ヰ"_s << u"ヰ"_s;
        QTest::newRow("voiced wi stays whole") << u"ヸ"_s << u"ヸ"_s;
        QTest::newRow("iteration mark stays") << u"ゝ"_s << u"ゝ"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void toHalfWidth()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(CodePage932::toHalfWidth(text), expected);
    }

    // Compatibility composition undoes the half-width form, which checks every kana of the table
    // against an independent source.
    void toHalfWidth_everyKatakanaComposesBack()
    {
        for (char16_t u = 0x30A1; u <= 0x30FC; ++u) {
            const QString kana(QChar{u});
            const QString half = CodePage932::toHalfWidth(kana);
            if (KanaWithoutHalfWidth.contains(u)) {
                QCOMPARE(half, kana);
                continue;
            }
            QVERIFY2(allHalfWidthKatakana(half), qPrintable(kana));
            QVERIFY(half.size() <= 2);
            QCOMPARE(half.normalized(QString::NormalizationForm_KC), kana);
        }
    }

    void toHalfWidth_everyHiraganaConvertsLikeItsKatakana()
    {
        for (char16_t u = 0x3041; u <= 0x3096; ++u) {
            const QString hiragana(QChar{u});
            const char16_t katakana = u + 0x60;
            // Without a half-width form the character stays what was typed, not its katakana.
            const QString expected =
                KanaWithoutHalfWidth.contains(katakana) ? hiragana : CodePage932::toHalfWidth(QString(QChar{katakana}));
            QCOMPARE(CodePage932::toHalfWidth(hiragana), expected);
            if (!KanaWithoutHalfWidth.contains(katakana))
                QVERIFY(allHalfWidthKatakana(expected));
        }
    }

    void toHalfWidth_everyFullWidthAsciiBecomesAscii()
    {
        for (char16_t u = 0xFF01; u <= 0xFF5E; ++u) {
            const QString half = CodePage932::toHalfWidth(QString(QChar{u}));
            QCOMPARE(half.size(), 1);
            QVERIFY(half[0].unicode() > 0x20 && half[0].unicode() < 0x7F);
            QCOMPARE(half, QString(QChar{u}).normalized(QString::NormalizationForm_KC));
        }
    }
};

TAVRIN_TEST(CodePage932Test)
#include "codepage932test.moc"
