#pragma once

#include "RigDriver.h"
#include "TrxConnection.h"

#include <QObject>

#include <functional>
#include <memory>

class ReplyTimer;

// The link's side on its own thread: holds the driver of the radio in use and runs its
// opens and reads there, so that the window never waits for the radio. Everything is
// called through queued calls; the results go back as signals.
class TrxLinkWorker : public QObject
{
    Q_OBJECT

public:
    // Makes the reply timer of a serial driver, on the link's thread.
    using TimerFactory = std::function<ReplyTimer *()>;

    TrxLinkWorker();
    ~TrxLinkWorker() override;

    void SetTimerFactory(TimerFactory factory) { m_timerFactory = std::move(factory); }

    // Drops the driver in use and, for a transceiver type with one, makes and opens the
    // new driver; `opened` follows then.
    void Open(const TrxConnection &connection);
    // Without a driver (no transceiver type with one) the reading is empty.
    void Read(const RigDriver::Request &request);
    // Without a driver, or with one that cannot tune, the outcome is empty.
    void Tune(const RigDriver::TuneRequest &request);
    void Shutdown();

signals:
    void opened(const QList<TrxMessage> &messages);
    void readDone(const TrxOutcome &outcome);
    void tuned(const TrxOutcome &outcome);
    void failed(const TrxMessage &message);

private:
    std::unique_ptr<RigDriver> MakeDriver(const TrxConnection &connection) const;

    std::unique_ptr<RigDriver> m_driver;
    TimerFactory m_timerFactory;
};
