#include "patchformquestion.h"

#include "patchfile.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

bool PatchFormQuestion::isIpsPatch(const QString& path)
{
    QFile file(path);
    // The magic is all that is read; the comparison reads the whole file under its own checks.
    return file.open(QIODevice::ReadOnly) && PatchFile::formatOfContent(file.read(16)) == PatchFormat::Ips;
}

std::optional<ImageForm> PatchFormQuestion::ask(QWidget* owner, const QString& title, const QString& patchPath,
                                                ImageForm opened)
{
    QMessageBox box(QMessageBox::Question, title,
                    u"「%1」は IPS パッチです。どちらの形式のイメージ用に作られたパッチですか？"_s.arg(
                        QFileInfo(patchPath).fileName()),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(u"IPS パッチには形式が記録されていません。違う形式用のパッチとして当てると、512 バイトずれた"
                           u"位置で比べることになります。開いているイメージは%1です。"_s.arg(imageFormName(opened)));
    // Yes and No carry the two forms, so that the box keeps the platform's button order and keys.
    box.button(QMessageBox::Yes)->setText(imageFormName(ImageForm::CopierHeader));
    box.button(QMessageBox::No)->setText(imageFormName(ImageForm::Headerless));
    box.button(QMessageBox::Cancel)->setText(u"キャンセル"_s);
    box.setDefaultButton(opened == ImageForm::CopierHeader ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return ImageForm::CopierHeader;
    case QMessageBox::No:
        return ImageForm::Headerless;
    default:
        return std::nullopt;
    }
}
