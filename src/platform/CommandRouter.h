#pragma once

#include <QList>

class CommandTarget;

// Routes a command along a list of targets, first to last; null entries are skipped.
class CommandRouter
{
public:
    explicit CommandRouter(QList<CommandTarget *> route);

    // The target that handles the command, or null.
    CommandTarget *handler(int id) const;
    bool isEnabled(int id) const;
    bool isChecked(int id) const;
    // Runs the command when it is enabled; true when it ran.
    bool execute(int id) const;

private:
    QList<CommandTarget *> m_route;
};
