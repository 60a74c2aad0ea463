#include "sequencefilesteps.h"

#include "blockcatalogue.h"
#include "diskchangedquestion.h"
#include "fuzzinput.h"
#include "patchfile.h"
#include "savechangesquestion.h"
#include "sequencesession.h"

#include <QDateTime>
#include <QFile>

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
    const PatchFormat format = in.byte() % 2 ? PatchFormat::Bps : PatchFormat::Ips;
    s.trace() << (format == PatchFormat::Ips ? u"make an IPS patch"_s : u"make a BPS patch"_s);
    QByteArray image;
    if (!s.document().composeSavedImage(image).isDone())
        s.fail(u"the image a save would write could not be composed"_s);
    const QByteArray expected = s.model().savedImage();
    if (image != expected)
        s.fail(u"a patch made now would not give what a save writes: "_s + s.firstDifference(image, expected));
    const QByteArray& original = s.model().lastSaved();
    if (image == original)
        return;
    const PatchOutcome patch = PatchFile::create(format, original, image);
    const PatchOutcome applied = patch.ok() ? PatchFile::apply(original, patch.bytes) : patch;
    if (!applied.ok() || applied.bytes != expected)
        s.fail(u"the patch applied to the file as last saved does not give what a save writes "_s + applied.error);
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
        s.model().open(path);
        s.checkNames();
    }
}

} // namespace SequenceFileSteps
