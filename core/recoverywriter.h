#pragma once

#include "fileresult.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>

#include <deque>
#include <memory>

class QThread;

// Writes and removes recovery files on a thread of its own, in the order asked, so that the sync to
// disk of each write (which a power cut needs, and which takes milliseconds) never holds up typing.
// A write that a later write of the same file replaces before it started is skipped.
class RecoveryWriter : public QObject
{
    Q_OBJECT

public:
    RecoveryWriter();
    // Finishes everything asked before it returns.
    ~RecoveryWriter() override;

    // Replaces `file` whole with `bytes` (atomicfile: a temporary file renamed over it).
    void write(const QString& file, const QByteArray& bytes);
    void remove(const QString& file);
    // Returns once everything asked so far is done.
    void waitUntilDone();

Q_SIGNALS:
    // A write failed; delivered on the thread that owns the writer.
    void writeFailed(const QString& message);

private:
    struct Job
    {
        QString file;
        QByteArray bytes;
        bool remove = false;
    };
    void add(Job job);
    void run();

    QMutex m_mutex;
    QWaitCondition m_wake;
    QWaitCondition m_done;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::unique_ptr<QThread> m_thread;
};
