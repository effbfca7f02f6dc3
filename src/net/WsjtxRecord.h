#pragma once

#include "WsjtxMessage.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The ADIF records that come over UDP, as the logbook takes them: one record's text,
// "<NAME:LENGTH>VALUE" fields separated by blanks and ended by "<EOR>", each LENGTH the
// number of UTF-8 bytes of its value.
namespace WsjtxRecord {

// The record of a QSO Logged message, for senders that send no Logged ADIF: CALL,
// GRIDSQUARE, MODE (and SUBMODE, "MFSK" with "FT4" for FT4), FREQ in MHz, BAND from
// the frequency, QSO_DATE and TIME_ON (from the time off when the sender sent no time
// on), QSO_DATE_OFF, TIME_OFF, RST_SENT, RST_RCVD, TX_PWR, COMMENT, NAME, OPERATOR,
// STATION_CALLSIGN, MY_GRIDSQUARE, STX_STRING, SRX_STRING, PROP_MODE. Values are on
// one line (a control character becomes a blank) and trimmed; empty ones are left out.
QByteArray fromQsoLogged(const WsjtxMessage::QsoLogged &qso);

// The records of an ADIF text (a Logged ADIF message, a datagram of the secondary ADIF
// port): behind its header when it has one ("<EOH>" in any letter case), every record
// that holds a field, written again one by one with their fields as read. A last
// record without "<EOR>" counts as well.
QList<QByteArray> recordsOf(const QByteArray &adifText);

// What makes two records the same QSO for a listener that hears it more than once:
// CALL in capitals, QSO_DATE, TIME_ON to the minute, the band (of FREQ, else BAND) and
// the mode (SUBMODE, else MODE, in capitals), joined by "|".
QString identity(const QByteArray &record);

// The value of the record's field `name` (in any letter case), trimmed; empty when the
// record has none.
QByteArray fieldValue(const QByteArray &record, QByteArrayView name);

// The record with each of `fields` that it does not hold already (by name, in any
// letter case) added before its "<EOR>": a station's own fields for a QSO whose
// sender left them out. A record that names another STATION_CALLSIGN than `fields`
// is of another station and gets none of them.
QByteArray withMissingFields(const QByteArray &record, const QList<Sqlite3DB::UM_QSOFIELD> &fields);

// The ADIF mode and submode of a mode as WSJT-X names it: FT4, FST4, FST4W, JS8, JTMS
// and Q65 are submodes of MFSK; any other mode stands for itself, in capitals.
void adifMode(const QString &mode, QByteArray &adifMode, QByteArray &adifSubmode);

// A frequency in Hz as an ADIF FREQ in MHz with at least three decimals: "14.074",
// "14.0755", "1296.000"; empty for 0.
QByteArray frequencyMHz(quint64 hz);

} // namespace WsjtxRecord
