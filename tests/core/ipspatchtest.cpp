#include "ipspatch.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "PATCH", the records written as hexadecimal (spaces for reading only), "EOF" and the tail.
QByteArray ips(const char* records, const char* tail = "")
{
    return "PATCH" + QByteArray::fromHex(records) + "EOF" + QByteArray::fromHex(tail);
}

QByteArray with(QByteArray image, qsizetype at, const QByteArray& bytes)
{
    image.replace(at, bytes.size(), bytes);
    return image;
}

} // namespace

// IPS against vectors written out by hand from the format: offsets, lengths, run-length records,
// the record that would start at "EOF", truncation, and every malformed patch refused.
class IpsPatchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void create_matchesHandWrittenVector_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QByteArray>("modified");
        QTest::addColumn<QByteArray>("patch");
        const QByteArray zeros(64, '\0');
        QTest::newRow("two separate records") << zeros << with(with(zeros, 3, "\xAA"), 10, "\xBB\xCC")
                                              << ips("000003 0001 AA  00000A 0002 BBCC");
        QTest::newRow("four unchanged bytes stay inside the record")
            << zeros << with(with(zeros, 3, "\xAA"), 8, "\xBB") << ips("000003 0006 AA00000000BB");
        QTest::newRow("five unchanged bytes split it") << zeros << with(with(zeros, 3, "\xAA"), 9, "\xBB")
                                                       << ips("000003 0001 AA  000009 0001 BB");
        QTest::newRow("run of four alone: run-length record")
            << zeros << with(zeros, 8, "\x11\x11\x11\x11") << ips("000008 0000 0004 11");
        QTest::newRow("run of three alone: literal, no smaller as a run")
            << zeros << with(zeros, 8, "\x11\x11\x11") << ips("000008 0003 111111");
        QTest::newRow("run of fourteen inside a record: split in three")
            << zeros << with(zeros, 0, '\x01' + QByteArray(14, '\x22') + '\x03')
            << ips("000000 0001 01  000001 0000 000E 22  00000F 0001 03");
        QTest::newRow("run of thirteen inside a record: one literal")
            << zeros << with(zeros, 0, '\x01' + QByteArray(13, '\x22') + '\x03')
            << ips(QByteArray("000000 000F 01" + QByteArray(13, 'x').replace("x", "22") + "03").constData());
        QTest::newRow("run at the end of a record: needs nine")
            << zeros << with(zeros, 0, '\x01' + QByteArray(9, '\x22'))
            << ips("000000 0001 01  000001 0000 0009 22");
        QTest::newRow("truncated") << QByteArray("0123456789abcdef") << QByteArray("0123456789")
                                   << ips("", "00000A");
        QTest::newRow("truncated and changed") << QByteArray("0123456789abcdef") << QByteArray("01X3456789")
                                               << ips("000002 0001 58", "00000A");
        QTest::newRow("lengthened") << QByteArray("abcd") << QByteArray("abcd\0\x01", 6)
                                    << ips("000004 0002 0001");
        QTest::newRow("no difference") << QByteArray("abcd") << QByteArray("abcd") << ips("");
    }

    void create_matchesHandWrittenVector()
    {
        QFETCH(QByteArray, original);
        QFETCH(QByteArray, modified);
        QFETCH(QByteArray, patch);
        const PatchOutcome made = IpsPatch::create(original, modified);
        QVERIFY2(made.ok(), qUtf8Printable(made.error));
        QCOMPARE(made.bytes.toHex(' '), patch.toHex(' '));
        const PatchOutcome applied = IpsPatch::apply(original, patch);
        QVERIFY2(applied.ok(), qUtf8Printable(applied.error));
        QCOMPARE(applied.bytes, modified);
    }

    void create_neverStartsARecordAtEof_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QByteArray>("patch");
        // Offset 0x454F46 is "EOF": the record starts at 0x454F45 and repeats the unchanged byte.
        QTest::newRow("literal") << QByteArray("\x99") << ips("454F45 0002 0099");
        QTest::newRow("run: its first byte goes to the literal")
            << QByteArray(10, '\x77') << ips("454F45 0002 0077  454F47 0000 0009 77");
    }

    void create_neverStartsARecordAtEof()
    {
        QFETCH(QByteArray, change);
        QFETCH(QByteArray, patch);
        const QByteArray original(0x454F60, '\0');
        const QByteArray modified = with(original, IpsPatch::EofOffset, change);
        const PatchOutcome made = IpsPatch::create(original, modified);
        QVERIFY2(made.ok(), qUtf8Printable(made.error));
        QCOMPARE(made.bytes.toHex(' '), patch.toHex(' '));
        QCOMPARE(IpsPatch::apply(original, made.bytes).bytes, modified);
    }

    void create_splitsRecordsAt65535Bytes()
    {
        const QByteArray original(70000, '\0');
        QByteArray modified(70000, '\0');
        for (qsizetype i = 0; i < modified.size(); ++i)
            modified[i] = char(i % 2 ? 0x5A : 0xA5);
        const PatchOutcome made = IpsPatch::create(original, modified);
        QVERIFY(made.ok());
        QCOMPARE(made.bytes.size(), 5 + 5 + 65535 + 5 + 4465 + 3);
        QCOMPARE(made.bytes.mid(5, 5).toHex(), QByteArray("000000ffff"));
        QCOMPARE(made.bytes.mid(5 + 5 + 65535, 5).toHex(), QByteArray("00ffff1171"));
        QCOMPARE(IpsPatch::apply(original, made.bytes).bytes, modified);
    }

    void create_reachesOffset0xFFFFFFButRefusesBeyond()
    {
        const QByteArray original(IpsPatch::AddressLimit + 16, '\0');
        const PatchOutcome last = IpsPatch::create(original, with(original, 0xFFFFFF, "\x01"));
        QVERIFY2(last.ok(), qUtf8Printable(last.error));
        QCOMPARE(last.bytes.toHex(' '), ips("FFFFFF 0001 01").toHex(' '));
        const PatchOutcome beyond = IpsPatch::create(original, with(original, 0x1000000, "\x01"));
        QVERIFY(!beyond.ok());
        QVERIFY2(beyond.error.contains(u"0x1000000"_s), qUtf8Printable(beyond.error));
        QVERIFY(beyond.bytes.isEmpty());
    }

    void apply_lengthensWithZerosUpToARecordPastTheEnd()
    {
        const PatchOutcome applied = IpsPatch::apply("ab", ips("000004 0001 7A  000005 0000 0002 79"));
        QVERIFY2(applied.ok(), qUtf8Printable(applied.error));
        QCOMPARE(applied.bytes, QByteArray("ab\0\0zyy", 7));
    }

    void apply_refusesMalformedPatch_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("reason");
        QTest::newRow("bad magic") << QByteArray("PATCZ000000EOF") << u"PATCH"_s;
        QTest::newRow("empty") << QByteArray() << u"PATCH"_s;
        QTest::newRow("no EOF") << QByteArray("PATCH") << u"EOF"_s;
        QTest::newRow("EOF cut short") << QByteArray("PATCHEO") << u"EOF"_s;
        QTest::newRow("offset cut short") << QByteArray("PATCH\0\0", 7) << u"EOF"_s;
        QTest::newRow("length cut short") << ("PATCH" + QByteArray::fromHex("000010 00")) << u"0x10"_s;
        QTest::newRow("bytes cut short") << ("PATCH" + QByteArray::fromHex("000010 0004 AABB")) << u"0x10"_s;
        QTest::newRow("bytes run into EOF") << ("PATCH" + QByteArray::fromHex("000010 0004 AA") + "EOF")
                                            << u"途中で終わって"_s;
        QTest::newRow("run cut short") << ("PATCH" + QByteArray::fromHex("000010 0000 0004")) << u"0x10"_s;
        QTest::newRow("empty run") << ips("000010 0000 0000 AA") << u"0 です"_s;
        QTest::newRow("record past 16 MiB") << ips("FFFFFF 0002 AABB") << u"16 MiB"_s;
        QTest::newRow("run past 16 MiB") << ips("FFFF00 0000 0101 AA") << u"16 MiB"_s;
        QTest::newRow("one byte after EOF") << ips("", "00") << u"余分"_s;
        QTest::newRow("four bytes after EOF") << ips("", "00000100") << u"余分"_s;
        QTest::newRow("truncation beyond the result") << ips("", "000041") << u"切り詰め"_s;
    }

    void apply_refusesMalformedPatch()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, reason);
        const QByteArray source(64, 'x');
        const PatchOutcome applied = IpsPatch::apply(source, patch);
        QVERIFY(!applied.ok());
        QVERIFY(applied.bytes.isEmpty());
        QVERIFY2(applied.error.contains(reason), qUtf8Printable(applied.error));
    }

    void apply_truncationToTheSameLengthIsAccepted()
    {
        const PatchOutcome applied = IpsPatch::apply(QByteArray(64, 'x'), ips("", "000040"));
        QVERIFY(applied.ok());
        QCOMPARE(applied.bytes, QByteArray(64, 'x'));
    }
};

TAVRIN_TEST(IpsPatchTest)
#include "ipspatchtest.moc"
