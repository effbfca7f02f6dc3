#pragma once

#include <QString>

class ImportProgress;

// A long operation shown in the main window while the scope lives: the progress bar,
// and the status pane reading the title, then "<title> <percent> %" as it goes. The
// pane's former text comes back and the bar goes when the scope ends.
class ProgressScope
{
public:
    explicit ProgressScope(const QString &title);
    ~ProgressScope();
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;

    void setPercent(int percent);

private:
    ImportProgress &m_progress;
    QString m_title;
    QString m_savedStatus;
};
