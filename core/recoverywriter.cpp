#include "recoverywriter.h"

#include "atomicfile.h"

#include <QFile>
#include <QThread>

RecoveryWriter::RecoveryWriter() : m_thread(QThread::create([this] { run(); }))
{
    m_thread->start();
}

RecoveryWriter::~RecoveryWriter()
{
    {
        const QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_wake.wakeAll();
    }
    m_thread->wait();
}

void RecoveryWriter::write(const QString& file, const QByteArray& bytes)
{
    add({file, bytes, false});
}

void RecoveryWriter::remove(const QString& file)
{
    add({file, {}, true});
}

void RecoveryWriter::add(Job job)
{
    const QMutexLocker lock(&m_mutex);
    m_jobs.push_back(std::move(job));
    m_wake.wakeAll();
}

void RecoveryWriter::waitUntilDone()
{
    QMutexLocker lock(&m_mutex);
    while (m_busy || !m_jobs.empty())
        m_done.wait(&m_mutex);
}

void RecoveryWriter::run()
{
    QMutexLocker lock(&m_mutex);
    for (;;) {
        m_done.wakeAll();
        // Stopping drains the queue first: the window's last state must reach the disk.
        while (m_jobs.empty() && !m_stop)
            m_wake.wait(&m_mutex);
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        const bool replaced = !job.remove && !m_jobs.empty() && m_jobs.front().file == job.file;
        if (replaced)
            continue;
        m_busy = true;
        lock.unlock();
        QString failure;
        if (job.remove)
            QFile::remove(job.file);
        else if (const FileResult written = atomicfile::replace(job.file, job.bytes); written.isFailed())
            failure = written.message();
        lock.relock();
        m_busy = false;
        if (!failure.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, failure] { Q_EMIT writeFailed(failure); }, Qt::QueuedConnection);
    }
}
