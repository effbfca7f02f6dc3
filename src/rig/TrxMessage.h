#pragma once

#include "platform/Prompter.h"

#include <QMetaType>
#include <QString>

// One message box of the transceiver link. What went wrong decides the box's icon, and
// whether the box is shown for a reading of "Follow the radio" too.
struct TrxMessage
{
    enum class Kind {
        PortNotFound,   // "Communication port for Tx/Rx not found !\nCheck your setup..." (exclamation)
        SettingRefused, // a line setting the device refused: "SetCommState()", ... (stop icon)
        NoReply,        // "Check configuration or\nserial cable to trx..." (no icon)
        LineBroke,      // the open line failed: "ReadFile()", "WriteFile()", ... (stop icon)
        LineLost,       // a Hamlib radio that went away: the no-reply text (no icon)
    };

    Kind kind = Kind::NoReply;
    QString text;

    static TrxMessage portNotFound();
    // The port-not-found message of a radio behind rigctld at `address` (HOST:PORT).
    static TrxMessage rigctldSilent(const QString &address);
    static TrxMessage settingRefused(const QString &text);
    static TrxMessage noReply();
    static TrxMessage lineBroke(const QString &text);
    static TrxMessage lineLost();

    Prompter::Icon icon() const;
    // The open line broke (and was closed): worth a box even while merely following.
    bool lineFailed() const { return kind == Kind::LineBroke || kind == Kind::LineLost; }

    bool operator==(const TrxMessage &other) const { return kind == other.kind && text == other.text; }
};

Q_DECLARE_METATYPE(TrxMessage)
