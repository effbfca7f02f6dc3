#pragma once

#include "WsjtxStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// One datagram of the UDP protocol that WSJT-X, JTDX and JS8Call send to a logger,
// decoded without any I/O. The datagram is in QDataStream's big-endian form: a header
// of magic 0xadbccbda, schema (2 or 3), message type and the sender's Id, then the
// fields of the type. Texts are UTF-8 byte arrays (a quint32 length, 0xffffffff for a
// null text); a date and time is a Julian day (qint64), milliseconds of the day
// (quint32) and a time spec (quint8: 0 local, 1 UTC, 2 an offset from UTC in seconds
// as qint32 after it, 3 a time zone after it).
//
// Every time is taken as UTC: JTDX marks its UTC times as local time, so a local time
// is read as UTC too and never goes through this machine's time zone. An offset or a
// zone is applied to give UTC.
//
// Senders add fields at the end of a type over the years: fields after the last one
// read here are ignored, and the fields a type gained later may be missing (they keep
// their defaults). A datagram that ends inside a field, that lacks a field every sender
// writes, or whose header is not this protocol's decodes to no message.
struct WsjtxMessage
{
    enum class Kind { Heartbeat, Status, QsoLogged, Close, LoggedAdif, Unknown };

    static constexpr quint32 kMagic = 0xadbccbda;
    // The message type numbers on the wire of the kinds read here.
    static constexpr quint32 kHeartbeat = 0;
    static constexpr quint32 kStatus = 1;
    static constexpr quint32 kQsoLogged = 5;
    static constexpr quint32 kClose = 6;
    static constexpr quint32 kLoggedAdif = 12;

    struct Heartbeat
    {
        quint32 maxSchema = 2; // a sender that does not say knows schema 2
        QString version;
        QString revision;

        bool operator==(const Heartbeat &other) const
        {
            return maxSchema == other.maxSchema && version == other.version && revision == other.revision;
        }
    };

    // The fields of the "Log QSO" dialog the operator accepted. Times are UTC; a time
    // the sender did not send or sent as null is invalid.
    struct QsoLogged
    {
        QDateTime timeOff;
        QString dxCall;
        QString dxGrid;
        quint64 txFrequencyHz = 0;
        QString mode;
        QString reportSent;
        QString reportReceived;
        QString txPower;
        QString comments;
        QString name;
        // The fields from here on came later; older senders stop before them.
        QDateTime timeOn;
        QString operatorCall;
        QString myCall;
        QString myGrid;
        QString exchangeSent;
        QString exchangeReceived;
        QString propagationMode;

        bool operator==(const QsoLogged &other) const;
    };

    Kind kind = Kind::Unknown;
    quint32 schema = 3;
    quint32 type = 0;
    QString id;
    Heartbeat heartbeat;     // Heartbeat
    WsjtxStatus status;      // Status; its id is the header's
    QsoLogged qso;           // QsoLogged
    QByteArray adif;         // LoggedAdif: an ADIF file of one record, as sent

    // The message of one datagram; nothing, with the reason in `why` (for the log), when
    // the datagram is not one this protocol's senders send. A type not read here gives
    // a message of kind Unknown with its header.
    static std::optional<WsjtxMessage> decode(const QByteArray &datagram, QString *why = nullptr);

    static Kind kindOfType(quint32 type);

    bool operator==(const WsjtxMessage &other) const;
    bool operator!=(const WsjtxMessage &other) const { return !(*this == other); }
};
