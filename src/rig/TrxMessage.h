#pragma once

#include "platform/Prompter.h"

#include <QMetaType>
#include <QString>

// One message box of the transceiver link: its text, its icon, and what went wrong.
struct TrxMessage
{
    // Open: the radio's line could not be opened or set up. Reply: the radio did not
    // answer as asked. Line: the open line broke (the device went away, a read or a
    // write failed); the line is closed then.
    enum class Kind { Open, Reply, Line };

    Kind kind = Kind::Reply;
    Prompter::Icon icon = Prompter::Icon::None;
    QString text;

    // "Communication port for Tx/Rx not found !\nCheck your setup..." (exclamation).
    static TrxMessage portNotFound();
    // A line setting the device refused: "SetCommState()", "BuildCommDCB()" (stop icon).
    static TrxMessage settingRefused(const QString &text);
    // "Check configuration or\nserial cable to trx..." (no icon).
    static TrxMessage noReply();
    // A read or write failure of the line: "ReadFile()", "WriteFile()", ... (stop icon).
    static TrxMessage lineBroke(const QString &text);
    // A Hamlib radio that is gone: "Check configuration or\nserial cable to trx..." (no icon).
    static TrxMessage lineLost();

    bool operator==(const TrxMessage &other) const
    {
        return kind == other.kind && icon == other.icon && text == other.text;
    }
};

Q_DECLARE_METATYPE(TrxMessage)
