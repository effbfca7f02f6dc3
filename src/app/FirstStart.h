#pragma once

#include <QString>

// The program database of the working folder at start-up. When korva3.sqlite3 is
// missing there, or is no program database, the operator is offered to have it made (a
// start with --home makes it without asking) from the generator's own conversions: the
// base tables, the country file and the QSL manager list. The progress shows in the
// main window's status bar; the operator is told where the database went, or why none
// was made.
class FirstStart
{
public:
    enum class Mode { Ask, Make };

    // The country file used when the working folder has none (Debian's hamradio-files).
    static QString s_sharedCountryFile;

    // True when the working folder holds no program database.
    static bool isNeeded();
    // Offers (Ask) or goes straight to (Make) making it in the working folder. True
    // when a program database was made.
    static bool run(Mode mode);
    // The program database at this program's schema version: an older one is migrated
    // after a copy of it; one of a newer program is only read (Setup cannot store), and
    // the operator is told so.
    static void bringUpToDate();

    // The working folder's cty.csv when there is one, else the shared country file.
    static QString countryFile();
    // The working folder's qslmgr.txt when there is one, else the list installed with
    // the program (or, for a run from the build tree, the source tree's).
    static QString qslMgrList();
};
