#pragma once

#include <QString>

class QSettings;

// How Korva3 listens to WSJT-X, JTDX and JS8Call, kept in the per-user settings store,
// section "WSJT-X".
struct WsjtxSettings
{
    bool enabled = false;          // "Enabled": listen at all
    int port = 2237;               // "Port": the UDP port the programs send to
    QString multicastGroup;        // "MulticastGroup": e.g. 239.255.0.1; empty: unicast only
    QString interfaceName;         // "Interface": the group's network interface; empty: every one
    bool secondaryEnabled = false; // "SecondaryEnabled": also take plain ADIF datagrams
    int secondaryPort = 2333;      // "SecondaryPort": where those come
    bool follow = false;           // "Follow": an empty entry form follows the Status messages
    QString logbook;               // "Logbook": the logbook file QSOs go into; empty: the active one

    static WsjtxSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    // The same in the program's settings store.
    static WsjtxSettings load();
    void save() const;

    bool operator==(const WsjtxSettings &other) const;
    bool operator!=(const WsjtxSettings &other) const { return !(*this == other); }
};
