#include "TrxMessage.h"

TrxMessage TrxMessage::portNotFound()
{
    return {Kind::Open, Prompter::Icon::Warning,
            QStringLiteral("Communication port for Tx/Rx not found !\nCheck your setup...")};
}

TrxMessage TrxMessage::settingRefused(const QString &text)
{
    return {Kind::Open, Prompter::Icon::Error, text};
}

TrxMessage TrxMessage::noReply()
{
    return {Kind::Reply, Prompter::Icon::None, QStringLiteral("Check configuration or\nserial cable to trx...")};
}

TrxMessage TrxMessage::lineLost()
{
    TrxMessage message = noReply();
    message.kind = Kind::Line;
    return message;
}

TrxMessage TrxMessage::lineBroke(const QString &text)
{
    return {Kind::Line, Prompter::Icon::Error, text};
}
