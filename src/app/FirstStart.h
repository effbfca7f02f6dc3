#pragma once

#include <QString>

#include "refdata/ProgramDatabaseMaker.h"

// The program database of the working folder at start-up. When korva3.sqlite3 is
// missing there, or is no program database, the operator is offered to have it made (a
// start with --home makes it without asking) from the generator's own conversions: the
// base tables, the country file and the QSL manager list. The progress shows in the
// main window's status bar; the operator is told where the database went, or why none
// was made. One that another program holds past the busy timeout is left as it is, and
// the operator told so: it may well be the operator's settings.
class FirstStart
{
public:
    enum class Mode { Ask, Make };
    using Found = ProgramDatabaseMaker::Found;

    // The country file used when the working folder has none (Debian's hamradio-files).
    static QString s_sharedCountryFile;

    // What the working folder's korva3.sqlite3 is; nothing is to be done when it is a
    // program database.
    static Found find();
    // For what find() found: offers (Ask) or goes straight to (Make) making it in the
    // working folder, or says that another program holds it. True when a program
    // database was made.
    static bool run(Mode mode, Found found);
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
