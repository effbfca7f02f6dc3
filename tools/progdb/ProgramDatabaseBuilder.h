#pragma once

#include <QString>
#include <QStringList>

// Makes a program database the way an operator does: the base tables script, then the
// script converted from a country file, each statement run on its own as the sqlite3
// shell runs a script, so a statement that fails (a repeated key) is skipped and the
// rest go on. Uses the generator's own conversions, so tests see what operators get.
class ProgramDatabaseBuilder
{
public:
    static constexpr const char *kCountryFile = "/usr/share/hamradio-files/cty.csv";

    // Builds (or adds to) the database at dbPath. False when the country file cannot
    // be read or the database cannot be opened.
    static bool build(const QString &dbPath, const QString &ctyPath = QLatin1String(kCountryFile));

    // Runs the statements into the database at dbPath; the number that failed, or -1
    // when the database cannot be opened.
    static int run(const QString &dbPath, const QStringList &statements);
};
