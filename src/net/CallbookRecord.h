#pragma once

#include <QMetaType>
#include <QString>

// What a callbook tells about a call: the fields a QSO takes (name, QTH, grid, QSL
// manager) and what QRZ.com and HamQTH both give besides. Texts as the service gives
// them, without the blanks around them; numbers 0 when the service gives none.
struct CallbookRecord
{
    QString call;        // in capitals
    QString name;        // the name to address the operator by (nickname, else first name)
    QString fullName;    // first and last name
    QString qth;         // town or city
    QString grid;        // Maidenhead locator
    QString qslManager;  // "via ..." of the record
    QString country;     // the entity's name
    QString state;       // US state
    QString iota;        // IOTA reference
    QString email;
    int dxcc = 0;        // entity number
    int cqZone = 0;
    int ituZone = 0;

    bool operator==(const CallbookRecord &other) const
    {
        return call == other.call && name == other.name && fullName == other.fullName && qth == other.qth
            && grid == other.grid && qslManager == other.qslManager && country == other.country
            && state == other.state && iota == other.iota && email == other.email && dxcc == other.dxcc
            && cqZone == other.cqZone && ituZone == other.ituZone;
    }
    bool operator!=(const CallbookRecord &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(CallbookRecord)
