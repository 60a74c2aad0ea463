#include "recoverykeeper.h"

#include "checksumrequestcommand.h"
#include "editorstate.h"
#include "editsession.h"
#include "okmessagebox.h"
#include "recoveryfile.h"
#include "recoveryquestion.h"
#include "recoveryslot.h"

#include <QDir>

using namespace Qt::StringLiterals;

RecoveryKeeper::RecoveryKeeper(EditSession& session) : m_session(session)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(WriteDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    QUndoStack& stack = session.undoStack();
    connect(&stack, &QUndoStack::indexChanged, this, &RecoveryKeeper::stackChanged);
    connect(&stack, &QUndoStack::cleanChanged, this, &RecoveryKeeper::stackChanged);
    connect(&session, &EditSession::historyStarted, this, &RecoveryKeeper::imageOpened);
    connect(&session, &EditSession::saved, this, &RecoveryKeeper::saved);
    connect(&m_writer, &RecoveryWriter::writeFailed, this, &RecoveryKeeper::writeFailed);
}

// A window that goes without a close (the program is stopped, the session ends) keeps its file, brought
// up to date without a word: only the lock goes, so that the next start offers it.
RecoveryKeeper::~RecoveryKeeper()
{
    if (m_timer.isActive() && m_slot)
        m_writer.write(m_slot->filePath(), RecoveryFile::of(m_session.document()).serialize());
}

QString RecoveryKeeper::filePath() const
{
    return m_slot ? m_slot->filePath() : QString();
}

void RecoveryKeeper::finish()
{
    m_timer.stop();
    if (m_slot)
        m_writer.remove(m_slot->filePath());
    // The lock goes only once the file has: no other editor may find it half-gone.
    m_writer.waitUntilDone();
    m_slot.reset();
}

void RecoveryKeeper::writeNow()
{
    m_timer.stop();
    if (m_slot && !m_session.undoStack().isClean())
        m_writer.write(m_slot->filePath(), RecoveryFile::of(m_session.document()).serialize());
}

void RecoveryKeeper::writeFailed(const QString& message)
{
    if (m_failureShown)
        return;
    m_failureShown = true;
    showMessage(
        u"保存されていない変更を復元用のファイルに書き込めませんでした。異常終了すると変更は失われます。\n%1"_s.arg(
            message));
}

void RecoveryKeeper::stackChanged()
{
    if (m_session.undoStack().isClean()) {
        // Back at the file's state (a save, undo to it): nothing is left to recover.
        m_timer.stop();
        if (m_slot)
            m_writer.remove(m_slot->filePath());
    } else if (!m_timer.isActive()) {
        // Not restarted by later changes: a stream of typing is still written within the delay.
        m_timer.start();
    }
}

void RecoveryKeeper::saved()
{
    // Saved under another name: the document is that file now, and its recovery file is that file's.
    const QString image = RecoveryFile::canonicalImagePath(m_session.document().state().currentPath());
    if (image == m_image)
        return;
    m_writer.waitUntilDone();
    m_slot.reset();
    m_image = image;
    m_slot = RecoverySlot::claim(image, RecoverySlot::Claim::Empty);
}

void RecoveryKeeper::imageOpened()
{
    // The previous image's edits were saved or given up (保存しない) before this open, so its file goes
    // (the new history's clearing has already asked for that).
    finish();
    m_failureShown = false;
    m_image = RecoveryFile::canonicalImagePath(m_session.document().state().currentPath());
    m_slot = RecoverySlot::claim(m_image, RecoverySlot::Claim::Offered);
    if (!m_slot)
        // Said at once: a crash must not be the first the user hears of it.
        showMessage(
            u"復元用のファイルを置くフォルダー「%1」を使えません。このイメージの保存されていない変更は、異常終了すると失われます。"_s
                .arg(QDir::toNativeSeparators(RecoveryFile::folder())));
    else if (m_slot->hasFile())
        offer();
}

void RecoveryKeeper::offer()
{
    const std::optional<RecoveryFile> state = RecoveryFile::read(m_slot->filePath());
    if (!state || state->imagePath != m_image) {
        const QString aside = m_slot->setAside();
        showMessage(
            aside.isEmpty()
                ? u"前回保存されなかった変更の復元用ファイルを読み込めなかったため、削除しました。"_s
                : u"前回保存されなかった変更の復元用ファイルを読み込めなかったため、「%1」に名前を変えて残しました。"_s
                      .arg(QDir::toNativeSeparators(aside)));
        return;
    }
    const Document& document = m_session.document();
    const QString text = RecoveryQuestion::text(state->changedCells, state->written, !state->matchesFileOf(document));
    switch (RecoveryQuestion::ask(&m_session.window(), EditorState::applicationTitle(), text)) {
    case RecoveryQuestion::Answer::Restore:
        // The slot stays this editor's: the timer writes the restored state over the old one.
        restore(*state);
        break;
    case RecoveryQuestion::Answer::Discard:
        m_slot->remove();
        break;
    case RecoveryQuestion::Answer::Cancel:
        // Kept for later: this editor writes into a slot of its own and leaves this one free.
        m_slot = RecoverySlot::claim(m_image, RecoverySlot::Claim::Empty);
        break;
    }
}

void RecoveryKeeper::restore(const RecoveryFile& state)
{
    Document& document = m_session.document();
    bool tablesDiffer = false;
    for (const BlockSpec& range : BlockCatalogue)
        tablesDiffer = tablesDiffer || document.state().block(range.id) != state.blocks[std::size_t(range.id)];
    const bool requestDiffers = document.checksumRequest() != state.checksum;
    if (!tablesDiffer && !requestDiffers) {
        // The file already holds all of it.
        m_slot->remove();
        return;
    }
    // One step: the tables filled from the kept bytes, so that the cells they change are tinted
    // against the file as it is, and the checksum request that went with them.
    QUndoStack& stack = m_session.undoStack();
    stack.beginMacro(u"復元"_s);
    m_session.record(QList<TableId>(AllTables.begin(), AllTables.end()), u"復元"_s, [&] {
        document.state().replaceBlocks(state.blocks);
        document.fillGrids();
    });
    if (requestDiffers)
        stack.push(new ChecksumRequestCommand(document, state.checksum));
    stack.endMacro();
}

void RecoveryKeeper::showMessage(const QString& text)
{
    OkMessageBox::show(&m_session.window(), EditorState::applicationTitle(), text);
}
