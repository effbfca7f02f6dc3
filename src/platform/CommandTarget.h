#pragma once

// One object on the route a command travels: the active view, its document, the child
// frame, the main frame, the application. The first target that handles a command runs
// it; a command no target handles is disabled.
class CommandTarget
{
public:
    virtual ~CommandTarget() = default;

    virtual bool handlesCommand(int id) const = 0;
    // Asked only of the target that handles the command.
    virtual bool commandEnabled(int id) const
    {
        (void)id;
        return true;
    }
    // Whether a handled command shows a check mark (a toggle such as the toolbar).
    virtual bool commandChecked(int id) const
    {
        (void)id;
        return false;
    }
    virtual void onCommand(int id) = 0;
};
