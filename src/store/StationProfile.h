#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One station an operator logs from: its call, operator, location and equipment, under a
// name of the operator's choice. A new QSO keeps the active profile's values as its ADIF
// fields (STATION_CALLSIGN, MY_GRIDSQUARE, ...), which LoTW's station locations and
// Club Log match on; imported QSOs keep their own.
struct StationProfile
{
    // One value of the profile: the ADIF field it becomes on a QSO, its label in Setup,
    // its length limit, and whether a QSO keeps it (the power goes into the form's
    // Power field, the LoTW location names TQSL's station location).
    struct Field
    {
        const char *adifName;
        const char *label;
        int limit;
        bool keptOnQso;
    };
    static const QList<Field> &fields();

    qint32 id = 0; // 0 for a profile not stored yet
    QString name;
    // Values by ADIF name, in the order of fields(); empty for none.
    QList<QString> values = QList<QString>(fields().size());

    QString value(const QByteArray &adifName) const;
    void setValue(const QByteArray &adifName, const QString &value);
};
