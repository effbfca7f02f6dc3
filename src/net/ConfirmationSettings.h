#pragma once

#include <QString>

class QSettings;

// The accounts of the confirmation services and what counts as confirmed, kept in the
// per-user settings store, section "Confirmations". No password is kept here: those
// live in the CredentialStore.
struct ConfirmationSettings
{
    // What the statistics and reports count as confirmed.
    enum ConfirmedMeans { QslCard = 0, Lotw = 1, CardOrLotw = 2 };

    QString lotwUser;                                             // "LotwUser"
    QString lotwUrl = QStringLiteral("https://lotw.arrl.org/lotwuser/"); // "LotwUrl"
    QString tqslProgram = QStringLiteral("tqsl");                 // "TqslProgram"
    QString eqslUser;                                             // "EqslUser"
    QString eqslUrl = QStringLiteral("https://www.eqsl.cc/qslcard/"); // "EqslUrl"
    QString clubLogEmail;                                         // "ClubLogEmail"
    QString clubLogCallsign;                                      // "ClubLogCallsign"
    QString clubLogApiKey;                                        // "ClubLogApiKey"
    QString clubLogUrl = QStringLiteral("https://clublog.org/");  // "ClubLogUrl"
    ConfirmedMeans confirmedMeans = CardOrLotw;                   // "ConfirmedMeans": 0, 1 or 2

    static ConfirmationSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    // The same in the program's settings store.
    static ConfirmationSettings load();
    void save() const;

    bool operator==(const ConfirmationSettings &other) const;
    bool operator!=(const ConfirmationSettings &other) const { return !(*this == other); }
};
