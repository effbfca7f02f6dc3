#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <utility>

// One confirmation a service sends for a QSO: a QSL record of LoTW's report, a card in
// eQSL's inbox, or one of the account's own records LoTW holds. The fields a match and
// the logbook need are read out by name; every field of the record is kept as it came,
// so that what the service adds (CREDIT_GRANTED, DXCC, STATE, ...) can be kept too.
struct Confirmation
{
    using Field = std::pair<QString, QString>;

    QString call;
    QString band;            // as the service wrote it ("20M", "70CM")
    QString mode;
    QString submode;
    QString modeGroup;       // APP_LoTW_MODEGROUP (CW, PHONE, DATA, IMAGE); empty when not given
    QDateTime start;         // QSO_DATE and TIME_ON in UTC; invalid when either is missing or bad
    QString qslReceived;     // QSL_RCVD
    QString qslReceivedDate; // QSLRDATE, YYYYMMDD as written
    QString creditGranted;   // CREDIT_GRANTED
    QString cqZone;          // CQZ
    QString ituZone;         // ITUZ
    QString gridsquare;      // GRIDSQUARE
    QString stationCallsign; // STATION_CALLSIGN, else APP_LoTW_OWNCALL
    QString satellite;       // SAT_NAME
    QString propagation;     // PROP_MODE
    // Every field of the record in its order, names in capitals.
    QList<Field> fields;

    // The value of the field `name` (in capitals); empty when the record has none.
    QString field(const QString &name) const;
    // A QSO through a satellite: it has a satellite name or the propagation mode SAT.
    bool isSatellite() const;
    // The record as ADIF, every field as it came ("<NAME:LENGTH>VALUE", the length in
    // UTF-8 bytes), ended by <EOR>.
    QByteArray toAdif() const;

    // The confirmation of one record's fields (names in capitals).
    static Confirmation fromFields(QList<Field> fields);
    // QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or HHMMSS) as a UTC time; invalid when
    // either is not such a text.
    static QDateTime startOf(const QString &date, const QString &time);
};
