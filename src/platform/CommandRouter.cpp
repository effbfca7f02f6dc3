#include "CommandRouter.h"

#include "CommandTarget.h"

CommandRouter::CommandRouter(QList<CommandTarget *> route)
    : m_route(std::move(route))
{
}

CommandTarget *CommandRouter::handler(int id) const
{
    for (CommandTarget *target : m_route) {
        if (target && target->handlesCommand(id))
            return target;
    }
    return nullptr;
}

bool CommandRouter::isEnabled(int id) const
{
    const CommandTarget *target = handler(id);
    return target && target->commandEnabled(id);
}

bool CommandRouter::isChecked(int id) const
{
    const CommandTarget *target = handler(id);
    return target && target->commandChecked(id);
}

bool CommandRouter::execute(int id) const
{
    CommandTarget *target = handler(id);
    if (!target || !target->commandEnabled(id))
        return false;
    target->onCommand(id);
    return true;
}
