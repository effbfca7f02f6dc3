#include "Prompter.h"

#include "ScriptedPrompter.h"

namespace {
Prompter *g_installed = nullptr;
} // namespace

Prompter &Prompter::current()
{
    if (g_installed)
        return *g_installed;
    static ScriptedPrompter standIn;
    return standIn;
}

void Prompter::install(Prompter *prompter)
{
    g_installed = prompter;
}
