#include "TrxMessage.h"

namespace {
const char kPortNotFound[] = "Communication port for Tx/Rx not found !\nCheck your setup...";
const char kNoReply[] = "Check configuration or\nserial cable to trx...";
} // namespace

TrxMessage TrxMessage::portNotFound()
{
    return {Kind::PortNotFound, QString::fromLatin1(kPortNotFound)};
}

TrxMessage TrxMessage::rigctldSilent(const QString &address)
{
    return {Kind::PortNotFound, QStringLiteral("rigctld at %1 does not answer\nCheck your setup...").arg(address)};
}

TrxMessage TrxMessage::settingRefused(const QString &text)
{
    return {Kind::SettingRefused, text};
}

TrxMessage TrxMessage::noReply()
{
    return {Kind::NoReply, QString::fromLatin1(kNoReply)};
}

TrxMessage TrxMessage::lineBroke(const QString &text)
{
    return {Kind::LineBroke, text};
}

TrxMessage TrxMessage::lineLost()
{
    return {Kind::LineLost, QString::fromLatin1(kNoReply)};
}

Prompter::Icon TrxMessage::icon() const
{
    switch (kind) {
    case Kind::PortNotFound:
        return Prompter::Icon::Warning;
    case Kind::SettingRefused:
    case Kind::LineBroke:
        return Prompter::Icon::Error;
    case Kind::NoReply:
    case Kind::LineLost:
        break;
    }
    return Prompter::Icon::None;
}
