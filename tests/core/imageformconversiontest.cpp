#include "bpspatch.h"
#include "cartridgechecksum.h"
#include "copierheader.h"
#include "crc32.h"
#include "filebytes.h"
#include "ipspatch.h"
#include "patchsequence.h"
#include "sampleimage.h"
#include "testregistry.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr qint64 Pair = 0x7FDC;

} // namespace

// The cartridge checksum against sums worked out by hand, the copier header added and removed, and
// patches made for the image's other form.
class ImageFormConversionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Zero data with a few marked bytes, so that the expected sum follows from the definition: the
    // first power of two once, the rest repeated until it fills it, the pair counted as 0x1FE.
    void checksum_mirrorsWhatIsNotAPowerOfTwo_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QList<qint64>>("marks"); // positions, each holding its own weight below
        QTest::addColumn<QList<int>>("weights");
        QTest::addColumn<bool>("copierHeader");
        QTest::addColumn<int>("expected");
        const QList<qint64> marks{0x10, 0x7FDC, 0x7FDF, MiB - 1};
        const QList<int> weights{0x01, 0xAB, 0xCD, 0x20};
        // 0x01 + 0x20 from the data, the pair as 0x1FE whatever it holds (0xAB, 0xCD are stale).
        const int firstMiB = 0x01 + 0x20 + 0x1FE;
        for (const bool header : {false, true}) {
            const QString form = header ? u" with a copier header"_s : QString();
            QTest::newRow(qPrintable(u"1 MiB"_s + form)) << MiB << marks << weights << header << firstMiB;
            // 1.5 MiB: the last half MiB twice.
            QTest::newRow(qPrintable(u"1.5 MiB"_s + form))
                << MiB + MiB / 2 << (marks + QList<qint64>{MiB + 3, MiB + MiB / 2 - 1}) << (weights + QList<int>{0x05, 0x40})
                << header << firstMiB + 2 * (0x05 + 0x40);
            // 2 MiB: a power of two, summed once.
            QTest::newRow(qPrintable(u"2 MiB"_s + form))
                << 2 * MiB << (marks + QList<qint64>{MiB + 3, 2 * MiB - 1}) << (weights + QList<int>{0x05, 0x40})
                << header << firstMiB + 0x05 + 0x40;
            // 3 MiB: 2 MiB once and the last 1 MiB twice.
            QTest::newRow(qPrintable(u"3 MiB"_s + form))
                << 3 * MiB << (marks + QList<qint64>{MiB + 3, 2 * MiB + 7, 3 * MiB - 1})
                << (weights + QList<int>{0x05, 0x11, 0x40}) << header << firstMiB + 0x05 + 2 * (0x11 + 0x40);
        }
        // 1.25 MiB: the quarter four times; 1.75 MiB: the rest is itself half MiB once and the quarter
        // after it twice, filling the second MiB.
        QTest::newRow("1.25 MiB") << MiB + MiB / 4 << (marks + QList<qint64>{MiB + 9}) << (weights + QList<int>{0x07})
                                  << false << firstMiB + 4 * 0x07;
        QTest::newRow("1.75 MiB") << MiB + 3 * MiB / 4 << (marks + QList<qint64>{MiB + 9, MiB + MiB / 2 + 1})
                                  << (weights + QList<int>{0x07, 0x30}) << false << firstMiB + 0x07 + 2 * 0x30;
        // Sums past 16 bits keep their low 16 bits: 0x200 bytes of 0xFF add 0x1FE00.
        QList<qint64> many;
        QList<int> full;
        for (qint64 k = 0; k < 0x200; ++k) {
            many << 0x1000 + k;
            full << 0xFF;
        }
        QTest::newRow("carry") << MiB << many << full << true << ((0x1FE00 + 0x1FE) & 0xFFFF);
    }

    void checksum_mirrorsWhatIsNotAPowerOfTwo()
    {
        QFETCH(qint64, size);
        QFETCH(QList<qint64>, marks);
        QFETCH(QList<int>, weights);
        QFETCH(bool, copierHeader);
        QFETCH(int, expected);
        QByteArray cartridge(size, '\0');
        for (qsizetype k = 0; k < marks.size(); ++k)
            cartridge[marks.at(k)] = char(weights.at(k));
        QCOMPARE(int(*CartridgeChecksum::compute(cartridge)), expected & 0xFFFF);
        // The copier header never counts.
        const QByteArray image = copierHeader ? QByteArray(0x200, '\xEE') + cartridge : cartridge;
        const ImageForm form = copierHeader ? ImageForm::CopierHeader : ImageForm::Headerless;
        QCOMPARE(int(*CartridgeChecksum::compute(image, form)), expected & 0xFFFF);
    }

    void fix_changesExactlyTheFourBytes_data()
    {
        QTest::addColumn<bool>("copierHeader");
        QTest::newRow("copier header") << true;
        QTest::newRow("headerless") << false;
    }

    void fix_changesExactlyTheFourBytes()
    {
        QFETCH(bool, copierHeader);
        QByteArray image = SampleImage::generate();
        if (!copierHeader)
            image = image.mid(0x200);
        const ImageForm form = copierHeader ? ImageForm::CopierHeader : ImageForm::Headerless;
        const qint64 base = copierHeader ? 0x200 : 0;
        // The sample comes with a valid pair, which a fix leaves alone; an edited table byte moves the sum.
        const QByteArray valid = image;
        QVERIFY(CartridgeChecksum::fix(image, form));
        QCOMPARE(image, valid);
        const qint64 edit = base + 0xA8026;
        const int old = quint8(image.at(edit));
        const int now = old == 0xFF ? 0 : old + 1;
        image[edit] = char(now);
        // A stale pair, so that each of the four bytes has something to change.
        image.replace(base + Pair, 4, "\x12\x34\x56\x78");
        const QByteArray edited = image;
        QVERIFY(CartridgeChecksum::fix(image, form));
        QCOMPARE(differences(edited, image), (QList<qint64>{base + Pair, base + Pair + 1, base + Pair + 2, base + Pair + 3}));
        const quint16 sum = *CartridgeChecksum::compute(image, form);
        QCOMPARE(quint8(image.at(base + Pair + 2)) | quint8(image.at(base + Pair + 3)) << 8, int(sum));
        QCOMPARE(quint8(image.at(base + Pair)) | quint8(image.at(base + Pair + 1)) << 8, int(sum ^ 0xFFFF));
        // The sum moved by what the edit added; and a second fix finds nothing to change.
        QCOMPARE(sum, quint16(*CartridgeChecksum::compute(valid, form) + now - old));
        QByteArray again = image;
        QVERIFY(CartridgeChecksum::fix(again, form));
        QCOMPARE(again, image);
    }

    void fix_refusesAnImageTooShortForTheHeader()
    {
        QByteArray tiny(0x7FDF, '\x11');
        QVERIFY(!CartridgeChecksum::compute(tiny).has_value());
        QVERIFY(!CartridgeChecksum::fix(tiny, ImageForm::Headerless));
        QCOMPARE(tiny, QByteArray(0x7FDF, '\x11'));
    }

    void copierHeader_addAndRemove_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("canAdd");
        QTest::addColumn<bool>("canRemove");
        QTest::newRow("headerless") << MiB << true << false;
        QTest::newRow("with header") << MiB + 512 << false << true;
        QTest::newRow("neither form") << MiB + 100 << false << false;
    }

    void copierHeader_addAndRemove()
    {
        QFETCH(qint64, size);
        QFETCH(bool, canAdd);
        QFETCH(bool, canRemove);
        QByteArray image(size, '\0');
        for (qint64 i = 0; i < size; ++i)
            image[i] = char(i * 31 % 251);
        const PatchOutcome added = CopierHeader::added(image);
        const PatchOutcome removed = CopierHeader::removed(image);
        QCOMPARE(added.ok(), canAdd);
        QCOMPARE(removed.ok(), canRemove);
        if (canAdd) {
            QCOMPARE(added.bytes.size(), size + 512);
            QCOMPARE(added.bytes.first(512), QByteArray(512, '\0'));
            QCOMPARE(CopierHeader::removed(added.bytes).bytes, image);
        }
        if (canRemove) {
            QCOMPARE(removed.bytes, image.mid(512));
            QVERIFY(!CopierHeader::removed(removed.bytes).ok());
        }
        if (!canAdd)
            QVERIFY(added.bytes.isEmpty() && !added.error.isEmpty());
    }

    // A patch made for the other form: applied through that form, the result in the image's own form,
    // an existing header kept byte for byte.
    void patchSequence_appliesPatchesOfTheOtherForm_data()
    {
        QTest::addColumn<bool>("imageHasHeader");
        QTest::addColumn<bool>("patchHasHeader");
        QTest::addColumn<bool>("bps");
        QTest::addColumn<bool>("throughOtherForm");
        QTest::newRow("BPS for headerless, image with header") << true << false << true << true;
        QTest::newRow("BPS for header, headerless image") << false << true << true << true;
        QTest::newRow("BPS of the same form") << true << true << true << false;
        QTest::newRow("IPS for headerless, image with header") << true << false << false << true;
        QTest::newRow("IPS for header, headerless image") << false << true << false << true;
    }

    void patchSequence_appliesPatchesOfTheOtherForm()
    {
        QFETCH(bool, imageHasHeader);
        QFETCH(bool, patchHasHeader);
        QFETCH(bool, bps);
        QFETCH(bool, throughOtherForm);
        QByteArray withHeader = SampleImage::generate();
        withHeader.replace(0, 16, "copier header 16"); // a header of the user's own, not zeros
        const QByteArray bare = withHeader.mid(512);
        QByteArray bareEdited = bare;
        bareEdited[0xA8026 + 7] = char(99);
        const QByteArray headeredEdited = withHeader.first(512) + bareEdited;

        // Going through the other form adds a header of zeros; the same form keeps the image's own.
        const QByteArray header = imageHasHeader ? withHeader.first(512) : QByteArray(512, '\0');
        const QByteArray source = patchHasHeader ? header + bare : bare;
        const QByteArray target = patchHasHeader ? header + bareEdited : bareEdited;
        const PatchOutcome patch = bps ? BpsPatch::create(source, target) : IpsPatch::create(source, target);
        QVERIFY(patch.ok());

        PatchSequence sequence(imageHasHeader ? withHeader : bare);
        const PatchSequence::IpsForm form =
            bps ? PatchSequence::IpsForm() : (patchHasHeader ? ImageForm::CopierHeader : ImageForm::Headerless);
        QCOMPARE(sequence.apply(patch.bytes, form), QString());
        QCOMPARE(sequence.image(), imageHasHeader ? headeredEdited : bareEdited);
        QCOMPARE(sequence.notes().size(), throughOtherForm ? 1 : 0);
    }

    void patchSequence_refusedPatchLeavesTheImage()
    {
        const QByteArray image = SampleImage::generate();
        QByteArray other = image;
        other[0x1000] = char(other.at(0x1000) + 1);
        // Made from an image that matches neither form of this one.
        const PatchOutcome patch = BpsPatch::create(other, image);
        PatchSequence sequence(image);
        const QString error = sequence.apply(patch.bytes);
        QVERIFY(error.contains(Crc32Text(Crc32(image))));
        QCOMPARE(sequence.image(), image);
        QVERIFY(sequence.notes().isEmpty());
    }
};

TAVRIN_TEST(ImageFormConversionTest)
#include "imageformconversiontest.moc"
