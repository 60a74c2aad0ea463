#include "infocommand.h"

#include "argumentparser.h"
#include "cartridgechecksum.h"
#include "cartridgeheader.h"
#include "crc32.h"
#include "romfile.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

QString hex16(quint16 value)
{
    return u"0x"_s + QString::number(value, 16).toUpper().rightJustified(4, u'0');
}

Exit run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ArgumentParser parser(infoSubcommand().synopsis, infoSubcommand().summary);
    if (const auto exit = parser.parse(arguments, 1, out, err))
        return *exit;
    const QString path = parser.parser().positionalArguments().first();

    QByteArray image;
    ImageForm form = ImageForm::CopierHeader;
    const FileResult read = romfile::ReadImage(path, image, &form);
    if (!read.isDone()) {
        parser.complain(err, read.message());
        return Exit::Failure;
    }
    const CartridgeHeader header = CartridgeHeader::read(image, form);
    out << u"形式: "_s << imageFormName(form) << u'\n';
    out << u"大きさ: "_s << image.size() << u" バイト\n"_s;
    out << u"タイトル: "_s << header.titleText() << u'\n';
    out << u"チェックサム: "_s << (header.checksumsAgree() ? u"補数と一致"_s : u"補数と不一致"_s)
        << u"（チェックサム "_s << hex16(header.checksum()) << u"、補数 "_s << hex16(header.complement()) << u"）\n"_s;
    if (const std::optional<quint16> computed = CartridgeChecksum::compute(image, form))
        out << u"計算したチェックサム: "_s << hex16(*computed)
            << (*computed == header.checksum() && header.checksumsAgree() ? u"（記録と一致）"_s
                                                                          : u"（記録と違います。tavrin fix-checksum で直せます）"_s)
            << u'\n';
    // Dump databases list the cartridge data alone, without the copier header.
    out << u"CRC32: "_s << Crc32Text(Crc32(QByteArrayView(image).sliced(headerSize(form)))) << u'\n';
    return Exit::Success;
}

} // namespace

Subcommand infoSubcommand()
{
    return {u"info"_s, u"info IMAGE"_s,
            u"イメージの形式、大きさ、内部タイトル、チェックサムと CRC32 を表示します。"_s, &run};
}

} // namespace cli
