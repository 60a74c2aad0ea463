#pragma once

#include <QFile>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

// Opens each FIFO from both ends without blocking, which releases any open, read or write waiting on it.
inline void releaseFifos(const QStringList& fifos)
{
#ifdef Q_OS_UNIX
    for (const QString& fifo : fifos) {
        const QByteArray native = QFile::encodeName(fifo);
        const int reader = ::open(native.constData(), O_RDONLY | O_NONBLOCK);
        const int writer = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        if (reader >= 0)
            ::close(reader);
    }
#else
    Q_UNUSED(fifos);
#endif
}

// For work that must stay on the calling thread (a window's): while it lives, a watcher thread waits;
// if the scope is still running after `limit`, it releases the FIFOs every second until the scope
// ends, and finish() then reports it.
class FifoWatchdog
{
public:
    explicit FifoWatchdog(const QStringList& fifos, std::chrono::seconds limit = std::chrono::seconds(30))
        : m_watcher([this, fifos, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_done.wait_for(lock, limit, [this] { return m_finished; }))
                  return;
              m_hung = true;
              while (!m_done.wait_for(lock, std::chrono::seconds(1), [this] { return m_finished; }))
                  releaseFifos(fifos);
          })
    {
    }
    ~FifoWatchdog() { finish(); }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // Ends the watch; true when the scope had to be released.
    bool finish()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        if (m_watcher.joinable())
            m_watcher.join();
        return m_hung;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::atomic<bool> m_hung = false;
    std::thread m_watcher;
};

// Runs `operation` on a worker thread. Should it still be running after `limit` (blocked in a FIFO,
// say), each FIFO in `fifos` is opened from both ends without blocking, which releases any open,
// read or write waiting on it, and `*hung` is set: the test then fails with a reason instead of
// stalling the whole run until the harness kills it.
template <typename Result>
Result runGuarded(const std::function<Result()>& operation, const QStringList& fifos, bool* hung,
                  std::chrono::seconds limit = std::chrono::seconds(30))
{
    std::packaged_task<Result()> task(operation);
    std::future<Result> result = task.get_future();
    std::thread worker(std::move(task));
    *hung = result.wait_for(limit) != std::future_status::ready;
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        releaseFifos(fifos);
        result.wait_for(std::chrono::seconds(1));
    }
    worker.join();
    return result.get();
}
