#include "PtyTransceiver.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace {
constexpr int kFrameLength = 5;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

PtyTransceiver::PtyTransceiver(const TrxSimulator &simulator)
    : m_simulator(simulator)
{
}

PtyTransceiver::~PtyTransceiver()
{
    stop();
    if (m_log)
        std::fclose(m_log);
}

bool PtyTransceiver::setLogFile(const QString &path)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "a");
    if (!file)
        return false;
    std::setvbuf(file, nullptr, _IOLBF, 0);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_log)
        std::fclose(m_log);
    m_log = file;
    return true;
}

void PtyTransceiver::log(const char *what, const QByteArray &bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_log)
        std::fprintf(m_log, "%s: %s\n", what, bytes.toHex(' ').constData());
}

bool PtyTransceiver::start()
{
    if (m_thread.joinable())
        return true;
    if (!openPty() || ::pipe(m_stopPipe) != 0) {
        stop();
        return false;
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

bool PtyTransceiver::openPty()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return false;
    const char *name = ::ptsname(m_master);
    if (!name)
        return false;
    m_devicePath = QString::fromLocal8Bit(name);
    m_terminal = ::open(name, O_RDWR | O_NOCTTY);
    if (m_terminal < 0)
        return false;
    termios raw{};
    if (::tcgetattr(m_terminal, &raw) != 0)
        return false;
    ::cfmakeraw(&raw);
    return ::tcsetattr(m_terminal, TCSANOW, &raw) == 0;
}

void PtyTransceiver::stop()
{
    if (m_thread.joinable()) {
        const char wake = 0;
        while (::write(m_stopPipe[1], &wake, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    closeFd(m_stopPipe[0]);
    closeFd(m_stopPipe[1]);
    closeFd(m_terminal);
    closeFd(m_master);
    m_pending.clear();
    m_hungUp = false;
}

QByteArray PtyTransceiver::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

bool PtyTransceiver::send(const QByteArray &bytes)
{
    return writeAll(bytes);
}

void PtyTransceiver::setSimulator(const TrxSimulator &simulator)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_simulator = simulator;
}

int PtyTransceiver::unreadByClient() const
{
    int count = 0;
    return ::ioctl(m_terminal, FIONREAD, &count) == 0 ? count : -1;
}

PtyTransceiver::LineSettings PtyTransceiver::lineSettings() const
{
    LineSettings settings;
    termios line{};
    if (::tcgetattr(m_terminal, &line) != 0)
        return settings;
    switch (::cfgetospeed(&line)) {
    case B4800:
        settings.baud = 4800;
        break;
    case B9600:
        settings.baud = 9600;
        break;
    case B38400:
        settings.baud = 38400;
        break;
    default:
        settings.baud = -1;
        break;
    }
    const tcflag_t size = line.c_cflag & CSIZE;
    settings.dataBits = size == CS8 ? 8 : size == CS7 ? 7 : size == CS6 ? 6 : 5;
    settings.parity = !(line.c_cflag & PARENB) ? 'N' : (line.c_cflag & PARODD) ? 'O' : 'E';
    settings.stopBits = (line.c_cflag & CSTOPB) ? 2 : 1;
    settings.hardwareFlow = (line.c_cflag & CRTSCTS) != 0;
    return settings;
}

void PtyTransceiver::serve()
{
    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    char buffer[256];
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count > 0)
                take(buffer, static_cast<int>(count));
        }
        if (m_hungUp) {
            closeFd(m_terminal);
            closeFd(m_master);
            return;
        }
    }
}

// Commands are 5 bytes each; every complete one is answered in turn. Five bytes that
// make no known command lose their first byte, until a command lines up again.
void PtyTransceiver::take(const char *data, int count)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(data, count);
    }
    m_pending.append(data, count);
    while (m_pending.size() >= kFrameLength) {
        const QByteArray frame = m_pending.left(kFrameLength);
        if (!TrxSimulator::knows(frame)) {
            log("skipped", m_pending.left(1));
            m_pending.remove(0, 1);
            continue;
        }
        m_pending.remove(0, kFrameLength);
        log("received", frame);
        if (m_hangUp.exchange(false)) {
            m_hungUp = true;
            return;
        }
        QByteArray reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            reply = m_simulator.answer(frame);
        }
        if (!reply.isEmpty() && writeAll(reply))
            log("sent", reply);
    }
}

bool PtyTransceiver::writeAll(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += count;
    }
    return true;
}
