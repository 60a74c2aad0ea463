#include "codecs.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace codecs;

class CodecsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hexByteText_alwaysTwoUpperCaseDigits()
    {
        QCOMPARE(HexByteText(0), u"00"_s);
        QCOMPARE(HexByteText(10), u"0A"_s);
        QCOMPARE(HexByteText(255), u"FF"_s);
        QCOMPARE(PadToTwo(QString()), QString());
        QCOMPARE(PadToTwo(u"abc"_s), u"abc"_s);
        QCOMPARE(PadToTwo(u"7"_s), u"07"_s);
    }

    void parseHexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("lower") << u"ff"_s << 255;
        QTest::newRow("leading zero") << u"0A"_s << 10;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("not hex") << u"G1"_s << 0;
        QTest::newRow("nine digits") << u"123456789"_s << 0;
        QTest::newRow("eight digits") << u"7FFFFFFF"_s << 0x7FFFFFFF;
        QTest::newRow("sign is not hex") << u"-1"_s << 0;
    }

    void parseHexText()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(ParseHexText(text), value);
    }

    void nibbles_packAndSplit()
    {
        QCOMPARE(PackNibbles(7, 0), std::optional<std::uint8_t>(0x70));
        QCOMPARE(PackNibbles(3, 20), std::optional<std::uint8_t>(0x34));
        QVERIFY(!PackNibbles(16, 0));
        QVERIFY(!PackNibbles(-1, 0));
        QCOMPARE(HighNibble(0xA5), 10);
        QCOMPARE(LowNibble(0xA5), 5);
    }

    void littleEndianValue_lowByteFirst()
    {
        QCOMPARE(LittleEndianValue(0x34, 0x12, 0, 0), 4660);
        QCOMPARE(LittleEndianValue(0xFF, 0xFF, 0, 0), 65535);
    }

    void decimalToByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: conversion failure
        QTest::newRow("zero") << u"0"_s << 0;
        QTest::newRow("max") << u"255"_s << 255;
        QTest::newRow("too big") << u"256"_s << -1;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("half to even down") << u"2.5"_s << 2;
        QTest::newRow("half to even up") << u"3.5"_s << 4;
        QTest::newRow("rounds into range") << u"255.4"_s << 255;
        QTest::newRow("rounds out of range") << u"255.5"_s << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("letters") << u"1a"_s << -1;
    }

    void decimalToByte()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        const std::optional<std::uint8_t> byte = DecimalToByte(text);
        QCOMPARE(byte.has_value(), value >= 0);
        if (byte)
            QCOMPARE(int(*byte), value);
    }

    void textToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::newRow("spaces around") << u" 12 "_s << true << 12.0;
        QTest::newRow("negative") << u"-3"_s << true << -3.0;
        QTest::newRow("fraction") << u"2.5"_s << true << 2.5;
        QTest::newRow("leading point") << u".5"_s << true << 0.5;
        QTest::newRow("plus") << u"+7"_s << true << 7.0;
        QTest::newRow("digit then letter") << u"1a"_s << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("blank") << u"   "_s << false << 0.0;
        QTest::newRow("two numbers") << u"1 2"_s << false << 0.0;
        QTest::newRow("lone sign") << u"-"_s << false << 0.0;
        QTest::newRow("lone point") << u"."_s << false << 0.0;
        QTest::newRow("exponent") << u"1e3"_s << false << 0.0;
        QTest::newRow("hex prefix") << u"0x10"_s << false << 0.0;
        QTest::newRow("full-width digits") << u"１２"_s << false << 0.0;
        QTest::newRow("nan") << u"nan"_s << false << 0.0;
        QTest::newRow("inf") << u"inf"_s << false << 0.0;
    }

    void textToNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const std::optional<double> number = TextToNumber(text);
        QCOMPARE(number.has_value(), isNumber);
        if (number)
            QCOMPARE(*number, value);
    }

    void isHexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::newRow("mixed case") << u"0a0B0c0D0e0F"_s << true;
        QTest::newRow("00FF") << u"00FF"_s << true;
        QTest::newRow("Z") << u"1A2Z"_s << false;
        QTest::newRow("g") << u"abg"_s << false;
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("full-width A") << u"Ａ"_s << false;
    }

    void isHexText()
    {
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QCOMPARE(IsHexText(text), hex);
    }

    void checkNumberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QString>("expected"); // null: refused
        QTest::newRow("within") << u"95"_s << 255 << u"95"_s;
        QTest::newRow("capped") << u"300"_s << 255 << u"255"_s;
        QTest::newRow("cap itself") << u"15"_s << 15 << u"15"_s;
        QTest::newRow("fraction above cap compares unrounded") << u"15.2"_s << 15 << u"15"_s;
        QTest::newRow("fraction rounds half to even") << u"2.5"_s << 255 << u"2"_s;
        QTest::newRow("spaces") << u" 7 "_s << 255 << u"7"_s;
        QTest::newRow("negative refused") << u"-1"_s << 255 << QString();
        QTest::newRow("negative fraction refused") << u"-0.4"_s << 255 << QString();
        QTest::newRow("empty refused") << QString() << 255 << QString();
        QTest::newRow("letters refused") << u"1a"_s << 255 << QString();
    }

    void checkNumberText()
    {
        QFETCH(QString, text);
        QFETCH(int, cap);
        QFETCH(QString, expected);
        const std::optional<QString> result = CheckNumberText(text, cap);
        QCOMPARE(result.has_value(), !expected.isNull());
        if (result)
            QCOMPARE(*result, expected);
    }

    void checkNumberText_replacesAboveCapWithItsOwnText()
    {
        QCOMPARE(CheckNumberText(u"532"_s, 531, u"65535"_s), std::optional<QString>(u"65535"_s));
        QCOMPARE(CheckNumberText(u"531"_s, 531, u"65535"_s), std::optional<QString>(u"531"_s));
    }
};

TAVRIN_TEST(CodecsTest)
#include "codecstest.moc"
