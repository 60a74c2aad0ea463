#pragma once

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>

// Lowers the file size limit of this process for a scope, so that writing more than `bytes` fails
// with EFBIG the way a full disk fails a write, without needing a small file system or root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool isActive() const { return m_ok; }

private:
    rlimit m_saved = {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_ok = false;
};
#endif
