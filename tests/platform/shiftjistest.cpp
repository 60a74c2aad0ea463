#include "shiftjis.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QString chars(std::initializer_list<char16_t> units)
{
    QString out;
    for (const char16_t u : units)
        out += QChar(u);
    return out;
}

constexpr char16_t Bad = 0xFFFD;

} // namespace

class ShiftJisTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("ascii") << QByteArray("Abc 09") << u"Abc 09"_s;
        QTest::newRow("backslash and tilde stay ASCII") << QByteArray("\\~") << u"\\~"_s;
        QTest::newRow("control 0x1A is itself") << QByteArray("\x1A\x1C\x7F") << chars({0x1A, 0x1C, 0x7F});
        QTest::newRow("katakana te") << QByteArray("\x83\x65") << chars({0x30C6});
        QTest::newRow("kanji gun") << QByteArray("\x8C\x52") << chars({0x8ECD});
        QTest::newRow("trail byte in ASCII range") << QByteArray("\x8A\xD6\x89\x48") << chars({0x95A2, 0x7FBD});
        QTest::newRow("half-width katakana") << QByteArray("\xB1\xDF") << chars({0xFF71, 0xFF9F});
        QTest::newRow("wave dash as code page 932") << QByteArray("\x81\x60") << chars({0xFF5E});
        QTest::newRow("full-width backslash") << QByteArray("\x81\x5F") << chars({0xFF3C});
        QTest::newRow("circled one") << QByteArray("\x87\x40") << chars({0x2460});
        QTest::newRow("mixed") << QByteArray("a\x83\x65"
                                             "b\xB1")
                               << chars({u'a', 0x30C6, u'b', 0xFF71});
        QTest::newRow("lone lead at end") << QByteArray("ok\x83") << chars({u'o', u'k', Bad});
        QTest::newRow("lead before ASCII that is no trail") << QByteArray("\x83"
                                                                          "0z")
                                                            << chars({Bad, u'0', u'z'});
        QTest::newRow("lead before CR LF") << QByteArray("\x83\r\n") << chars({Bad, u'\r', u'\n'});
        QTest::newRow("lead before a byte that is no trail") << QByteArray("\x83\xFD") << chars({Bad, Bad});
        QTest::newRow("lead then valid pair") << QByteArray("\x83\x20\x83\x65") << chars({Bad, u' ', 0x30C6});
        QTest::newRow("no such single bytes") << QByteArray("\x80\xA0\xFD\xFE\xFF") << chars({Bad, Bad, Bad, Bad, Bad});
        QTest::newRow("unassigned pair with ASCII trail") << QByteArray("\x85\x40") << chars({Bad, u'@'});
        QTest::newRow("unassigned pair") << QByteArray("\x85\x9F"
                                                       "a")
                                         << chars({Bad, Bad, u'a'});
        QTest::newRow("good after bad") << QByteArray("\xFF\x8C\x52") << chars({Bad, 0x8ECD});
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ShiftJis::decode(bytes), text);
    }

    void decode_pairsInOneCallMatchPairsOneByOne()
    {
        // Every lead and trail combination, decoded together and one by one: the batch must neither
        // shift characters against their bytes nor lose the one-character-per-pair correspondence.
        QByteArray all;
        QString oneByOne;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                QByteArray pair;
                pair.append(char(lead)).append(char(trail));
                all += pair;
                const QString one = ShiftJis::decode(pair);
                QVERIFY2(one.size() == 1 || one.size() == 2, pair.toHex().constData());
                QVERIFY(!one.contains(QChar(0x1A)));
                oneByOne += one;
            }
        }
        QCOMPARE(ShiftJis::decode(all), oneByOne);
    }

    void readFile_regularFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"names.txt"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x83\x65\r\nx");
        file.close();
        QCOMPARE(ShiftJis::readFile(path), std::optional<QString>(chars({0x30C6, u'\r', u'\n', u'x'})));
        // Only the first bytes are looked at; a pair cut in half shows as one bad byte.
        QCOMPARE(ShiftJis::readFile(path, 1), std::optional<QString>(chars({Bad})));
        QCOMPARE(ShiftJis::readFile(path, 0), std::optional<QString>(QString()));
    }

    void readFile_refusesWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << u"missing"_s;
        QTest::newRow("empty path") << u"empty path"_s;
        QTest::newRow("directory") << u"directory"_s;
        QTest::newRow("fifo") << u"fifo"_s;
        QTest::newRow("unreadable") << u"unreadable"_s;
    }

    void readFile_refusesWhatIsNoRegularFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path;
        if (kind == u"missing"_s) {
            path = dir.filePath(u"none.txt"_s);
        } else if (kind == u"directory"_s) {
            path = dir.filePath(u"sub"_s);
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"fifo"_s) {
#ifdef Q_OS_UNIX
            path = dir.filePath(u"fifo"_s);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
            QSKIP("No FIFOs on this platform");
#endif
        } else if (kind == u"unreadable"_s) {
            path = dir.filePath(u"locked.txt"_s);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("abc");
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
            QFile probe(path);
            if (probe.open(QIODevice::ReadOnly))
                QSKIP("Permissions do not stop this user from reading");
        }
        QVERIFY(!ShiftJis::readFile(path).has_value());
    }
};

TAVRIN_TEST(ShiftJisTest)
#include "shiftjistest.moc"
