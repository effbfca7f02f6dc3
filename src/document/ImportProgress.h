#pragma once

#include <QString>

// The main window's share in a long import: the text of the status bar's first pane
// and a progress bar (range 0 to 100) in the status bar. The main window installs its
// own; without one a stand-in that shows nothing is used.
class ImportProgress
{
public:
    virtual ~ImportProgress() = default;

    // Puts text into the status bar's first pane; returns the text that stood there.
    virtual QString setStatusText(const QString &text) = 0;
    virtual void showProgressBar() = 0;
    // 0 to 100.
    virtual void setProgressPosition(int percent) = 0;
    virtual void hideProgressBar() = 0;

    static ImportProgress &current();
    // Installs a display (not owned); nullptr restores the stand-in.
    static void install(ImportProgress *progress);
};
