#pragma once

#include "refdata/ProgramDatabaseMaker.h"

#include <QString>
#include <QStringList>

// Program databases for tests and benchmarks: the base tables and a country file, run
// in place (into a file that may already hold tables, without the QSL manager list) by
// the maker Korva3's first start uses, so tests see what operators get.
class ProgramDatabaseBuilder
{
public:
    static constexpr const char *kCountryFile = ProgramDatabaseMaker::kDebianCountryFile;

    // Builds (or adds to) the database at dbPath. False when the country file cannot
    // be read or the database cannot be opened.
    static bool build(const QString &dbPath, const QString &ctyPath = QLatin1String(kCountryFile));

    // Runs the statements into the database at dbPath; the number that failed, or -1
    // when the database cannot be opened.
    static int run(const QString &dbPath, const QStringList &statements);
};
