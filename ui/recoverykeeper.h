#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class EditSession;
class RecoverySlot;
struct RecoveryFile;

// Keeps a recovery file of the open image while it has unsaved edits, so that a crash, a kill or a
// power cut loses nothing: written within a second of every undo step (an edit, an undo, a redo) by a
// single-shot timer that coalesces them, and removed once nothing is unsaved (a save, undo back to the
// saved state). Opening an image for which one was left behind offers it back.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    // Owned by the window and destroyed before the session, whose undo stack empties as it goes.
    explicit RecoveryKeeper(EditSession& session);
    ~RecoveryKeeper() override;

    // How long after a change its state is written at the latest.
    static constexpr int WriteDelayMs = 500;

    // The recovery file this editor writes for the open image (it need not exist yet); empty while
    // there is none.
    QString filePath() const;
    // The user gave up the unsaved edits (保存しない): their recovery file goes too.
    void discard();
    // The window closes with nothing unsaved: the file goes and the image's slot is free again.
    void finish();
    // Writes the current state now instead of when the timer fires.
    void writeNow();

private:
    void imageOpened();
    void stackChanged();
    void saved();
    void offer();
    void restore(const RecoveryFile& state);
    void showMessage(const QString& text);

    EditSession& m_session;
    std::unique_ptr<RecoverySlot> m_slot;
    // The canonical path of the image the slot belongs to.
    QString m_image;
    QTimer m_timer;
    // A failed write is reported once, not at every keystroke, until a write succeeds again.
    bool m_failureShown = false;
};
