#pragma once

#include "CSerialPort.h"
#include "SerialPortOwner.h"
#include "TrxReading.h"
#include "TrxType.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <functional>

class QThread;
class Sqlite3DB;
class TrxReadingReceiver;

// The transceiver link of the main window, without the window: the serial port opened
// at start-up from the parameters "rig" and "comm", the bytes it receives, and the
// frequency query ("Get TRX freq") that runs on a short-lived thread of its own and fills
// every entry form with frequency, band, mode position and reports.
//
// The main window owns one, forwards its "Get TRX freq" command and update to
// OnGetTrxFreq and OnUpdateGetTrxFreq, and tells it through SetReceivers how to reach
// the entry forms that are open when a reading arrives. Everything but the query thread
// runs on the thread that created the link.
class CTrxLink : public QObject, public SerialPortOwner
{
    Q_OBJECT

public:
    static constexpr int kRxBufferSize = 2000;
    static constexpr int kLookIntervalMs = 10;
    static constexpr int kLooks = 200;

    using Receivers = std::function<QList<TrxReadingReceiver *>()>;

    explicit CTrxLink(QObject *parent = nullptr);
    ~CTrxLink() override;

    // Start-up: "rig" and "comm" from the program database (a text that is no number
    // counts 0), then OpenLink.
    void OpenLink(Sqlite3DB &db);
    // Rig 0 or below: no link, nothing shown. Rig 1 or 2: opens "COM commPort" (or
    // `devicePath` when given) and starts its worker. A port that cannot be opened, or a
    // rig of 3 or more, shows "Communication port for Tx/Rx not found !\nCheck your
    // setup...". True when the port is open and monitored.
    bool OpenLink(int rig, int commPort, const QString &devicePath = QString());

    // The port's bytes: those of another port are refused (-1); the others are kept in
    // order, and those beyond kRxBufferSize are dropped.
    int OnRxByte(unsigned char byte, int portNumber) override;

    // "Get TRX freq" is enabled while a transceiver type is set.
    bool OnUpdateGetTrxFreq() const { return m_rig > 0; }
    // Starts a query and returns at once; does nothing while a query is still waiting.
    void OnGetTrxFreq();
    bool QueryWaiting() const;

    // The setup dialog's values take effect at once; the port stays as opened.
    int Rig() const { return m_rig; }
    void SetRig(int rig) { m_rig = rig; }
    int CommPort() const { return m_commPort; }
    void SetCommPort(int commPort) { m_commPort = commPort; }

    void SetReceivers(Receivers receivers) { m_receivers = std::move(receivers); }

    int RxCount() const { return m_rxCount; }
    QByteArray RxBytes() const;
    CSerialPort &Port() { return m_port; }

signals:
    // After a query has filled the forms or shown its message.
    void queryEnded();

private:
    void QueryTrxFrequency(int rig);
    bool WaitForReply(int length);
    void SendCommand();
    void DeliverReading(const TrxReading &reading);
    void ReportNoReply();

    CSerialPort m_port;
    QThread *m_queryThread = nullptr;
    bool m_queryWaiting = false; // from the start of a query until its result is handled
    std::atomic<bool> m_abortQuery{false};
    std::array<unsigned char, kRxBufferSize> m_rxBuffer{};
    std::atomic<int> m_rxCount{0};
    QByteArray m_command;
    int m_commPort = 0;
    int m_rig = 0;
    Receivers m_receivers;
};
