#pragma once

#include "CSerialPort.h"
#include "RigDriver.h"
#include "SerialPortOwner.h"

#include <QByteArray>
#include <QString>

#include <array>

class ReplyTimer;

// The FT-897 and the FT-1000mp on the serial port: a read writes the 5-byte command of
// the type asked for and waits up to 2 seconds for a reply of exactly its length. The
// bytes of the port number asked for are collected (those of another port are refused),
// the first kRxBufferSize of them kept; those that come between reads are discarded by
// the next one.
class SerialRigDriver : public RigDriver, public SerialPortOwner
{
    Q_OBJECT

public:
    static constexpr int kRxBufferSize = 2000;
    static constexpr int kReplyTimeoutMs = 2000;

    // Opens COM commPort, or `devicePath` when given. `timer` (taken over) times the
    // replies; without one a real timer does.
    SerialRigDriver(int commPort, const QString &devicePath, ReplyTimer *timer = nullptr, QObject *parent = nullptr);

    bool Serves(int rig) const override;
    bool IsOpen() const override { return m_port.IsOpen(); }
    // Opens and starts monitoring the port; a refused setting comes before
    // "Communication port for Tx/Rx not found !\nCheck your setup...".
    QList<TrxMessage> Open() override;
    void Close() override;

    int OnRxByte(unsigned char byte, int portNumber) override;
    void OnRxDrained() override;
    void OnPortFailed(const QString &message) override;

    int RxCount() const { return m_rxCount; }
    QByteArray RxBytes() const;
    const CSerialPort &Port() const { return m_port; }

protected:
    void StartRead(const Request &request) override;

private:
    void OnTimeout();
    void Finish(const TrxOutcome &outcome);

    CSerialPort m_port;
    ReplyTimer *m_timer;
    int m_commPort;
    QString m_devicePath;
    std::array<unsigned char, kRxBufferSize> m_rxBuffer{};
    int m_rxCount = 0;
    int m_acceptedPort = 0;
    int m_readRig = 0;
    int m_replyLength = 0; // while a read waits, else 0
};
