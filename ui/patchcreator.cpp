#include "patchcreator.h"

#include "atomicfile.h"
#include "document.h"
#include "filedialogs.h"
#include "okmessagebox.h"
#include "patchfile.h"
#include "romfile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QList<FileFilter> OriginalFilters{
    {u"SMC ファイル(*.smc)"_s, u"*.smc"_s},
    {u"SFC ファイル(*.sfc)"_s, u"*.sfc"_s},
    {u"すべてのファイル (*)"_s, u"*"_s},
};

const QList<FileFilter> PatchFilters{
    {u"IPS パッチ(*.ips)"_s, u"*.ips"_s},
    {u"BPS パッチ(*.bps)"_s, u"*.bps"_s},
};

const QString NothingWritten = u"\nパッチは作成しませんでした。"_s;

} // namespace

PatchCreator::PatchCreator(QWidget* parent, Document& document) : m_parent(parent), m_document(document) {}

void PatchCreator::tell(const QString& text) const
{
    OkMessageBox::show(m_parent, EditorState::applicationTitle(), text);
}

void PatchCreator::run()
{
    if (m_document.state().currentPath().isEmpty()) {
        tell(u"パッチを作成するには、先に変更したイメージを開いてください。"_s);
        return;
    }
    // The image as a save would write it, before the dialogs: if the open file has gone, the user
    // learns it before choosing anything.
    QByteArray current;
    const FileResult composed = m_document.composeSavedImage(current);
    if (!composed.isDone()) {
        tell(composed.message() + NothingWritten);
        return;
    }

    const QString originalPath = FileDialogs::showOpenDialog(m_parent, u"元のイメージを選択"_s, OriginalFilters);
    if (originalPath.isEmpty())
        return;
    QByteArray original;
    ImageForm originalForm = ImageForm::CopierHeader;
    const FileResult read = romfile::ReadImage(originalPath, original, &originalForm);
    if (!read.isDone()) {
        tell(read.message() + NothingWritten);
        return;
    }
    if (originalForm != m_document.imageForm()) {
        tell(u"元のイメージ（%1）と開いているイメージ（%2）の形式が違います。"_s.arg(
                 imageFormName(originalForm), imageFormName(m_document.imageForm())) +
             NothingWritten);
        return;
    }
    if (original == current) {
        tell(u"元のイメージとの違いがありません。"_s + NothingWritten);
        return;
    }

    const QString patchPath = FileDialogs::showSaveDialog(m_parent, u"パッチの保存先"_s, PatchFilters,
                                                          QFileInfo(m_document.state().currentPath()).completeBaseName());
    if (patchPath.isEmpty())
        return;
    const PatchFormat format = PatchFile::formatForName(patchPath).value_or(PatchFormat::Ips);
    const PatchOutcome patch = PatchFile::create(format, original, current);
    if (!patch.ok()) {
        tell(patch.error + NothingWritten);
        return;
    }
    const FileResult written = atomicfile::replace(patchPath, patch.bytes);
    if (!written.isDone()) {
        tell(written.message());
        return;
    }
    tell(u"パッチを作成しました。\n%1（%2 バイト）"_s.arg(QDir::toNativeSeparators(patchPath)).arg(patch.bytes.size()));
}
