#pragma once

#include "net/WsjtxMessage.h"

#include <QByteArray>
#include <QString>

// Writes the datagrams of the UDP protocol of WSJT-X, JTDX and JS8Call as those
// programs send them, for the simulator, the tests and the fuzz target: the header
// (magic, schema, type, Id) and the fields of the message's kind, every field that
// WsjtxMessage reads. A null text is written as null (length 0xffffffff), an invalid
// time as a null date and time.
class WsjtxEncoder
{
public:
    // How times are marked: as UTC (WSJT-X); the UTC clock marked as local time (JTDX);
    // or the clock of a zone `offsetSeconds` ahead of UTC, marked with that offset.
    enum class Times { Utc, MarkedLocal, Offset };

    explicit WsjtxEncoder(Times times = Times::Utc, qint32 offsetSeconds = 0);

    // The datagram of `message`, with its schema, type and Id (a message of kind
    // Unknown is its header alone).
    QByteArray encode(const WsjtxMessage &message) const;

    // A message of `kind` with the type number that goes with it.
    static WsjtxMessage message(WsjtxMessage::Kind kind, const QString &id, quint32 schema = 3);
    // The text of a Logged ADIF message for the QSO: an ADIF header naming the program,
    // then the QSO's record.
    static QByteArray loggedAdifText(const WsjtxMessage::QsoLogged &qso, const QString &programId);

private:
    void appendDateTime(QByteArray &out, const QDateTime &utc) const;

    Times m_times;
    qint32 m_offsetSeconds;
};
