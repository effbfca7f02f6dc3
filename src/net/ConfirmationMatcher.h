#pragma once

#include "Confirmation.h"
#include "QsoCandidate.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Which logbook QSO a confirmation confirms. A QSO matches when
//  - its call is the same, ignoring letter case and a portable suffix (/P, /M, /QRP,
//    /MM, /AM, ...) that one side may have and the other not,
//  - its band is the same, or for a QSO through a satellite the satellite is,
//  - its mode is the same, or in the same mode group (CW, PHONE, DATA, IMAGE; a group
//    LoTW gives with the confirmation counts as given),
//  - it started at most 30 minutes before or after.
// Of several, the one closest in time wins, and of those the one with the lowest row.
//
// The QSOs are added once and kept by their call, compactly (a logbook of a million
// QSOs takes some tens of megabytes), so that each confirmation looks only at the QSOs
// with its call.
class ConfirmationMatcher
{
public:
    static constexpr qint64 kWindowSeconds = 30 * 60;

    ConfirmationMatcher() = default;

    void reserve(qsizetype qsos);
    void addQso(const QsoCandidate &qso);
    qsizetype size() const { return m_size; }

    // The row of the QSO the confirmation confirms; nothing when none matches.
    std::optional<qint64> match(const Confirmation &confirmation) const;
    // The same for a list of candidates.
    static std::optional<qint64> pick(const Confirmation &confirmation, const QList<QsoCandidate> &candidates);

    // The mode group of a mode: CW; PHONE for SSB, USB, LSB, AM, FM and digital voice
    // (DIGITALVOICE, C4FM, DSTAR, DMR, FREEDV, M17); IMAGE for SSTV, ATV and FAX; DATA
    // for every other mode; empty for no mode. The submode counts when the mode is empty.
    static QString modeGroup(QStringView mode, QStringView submode = {});
    // The call in capitals without the portable suffixes at its end.
    static QString baseCall(QStringView call);
    // The band as one text for both sides: "20m", "20M" and "20" are "20".
    static QString bandKey(QStringView band);

private:
    enum Group : quint8 { NoGroup, Cw, Phone, Data, Image };
    struct Entry
    {
        qint64 rowId;
        qint64 start;     // seconds since the epoch, UTC
        quint32 band;     // names by number; 0: none
        quint32 mode;
        quint32 satellite;
        Group group;
    };

    static Group groupOf(QStringView mode, QStringView submode);
    quint32 intern(const QString &name);
    // The number of a name, 0 when it is empty, -1 when no QSO has it.
    qint64 numberOf(const QString &name) const;

    QHash<QString, QList<Entry>> m_byCall;
    QHash<QString, quint32> m_names;
    qsizetype m_size = 0;
};
