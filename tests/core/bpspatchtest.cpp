#include "bpspatch.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A CRC32 worked out bit by bit, independent of the zlib one under test.
quint32 referenceCrc(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

QByteArray littleEndian(quint32 value)
{
    QByteArray out;
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char(value >> shift & 0xFF));
    return out;
}

// "BPS1" and the rest written as hexadecimal (spaces for reading only).
QByteArray body(const char* hex)
{
    return "BPS1" + QByteArray::fromHex(hex);
}

// The body with the source and target CRC32s and the patch's own.
QByteArray sealed(QByteArray patch, quint32 sourceCrc, quint32 targetCrc)
{
    patch += littleEndian(sourceCrc) + littleEndian(targetCrc);
    return patch + littleEndian(referenceCrc(patch));
}

QByteArray sealed(const QByteArray& patch, const QByteArray& source, const QByteArray& target)
{
    return sealed(patch, referenceCrc(source), referenceCrc(target));
}

const QByteArray Letters = "ABCDEFGH";

} // namespace

// BPS against vectors written out by hand from the format: the number encoding at its byte borders,
// the actions, the three CRC32s, and every malformed patch refused.
class BpsPatchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void referenceCrc_isTheStandardOne() { QCOMPARE(referenceCrc("123456789"), 0xCBF43926u); }

    void number_encodesAtTheByteBorders_data()
    {
        QTest::addColumn<quint64>("value");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("0") << quint64(0) << QByteArray::fromHex("80");
        QTest::newRow("127, largest in one byte") << quint64(127) << QByteArray::fromHex("ff");
        QTest::newRow("128, smallest in two") << quint64(128) << QByteArray::fromHex("00 80");
        QTest::newRow("16511, largest in two") << quint64(16511) << QByteArray::fromHex("7f ff");
        QTest::newRow("16512, smallest in three") << quint64(16512) << QByteArray::fromHex("00 00 80");
        QTest::newRow("2113663, largest in three") << quint64(2113663) << QByteArray::fromHex("7f 7f ff");
        QTest::newRow("2113664, smallest in four") << quint64(2113664) << QByteArray::fromHex("00 00 00 80");
    }

    void number_encodesAtTheByteBorders()
    {
        QFETCH(quint64, value);
        QFETCH(QByteArray, encoded);
        QCOMPARE(BpsPatch::encodeNumber(value).toHex(' '), encoded.toHex(' '));
        qsizetype at = 0;
        QCOMPARE(BpsPatch::decodeNumber(encoded, at, encoded.size()), std::optional<quint64>(value));
        QCOMPARE(at, encoded.size());
        // Without its last byte the number runs past the end.
        at = 0;
        QCOMPARE(BpsPatch::decodeNumber(encoded, at, encoded.size() - 1), std::nullopt);
    }

    void number_refusesOneTooLargeForAnyPatch()
    {
        const QByteArray encoded = QByteArray::fromHex("00 00 00 00 00 00 00 80");
        qsizetype at = 0;
        QCOMPARE(BpsPatch::decodeNumber(encoded, at, encoded.size()), std::nullopt);
    }

    void create_matchesHandWrittenVector_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<bool>("footer"); // false: the CRC32s of the reference implementation follow
        // Source CRC32 of "123456789" is the standard check value 0xCBF43926, stored low byte first.
        QByteArray first = body("89 89 80  84  81 78  94") + QByteArray::fromHex("2639F4CB") +
                           littleEndian(referenceCrc("12x456789"));
        first += littleEndian(referenceCrc(first));
        QTest::newRow("one byte changed") << QByteArray("123456789") << QByteArray("12x456789") << first << true;
        const QByteArray zeros(10, '\0');
        QTest::newRow("one unchanged byte joins the literal")
            << zeros << QByteArray::fromHex("0000 010001 0000000000") << body("8A 8A 80  84  89 010001  90") << false;
        QTest::newRow("two unchanged bytes do not")
            << zeros << QByteArray::fromHex("0000 01 0000 01 00000000") << body("8A 8A 80  84  81 01  84  81 01  8C") << false;
        QTest::newRow("longer target") << QByteArray("ab") << QByteArray("abcd") << body("82 84 80  84  85 6364") << false;
        QTest::newRow("shorter target") << QByteArray("abcd") << QByteArray("ab") << body("84 82 80  84") << false;
        QTest::newRow("33 bytes unchanged: the action takes two bytes")
            << QByteArray(33, 'q') << QByteArray(33, 'q') << body("A1 A1 80  00 80") << false;
    }

    void create_matchesHandWrittenVector()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, patch);
        QFETCH(bool, footer);
        if (!footer)
            patch = sealed(patch, source, target);
        const PatchOutcome made = BpsPatch::create(source, target);
        QVERIFY2(made.ok(), qUtf8Printable(made.error));
        QCOMPARE(made.bytes.toHex(' '), patch.toHex(' '));
        const PatchOutcome applied = BpsPatch::apply(source, made.bytes);
        QVERIFY2(applied.ok(), qUtf8Printable(applied.error));
        QCOMPARE(applied.bytes, target);
    }

    void apply_handlesAllFourActions()
    {
        // SourceRead "AB"; SourceCopy +5 "FGH"; SourceCopy -6 "CD"; TargetRead "x"; TargetCopy +7 over its own
        // output "xxx"; TargetCopy -10 "AB".
        const QByteArray target = "ABFGHCDxxxxAB";
        const QByteArray patch = sealed(body("88 8D 80  84  8A 8A  86 8D  81 78  8B 8E  87 95"), Letters, target);
        const PatchOutcome applied = BpsPatch::apply(Letters, patch);
        QVERIFY2(applied.ok(), qUtf8Printable(applied.error));
        QCOMPARE(applied.bytes, target);
    }

    void apply_readsPastMetadata()
    {
        const QByteArray patch = sealed(body("88 88 83 616263  9C"), Letters, Letters);
        QCOMPARE(BpsPatch::apply(Letters, patch).bytes, Letters);
    }

    void apply_wrongSource_namesBothCrcs()
    {
        const QByteArray patch = sealed(body("88 88 80  9C"), Letters, Letters);
        const QByteArray other = "ABCDEFGX";
        const PatchOutcome applied = BpsPatch::apply(other, patch);
        QVERIFY(!applied.ok());
        const auto hex = [](quint32 crc) { return QString::number(crc, 16).toUpper().rightJustified(8, u'0'); };
        QVERIFY2(applied.error.contains(hex(referenceCrc(Letters))), qUtf8Printable(applied.error));
        QVERIFY2(applied.error.contains(hex(referenceCrc(other))), qUtf8Printable(applied.error));
    }

    void apply_refusesMalformedPatch_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("reason");
        const QByteArray good = sealed(body("88 88 80  9C"), Letters, Letters);
        QByteArray damaged = good;
        damaged[4] = char(0x89);
        QTest::newRow("bad magic") << sealed("BPS2" + QByteArray::fromHex("88 88 80 9C"), Letters, Letters)
                                   << u"BPS1"_s;
        QTest::newRow("too short for a header and the CRCs") << body("88 88 80") << u"短すぎ"_s;
        QTest::newRow("patch CRC does not match") << damaged << u"壊れて"_s;
        QTest::newRow("number runs into the CRCs") << sealed(body("88 08 08"), Letters, Letters) << u"数値"_s;
        QTest::newRow("metadata runs into the CRCs") << sealed(body("88 88 85 61"), Letters, Letters)
                                                     << u"メタデータ"_s;
        QTest::newRow("source of another size") << sealed(body("89 88 80 9C"), Letters, Letters) << u"9 バイト"_s;
        QTest::newRow("target too large") << sealed(body("88") + BpsPatch::encodeNumber(64 * 1024 * 1024 + 1) +
                                                        QByteArray::fromHex("80"),
                                                    Letters, Letters)
                                          << u"大きすぎ"_s;
        QTest::newRow("SourceRead past the source") << sealed(body("88 89 80 A0"), Letters, Letters)
                                                    << u"SourceRead"_s;
        QTest::newRow("TargetRead past the actions") << sealed(body("88 88 80 8D 4142"), Letters, Letters)
                                                     << u"TargetRead"_s;
        QTest::newRow("SourceCopy before the source") << sealed(body("88 81 80 82 83"), Letters, Letters)
                                                      << u"SourceCopy"_s;
        QTest::newRow("SourceCopy past the source") << sealed(body("88 82 80 86 8E"), Letters, Letters)
                                                    << u"SourceCopy"_s;
        QTest::newRow("TargetCopy of nothing written yet") << sealed(body("88 81 80 83 80"), Letters, Letters)
                                                           << u"TargetCopy"_s;
        QTest::newRow("TargetCopy before the target") << sealed(body("88 82 80 80 83 83"), Letters, Letters)
                                                      << u"TargetCopy"_s;
        QTest::newRow("action past the target") << sealed(body("88 88 80 A0"), Letters, Letters)
                                                << u"結果の終わり"_s;
        QTest::newRow("actions end before the target is full") << sealed(body("88 88 80 8C"), Letters, Letters)
                                                               << u"満たす前"_s;
        QTest::newRow("target CRC does not match") << sealed(body("88 88 80 9C"), referenceCrc(Letters), 0)
                                                   << u"結果の CRC32"_s;
        QTest::newRow("action number too large")
            << sealed(body("88 88 80 00 00 00 00 00 00 00 80"), Letters, Letters) << u"数値"_s;
    }

    void apply_refusesMalformedPatch()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, reason);
        const PatchOutcome applied = BpsPatch::apply(Letters, patch);
        QVERIFY(!applied.ok());
        QVERIFY(applied.bytes.isEmpty());
        QVERIFY2(applied.error.contains(reason), qUtf8Printable(applied.error));
    }
};

TAVRIN_TEST(BpsPatchTest)
#include "bpspatchtest.moc"
