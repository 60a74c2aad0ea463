#pragma once

#include "recoverywriter.h"

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
    // The window closes with nothing unsaved (saved, given up with 保存しない, or none made): the file
    // goes and the image's slot is free again.
    void finish();
    // Takes the current state now instead of when the timer fires; the file is written behind.
    void writeNow();
    // Returns once every write and removal asked so far has reached the disk.
    void waitUntilWritten() { m_writer.waitUntilDone(); }

private:
    void imageOpened();
    void stackChanged();
    void saved();
    void offer();
    void restore(const RecoveryFile& state);
    void writeFailed(const QString& message);
    void showMessage(const QString& text);

    EditSession& m_session;
    std::unique_ptr<RecoverySlot> m_slot;
    // The canonical path of the image the slot belongs to.
    QString m_image;
    QTimer m_timer;
    // A failed write is reported once for each image opened, not at every keystroke.
    bool m_failureShown = false;
    // Declared after the slot, so that it finishes its writes before the slot's lock is given up.
    RecoveryWriter m_writer;
};
