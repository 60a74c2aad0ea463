#include "sequencefilesteps.h"

#include "blockcatalogue.h"
#include "diskchangedquestion.h"
#include "fuzzinput.h"
#include "patchfile.h"
#include "savechangesquestion.h"
#include "sequencesession.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Model = SequenceModel;

qint64 outsideWrites = 0;

// Expects the question before a save over a file another program changed, answered as `overwrite`
// says; true when the save is to go ahead.
bool expectChangedQuestion(SequenceSession& s, const QString& path, bool overwrite)
{
    if (!s.model().asksBeforeSaving(path))
        return true;
    s.answers().expectBox(DiskChangedQuestion::text(), overwrite ? u"上書き"_s : u"キャンセル"_s);
    return overwrite;
}

} // namespace

namespace SequenceFileSteps {

void fixChecksum(SequenceSession& s)
{
    s.trace() << u"fix the checksum"_s;
    s.needReopen();
    s.answers().run([&] { s.window().fileItemClicked(10); });
    s.model().requestChecksumFix();
}

void save(SequenceSession& s, FuzzInput& in)
{
    const bool overwrite = in.byte() % 2 == 0;
    const QString path = s.model().current();
    s.needReopen();
    s.trace() << u"save (a question about another program's change answered %1)"_s.arg(overwrite ? u"上書き"_s
                                                                                                 : u"キャンセル"_s);
    const bool saves = expectChangedQuestion(s, path, overwrite);
    s.answers().run([&] { s.window().fileItemClicked(1); });
    if (saves)
        s.model().save(path);
}

void saveAs(SequenceSession& s)
{
    const QString path = s.other();
    s.trace() << u"save as "_s + path;
    s.needReopen();
    s.answers().run([&] { s.window().saveImage(path); });
    s.model().save(path);
}

void makePatch(SequenceSession& s, FuzzInput& in)
{
    const bool bps = in.byte() % 2;
    s.trace() << (bps ? u"make a BPS patch"_s : u"make an IPS patch"_s) + u" with ファイル > パッチを作成..."_s;
    // The original the user picks: the file as last opened or saved, in a file of its own.
    const QString original = s.filePath(u"original.smc"_s);
    const QString patchPath = s.filePath(bps ? u"made.bps"_s : u"made.ips"_s);
    QFile::remove(patchPath);
    QFile file(original);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(s.model().lastSaved()) != s.model().lastSaved().size())
        s.fail(u"cannot write the original for the patch"_s);
    file.close();
    const QByteArray expected = s.model().savedImage();
    const bool differs = expected != s.model().lastSaved();
    s.answers().expectDialog([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        files ? files->selectFile(original) : void();
        files ? dialog->accept() : dialog->reject();
    });
    if (differs)
        s.answers().expectDialog([&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            if (!files)
                return dialog->reject();
            for (const QString& filter : files->nameFilters())
                if (filter.contains(bps ? u"*.bps"_s : u"*.ips"_s))
                    files->selectNameFilter(filter);
            files->selectFile(patchPath);
            dialog->accept();
        });
    // The report at the end (made, or no difference) has an OK button alone.
    s.answers().allowReports();
    s.answers().run([&] { s.window().fileItemClicked(6); });
    if (!differs) {
        if (QFile::exists(patchPath))
            s.fail(u"a patch was written although nothing differs from the original"_s);
        return;
    }
    QFile written(patchPath);
    if (!written.open(QIODevice::ReadOnly))
        s.fail(u"the window's command wrote no patch"_s);
    const PatchOutcome applied = PatchFile::apply(s.model().lastSaved(), written.readAll());
    if (!applied.ok())
        s.fail(u"the patch the window wrote does not apply to the original: "_s + applied.error);
    if (applied.bytes != expected)
        s.fail(u"the patch the window wrote does not give what a save writes: "_s +
               s.firstDifference(applied.bytes, expected));
}

void changeOutside(SequenceSession& s, FuzzInput& in)
{
    const int kind = in.byte() % 3;
    const qsizetype size = s.model().disk().value(s.model().current()).size();
    const auto inTables = [&](qsizetype at) {
        if (at >= Model::PairAt && at < Model::PairAt + 4)
            return true;
        return std::any_of(BlockCatalogue.begin(), BlockCatalogue.end(), [at](const BlockSpec& range) {
            return at >= range.position && at < range.position + range.size;
        });
    };
    qsizetype at = Model::PairAt;
    QByteArray bytes;
    if (kind == 0) {
        const BlockSpec& range = BlockCatalogue[in.byte() % BlockCatalogue.size()];
        at = range.position + in.word() % range.size;
        bytes = in.bytes(1);
    } else if (kind == 1) {
        at = in.triple() % size;
        while (inTables(at))
            at = (at + 0x2000) % size;
        bytes = in.bytes(1);
    } else {
        bytes = in.bytes(4);
    }
    bytes = bytes.leftJustified(kind == 2 ? 4 : 1, '\0', true);
    s.trace() << u"another program writes %1 at %2"_s.arg(QString::fromLatin1(bytes.toHex()), s.placeInFile(at));
    s.needReopen();
    QFile file(s.model().current());
    // A time of its own, which no save of the editor gives, set once the bytes are written: the system
    // stamps files in ticks of milliseconds, and a change outside the tables within the tick of the
    // last save would otherwise go unseen, by the editor as by any program that compares times.
    if (!file.open(QIODevice::ReadWrite) || !file.seek(at) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.setFileTime(QDateTime::fromMSecsSinceEpoch(946684800000 + ++outsideWrites * 1000),
                          QFileDevice::FileModificationTime))
        s.fail(u"cannot change the file as another program"_s);
    s.model().changeOutside(at, bytes);
}

void openAgain(SequenceSession& s, FuzzInput& in)
{
    const int choice = in.byte();
    s.needReopen();
    const QString path = choice % 2 && s.model().disk().contains(s.other()) ? s.other() : s.model().current();
    const int answer = choice / 2 % 3;
    const std::array<QString, 3> answers{u"保存"_s, u"保存しない"_s, u"キャンセル"_s};
    bool opens = true;
    bool saves = false;
    if (s.model().isModified()) {
        s.answers().expectBox(SaveChangesQuestion::text(), answers[answer]);
        saves = answer == 0 && expectChangedQuestion(s, s.model().current(), choice / 6 % 2 == 0);
        opens = saves || answer == 1;
    }
    s.trace() << u"open %1 (unsaved changes: %2; another program's change: %3)"_s.arg(
        path, answers[answer], choice / 6 % 2 == 0 ? u"上書き"_s : u"キャンセル"_s);
    s.answers().run([&] { s.window().openImageAsked(path); });
    if (saves)
        s.model().save(s.model().current());
    if (opens) {
        s.model().open(path, s.namesBeside(path));
        s.checkNames();
    }
}

} // namespace SequenceFileSteps
