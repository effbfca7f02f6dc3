#pragma once

#include "RigDriver.h"
#include "TrxSettings.h"

struct s_rig;

// Every other radio, through Hamlib: the model of the settings on its serial port (the
// COM mapping or a device path, at the model's speed unless one is set), or whatever a
// running rigctld drives, through Hamlib's network model.
//
// A failed open says "Communication port for Tx/Rx not found !\nCheck your setup..."
// (for rigctld, "rigctld at HOST:PORT does not answer\nCheck your setup..."); a failed
// read says "Check configuration or\nserial cable to trx..." and, unless the radio
// merely did not answer in time, counts as a lost line: it is closed, so that the next
// read opens it again. Hamlib's own error text goes to the korva3.rig log. Hamlib's
// calls block, so the driver runs only on the link's thread.
//
// The serial line is looked at before every call (see below); a radio that breaks while
// it is tuned is let go as in a read.
//
// Hamlib 4.5 never returns from a read on a serial device that has gone away (a hung-up
// terminal): it spins on it. So the line is looked at before every read and let go when
// it hung up, and a read that has not ended after 1.5 seconds is ended (LineDeadline)
// and its line let go, whatever Hamlib was doing.
class HamlibRigDriver : public RigDriver
{
    Q_OBJECT

public:
    explicit HamlibRigDriver(const TrxSettings &settings, QObject *parent = nullptr);
    ~HamlibRigDriver() override;

    bool Serves(int rig) const override;
    bool IsOpen() const override { return m_rig != nullptr; }
    QList<TrxMessage> Open() override;
    void Close() override;
    bool CanTune() const override { return true; }

protected:
    void StartRead(const Request &request) override;
    // Sets the frequency, then the mode when one is asked for, and reads the radio back.
    // A value the radio refuses is logged and the read shows where it stands; a line
    // that fails ends the tune as it ends a read.
    void StartTune(const TuneRequest &request) override;

private:
    bool Configure(s_rig *rig, bool network);
    bool SetConfiguration(s_rig *rig, const char *name, const QString &value);
    TrxOutcome ReadRadio();
    std::optional<TrxOutcome> SettingFailed(const char *what, int status);
    TrxOutcome ReadFailed(const char *what, int status);
    bool LineHungUp() const;

    TrxSettings m_settings;
    s_rig *m_rig = nullptr;
};
