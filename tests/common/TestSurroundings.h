#pragma once

#include "common/TestDir.h"
#include "platform/AppSettings.h"
#include "platform/PrompterGuard.h"

// What one test function works in: a fresh temporary folder that is the current
// directory and holds the settings, and the test's prompter installed. Both are undone
// when the object goes.
class TestSurroundings
{
public:
    explicit TestSurroundings(Prompter &prompter)
        : m_guard(prompter)
    {
        AppSettings::useFolder(m_dir.path());
    }
    ~TestSurroundings() { AppSettings::useFolder(QString()); }
    TestSurroundings(const TestSurroundings &) = delete;
    TestSurroundings &operator=(const TestSurroundings &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    TestDir &dir() { return m_dir; }

private:
    TestDir m_dir;
    PrompterGuard m_guard;
};
