#include "LineDeadline.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

namespace {

LineDeadline::Line lineOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino, true};
}

bool hungUp(int fd)
{
    pollfd line{fd, POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

LineDeadline::Line LineDeadline::Line::ofPath(const char *path)
{
    struct stat info{};
    return ::stat(path, &info) == 0 ? lineOf(info) : Line();
}

LineDeadline::Line LineDeadline::Line::ofDescriptor(int fd)
{
    struct stat info{};
    return fd >= 0 && ::fstat(fd, &info) == 0 ? lineOf(info) : Line();
}

LineDeadline::LineDeadline(const int &fd, const Line &line, int milliseconds)
    : m_fd(fd)
    , m_line(line)
{
    if (m_line.valid)
        m_watcher = std::thread([this, milliseconds] { watch(milliseconds); });
}

LineDeadline::~LineDeadline()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_all();
    if (m_watcher.joinable())
        m_watcher.join();
}

bool LineDeadline::expired() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_expired;
}

// The time runs out, or the line hangs up before (a hung-up terminal is where the
// library spins): then the line goes at once.
void LineDeadline::watch(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds kLookEvery{20};
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_done.wait_for(lock, kLookEvery, [this] { return m_finished; })) {
        // The library writes the field on its own thread; one aligned load reads it whole.
        const int fd = __atomic_load_n(&m_fd, __ATOMIC_RELAXED);
        if (!(Line::ofDescriptor(fd) == m_line))
            continue;
        if (Clock::now() < end && !hungUp(fd))
            continue;
        const int dead = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        m_expired = dead >= 0 && ::dup3(dead, fd, O_CLOEXEC) >= 0;
        if (dead >= 0)
            ::close(dead);
        return;
    }
}
