#pragma once

#include <QFile>
#include <QStringList>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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
#endif
        result.wait_for(std::chrono::seconds(1));
    }
    worker.join();
    return result.get();
}
