#include "Confirmation.h"

QString Confirmation::field(const QString &name) const
{
    for (const Field &f : fields) {
        if (f.first == name)
            return f.second;
    }
    return QString();
}

bool Confirmation::isSatellite() const
{
    return !satellite.isEmpty() || propagation.compare(QLatin1String("SAT"), Qt::CaseInsensitive) == 0;
}

QByteArray Confirmation::toAdif() const
{
    QByteArray adif;
    for (const Field &f : fields) {
        const QByteArray value = f.second.toUtf8();
        adif += '<' + f.first.toUtf8() + ':' + QByteArray::number(value.size()) + '>' + value + ' ';
    }
    return adif + "<EOR>";
}

Confirmation Confirmation::fromFields(QList<Field> fields)
{
    Confirmation c;
    QString date;
    QString time;
    QString ownCall;
    // Later fields of the same name win, as a reader of the record would take them.
    const struct
    {
        const char *name;
        QString Confirmation::*member;
    } named[] = {
        {"CALL", &Confirmation::call},
        {"BAND", &Confirmation::band},
        {"MODE", &Confirmation::mode},
        {"SUBMODE", &Confirmation::submode},
        {"APP_LOTW_MODEGROUP", &Confirmation::modeGroup},
        {"QSL_RCVD", &Confirmation::qslReceived},
        {"QSLRDATE", &Confirmation::qslReceivedDate},
        {"CREDIT_GRANTED", &Confirmation::creditGranted},
        {"CQZ", &Confirmation::cqZone},
        {"ITUZ", &Confirmation::ituZone},
        {"GRIDSQUARE", &Confirmation::gridsquare},
        {"STATION_CALLSIGN", &Confirmation::stationCallsign},
        {"SAT_NAME", &Confirmation::satellite},
        {"PROP_MODE", &Confirmation::propagation},
    };
    for (const Field &f : fields) {
        if (f.first == QLatin1String("QSO_DATE"))
            date = f.second;
        else if (f.first == QLatin1String("TIME_ON"))
            time = f.second;
        else if (f.first == QLatin1String("APP_LOTW_OWNCALL"))
            ownCall = f.second;
        for (const auto &n : named) {
            if (f.first == QLatin1String(n.name))
                c.*(n.member) = f.second.trimmed();
        }
    }
    if (c.stationCallsign.isEmpty())
        c.stationCallsign = ownCall.trimmed();
    c.start = startOf(date.trimmed(), time.trimmed());
    c.fields = std::move(fields);
    return c;
}

QDateTime Confirmation::startOf(const QString &date, const QString &time)
{
    const QDate day = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
    QTime at;
    if (time.size() == 4)
        at = QTime::fromString(time, QStringLiteral("HHmm"));
    else if (time.size() == 6)
        at = QTime::fromString(time, QStringLiteral("HHmmss"));
    if (!day.isValid() || !at.isValid())
        return QDateTime();
    return QDateTime(day, at, Qt::UTC);
}
