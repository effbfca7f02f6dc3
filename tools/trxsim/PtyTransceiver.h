#pragma once

#include "TrxSimulator.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

// A TrxSimulator on a pseudo-terminal, served by a thread of its own: the program under
// test opens devicePath() as its serial port. The simulator keeps the terminal side open
// itself (in raw mode), so clients can come and go. stop() takes the device away as an
// unplugged adapter does: a client that still has it open gets I/O errors.
//
// Commands are taken 5 bytes at a time. A byte that does not start a command the
// simulator knows (a stray byte on the line) is skipped, so the framing recovers.
class PtyTransceiver
{
public:
    explicit PtyTransceiver(const TrxSimulator &simulator);
    ~PtyTransceiver();
    PtyTransceiver(const PtyTransceiver &) = delete;
    PtyTransceiver &operator=(const PtyTransceiver &) = delete;

    // Opens the pseudo-terminal and starts serving; false when the system gives none.
    // After stop() it serves again, on a new device.
    bool start();
    void stop();

    QString devicePath() const { return m_devicePath; }
    // Every byte received from the client so far, in order.
    QByteArray received() const;
    // Sends bytes to the client unasked.
    bool send(const QByteArray &bytes);
    // The radio tuned elsewhere: the commands from now on are answered by `simulator`.
    void setSimulator(const TrxSimulator &simulator);
    // The radio dies in the middle of the next read: the next command it receives goes
    // unanswered and the device goes away, as stop() takes it (call stop() before
    // start() again).
    void hangUpAtNextCommand() { m_hangUp = true; }
    bool hungUp() const { return m_hungUp; }
    // Bytes sent to the client that it has not read yet; -1 when unknown.
    int unreadByClient() const;
    // Appends a line to the file at `path` for every command received ("received: 00 00
    // 00 00 03"), every reply sent ("sent: ...") and every stray byte skipped
    // ("skipped: 55"). False when the file cannot be opened.
    bool setLogFile(const QString &path);

    // The line settings the client gave the terminal.
    struct LineSettings
    {
        int baud = 0;
        int dataBits = 0;
        char parity = '?'; // N, E or O
        int stopBits = 0;
        bool hardwareFlow = false;
    };
    LineSettings lineSettings() const;

private:
    bool openPty();
    void serve();
    void take(const char *data, int count);
    bool writeAll(const QByteArray &bytes);
    void log(const char *what, const QByteArray &bytes);

    TrxSimulator m_simulator;
    int m_master = -1;
    int m_terminal = -1;
    int m_stopPipe[2] = {-1, -1};
    QString m_devicePath;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    QByteArray m_received;
    QByteArray m_pending; // bytes of a command not complete yet
    std::FILE *m_log = nullptr;
    std::atomic<bool> m_hangUp{false};
    std::atomic<bool> m_hungUp{false};
};
