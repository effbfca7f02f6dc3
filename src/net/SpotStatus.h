#pragma once

#include <QMetaType>
#include <QString>

// What a spot means to the operator's logbook: the entity its call resolves to, and
// whether that entity is still needed on the spot's band and in its mode.
struct SpotStatus
{
    // From the most needed down; Unknown when the call resolves to no entity or no
    // logbook is there to compare with.
    enum class Kind { Unknown, NewEntity, NewBand, NewMode, Worked, Confirmed };
    // The modes as the statistics count them, one line each of the worked/confirmed grid:
    // CW, phone (SSB, FM, AM) and the digital modes.
    enum class ModeClass { Unknown = -1, Cw = 0, Phone = 1, Digital = 2 };

    int entity = 0;
    QString country;   // the entity's name
    QString continent; // "EU", "NA", ...; empty when the entity is not known
    QString band;      // the band label of the frequency ("20"); empty outside the bands
    QString mode;      // the mode guessed from the comment and the band plan ("CW", "FT8")
    ModeClass modeClass = ModeClass::Unknown;
    Kind kind = Kind::Unknown;
    // This very call was worked before on the spot's band in its mode class.
    bool callWorkedBefore = false;

    // A new entity, band or mode: what "needed only" shows.
    bool isNeeded() const { return kind == Kind::NewEntity || kind == Kind::NewBand || kind == Kind::NewMode; }

    // "NEW_DXCC", "NEW_BAND", "NEW_MODE", "WORKED", "CONFIRMED"; empty for Unknown.
    static QString code(Kind kind);
    // "New entity", "New band", "New mode", "Worked", "Confirmed"; empty for Unknown.
    static QString text(Kind kind);
};

Q_DECLARE_METATYPE(SpotStatus)
