#pragma once

class Prompter;

// Installs a prompter for as long as the guard lives, and puts back the one that was
// installed before (the stand-in when there was none).
class PrompterGuard
{
public:
    explicit PrompterGuard(Prompter &prompter);
    ~PrompterGuard();
    PrompterGuard(const PrompterGuard &) = delete;
    PrompterGuard &operator=(const PrompterGuard &) = delete;

private:
    Prompter &m_previous;
};
