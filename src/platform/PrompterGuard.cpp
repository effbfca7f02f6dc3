#include "PrompterGuard.h"

#include "Prompter.h"

PrompterGuard::PrompterGuard(Prompter &prompter)
    : m_previous(Prompter::current())
{
    Prompter::install(&prompter);
}

PrompterGuard::~PrompterGuard()
{
    Prompter::install(&m_previous);
}
