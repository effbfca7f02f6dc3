#pragma once

#include <QString>

class QSettings;

// The transceiver settings kept in the per-user settings store, section "Transceiver":
// how to reach a radio through Hamlib, and whether the logbook follows the radio.
struct TrxSettings
{
    int hamlibModel = 0;    // "HamlibModel": Hamlib's model number, 0 when none is chosen
    QString hamlibPort;     // "HamlibPort": "com1" to "com9" (the COM mapping) or a device path
    int hamlibSpeed = 0;    // "HamlibSpeed": baud; 0 leaves the model's own
    QString rigctldAddress; // "RigctldAddress": host:port of a running rigctld; empty: the port
    bool follow = false;    // "Follow": fill the active form from the radio every second

    static TrxSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    // The same in the program's settings store.
    static TrxSettings load();
    void save() const;

    // The device of hamlibPort: "comN" in any case goes through the COM mapping.
    QString hamlibDevicePath() const;

    // The same radio on the same line (Follow aside).
    bool sameRadio(const TrxSettings &other) const;
    bool operator==(const TrxSettings &other) const;
    bool operator!=(const TrxSettings &other) const { return !(*this == other); }
};
