#include "sequencestopstep.h"

#include "fuzzinput.h"
#include "recoveryfile.h"
#include "recoverykeeper.h"
#include "recoveryquestion.h"
#include "sequencesession.h"

#include <QDir>
#include <QFile>

#include <array>

using namespace Qt::StringLiterals;

namespace {

using Model = SequenceModel;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A process number no process has: the system never hands out pid_max itself.
QByteArray deadPid()
{
    static const QByteArray pid = [] {
        const QByteArray max = readAll(u"/proc/sys/kernel/pid_max"_s).trimmed();
        return max.isEmpty() ? QByteArray("2147483647") : max;
    }();
    return pid;
}

// The lock as the killed editor leaves it: its own lines, naming a process that is gone.
void leaveStaleLock(SequenceSession& s, const QString& lock, const QByteArray& contents)
{
    QList<QByteArray> lines = contents.split('\n');
    if (lines.isEmpty() || lines.front().toLongLong() <= 0)
        s.fail(u"the recovery file's lock does not name its editor: "_s + QString::fromLatin1(contents));
    lines.front() = deadPid();
    QFile file(lock);
    const QByteArray stale = lines.join('\n');
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(stale) != stale.size())
        s.fail(u"cannot leave the lock as a stopped editor would"_s);
}

// The recovery files of an image, with or without an editor.
QStringList recoveryFiles(const QString& image)
{
    return QDir(RecoveryFile::folder())
        .entryList({RecoveryFile::keyOf(image) + u"-*.recovery"_s}, QDir::Files, QDir::Name);
}

} // namespace

namespace SequenceStopStep {

void stop(SequenceSession& s, FuzzInput& in)
{
    const std::array<QString, 3> answers{u"復元"_s, u"破棄"_s, u"キャンセル"_s};
    const int answer = in.byte() % 3;
    Model& model = s.model();
    const QString image = model.current();
    const bool unsaved = model.isModified();
    s.trace() << u"the process stops here; the next start opens %1 (a recovery question answered %2)"_s.arg(
        image, answers[answer]);

    // Edits reach the recovery file within a second; the process stops after that.
    RecoveryKeeper& keeper = s.window().recovery();
    keeper.writeNow();
    keeper.waitUntilWritten();
    const QString file = keeper.filePath();
    if (file.isEmpty())
        s.fail(u"the window keeps no recovery file for "_s + image);
    const QByteArray left = readAll(file);
    const std::optional<RecoveryFile> state = RecoveryFile::parse(left);
    const Model::Kept kept = model.kept();
    QString question;
    if (!unsaved && !left.isEmpty())
        s.fail(u"a recovery file is left although nothing is unsaved"_s);
    if (unsaved) {
        if (!state)
            s.fail(u"the recovery file left behind cannot be read"_s);
        if (state->blocks != kept.blocks)
            s.fail(u"the recovery file left behind holds other tables than the unsaved ones"_s);
        if (!(state->checksum == kept.request))
            s.fail(u"the recovery file left behind holds another checksum request than the unsaved one"_s);
        if (state->changedCells != model.changedCells())
            s.fail(u"the recovery file counts %1 changed cells, the model %2"_s.arg(state->changedCells)
                       .arg(model.changedCells()));
        question = RecoveryQuestion::text(state->changedCells, state->written, model.asksBeforeSaving(image));
    }
    const QString lock = file + u".lock"_s;
    const QByteArray lockContents = readAll(lock);

    s.replaceWindow();
    leaveStaleLock(s, lock, lockContents);
    if (unsaved)
        s.answers().expectBox(question, answers[answer]);
    s.answers().run([&] { s.window().openImageAsked(image); });
    model.open(image, s.namesBeside(image));
    model.setSortTag(QString());
    s.checkNames();
    if (!unsaved)
        return;
    if (answer == 0) {
        model.restore(kept);
        // The tables are compared after every step; the request only here and by what a save writes.
        if (!(s.document().checksumRequest() == model.kept().request))
            s.fail(u"復元 did not give back the unsaved checksum request"_s);
    } else if (answer == 1) {
        if (!recoveryFiles(image).isEmpty())
            s.fail(u"破棄 left a recovery file: "_s + recoveryFiles(image).join(u", "_s));
    } else {
        if (readAll(file) != left)
            s.fail(u"キャンセル did not keep the recovery file as it was"_s);
        // Kept for later, it would be offered at every later open of the image, which the other steps do
        // not expect; the user has seen it kept, and it goes.
        if (!QFile::remove(file))
            s.fail(u"cannot remove the kept recovery file"_s);
    }
}

} // namespace SequenceStopStep
