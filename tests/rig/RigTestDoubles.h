#pragma once

#include "platform/ScriptedPrompter.h"
#include "rig/ReplyTimer.h"
#include "rig/RigDriver.h"
#include "rig/SerialPortOwner.h"
#include "rig/TrxOutcome.h"
#include "rig/TrxReading.h"
#include "rig/TrxReadingReceiver.h"

#include <QByteArray>
#include <QEventLoop>
#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QThread>

#include <functional>
#include <optional>

// Stands in for the serial driver: keeps every byte with its port number and the thread
// it was handed over on, and every failure; optionally acts on the first byte.
class RecordingOwner : public SerialPortOwner
{
public:
    int OnRxByte(unsigned char byte, int portNumber) override
    {
        bytes.append(static_cast<char>(byte));
        ports.append(portNumber);
        threads.append(QThread::currentThread());
        if (bytes.size() == 1 && onFirstByte)
            onFirstByte();
        return 0;
    }
    void OnPortFailed(const QString &message) override { failures.append(message); }

    QByteArray bytes;
    QList<int> ports;
    QList<QThread *> threads;
    QStringList failures;
    std::function<void()> onFirstByte;
};

// Stands in for one entry form.
class RecordingForm : public TrxReadingReceiver
{
public:
    void SetTrxReading(const TrxReading &reading) override { readings.append(reading); }
    QList<TrxReading> readings;
};

// A reply time-out that runs out only when the test says so.
class ManualReplyTimer : public ReplyTimer
{
    Q_OBJECT

public:
    void start(int milliseconds) override
    {
        m_running = true;
        m_milliseconds = milliseconds;
    }
    void stop() override { m_running = false; }
    bool running() const { return m_running; }
    int milliseconds() const { return m_milliseconds; }

public slots:
    void runOut()
    {
        if (std::exchange(m_running, false))
            emit expired();
    }

private:
    bool m_running = false;
    int m_milliseconds = 0;
};

// Makes the reply timers of a link's serial radios (on the link's thread) and lets the
// test run out the newest one there.
class ManualTimers
{
public:
    std::function<ReplyTimer *()> factory()
    {
        return [this] {
            auto *timer = new ManualReplyTimer;
            QMutexLocker lock(&m_mutex);
            m_newest = timer;
            return timer;
        };
    }
    // Queued to the timer's thread, after whatever that thread is doing now.
    void runOutNewest()
    {
        QMutexLocker lock(&m_mutex);
        if (m_newest)
            QMetaObject::invokeMethod(m_newest.data(), &ManualReplyTimer::runOut, Qt::QueuedConnection);
    }

private:
    QMutex m_mutex;
    QPointer<ManualReplyTimer> m_newest;
};

// Plays real message boxes: each stays open, with events running under it as under a
// modal box, until `whileShown` has returned. Records how many were open at once.
class ModalPrompter : public ScriptedPrompter
{
public:
    void message(Icon icon, const QString &text) override
    {
        ScriptedPrompter::message(icon, text);
        ++open;
        mostOpenAtOnce = std::max(mostOpenAtOnce, open);
        if (whileShown) {
            const std::function<void()> action = std::exchange(whileShown, nullptr);
            action();
        }
        --open;
    }

    std::function<void()> whileShown;
    int open = 0;
    int mostOpenAtOnce = 0;
};

// The outcome of one read of a driver on this thread, waited for.
inline std::optional<TrxOutcome> readOnce(RigDriver &driver, const RigDriver::Request &request)
{
    QSignalSpy done(&driver, &RigDriver::readDone);
    driver.Read(request);
    if (done.isEmpty() && !done.wait(10000))
        return std::nullopt;
    return done.first().first().value<TrxOutcome>();
}

inline char *toString(const TrxReading &reading)
{
    return qstrdup(QStringLiteral("{%1, %2, %3, %4}")
                       .arg(reading.frequency, reading.band)
                       .arg(reading.modePosition)
                       .arg(reading.reports)
                       .toUtf8()
                       .constData());
}

inline char *toString(const TrxMessage &message)
{
    return qstrdup(QStringLiteral("{%1, %2, %3}")
                       .arg(int(message.kind))
                       .arg(int(message.icon()))
                       .arg(message.text)
                       .toUtf8()
                       .constData());
}
