#pragma once

#include <csignal>
#include <sys/resource.h>

// A real "file too large" failure for as long as the object lives: no file of this
// process may grow beyond `bytes`. Children started meanwhile inherit the limit.
//
// By default SIGXFSZ is ignored meanwhile, so writes past the limit fail (EFBIG) even
// in a process that does not ignore the signal itself; children inherit that too.
// Signal::AsTheProcessHasIt leaves the signal alone, as a shell's `ulimit -f` does:
// the process must then ignore it itself or be ended by it. The previous limit and
// signal disposition come back when the object goes.
class FileSizeLimit
{
public:
    enum class Signal { Ignored, AsTheProcessHasIt };

    explicit FileSizeLimit(rlim_t bytes, Signal signal = Signal::Ignored)
        : m_touchesSignal(signal == Signal::Ignored)
    {
        if (m_touchesSignal)
            m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = ::getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_active = m_active && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_previous);
        if (m_touchesSignal)
            std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be set (the test should skip then).
    bool isActive() const { return m_active; }

    // In a child process between fork and exec (QProcess::setChildProcessModifier):
    // the limit with SIGXFSZ at its default, as a shell's `ulimit -f` starts a program.
    static void setInChild(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_touchesSignal;
    bool m_active = false;
};
