#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Makes the program database korva3.sqlite3 from the base tables, the country file and
// the QSL manager list, as an operator does with the generator's three scripts and the
// sqlite3 shell, but in this process: each statement runs on its own, so a key the
// country file repeats (UNIQUE) fails alone and the rest go on.
class ProgramDatabaseMaker
{
public:
    // Debian's country file (package hamradio-files).
    static constexpr const char *kDebianCountryFile = "/usr/share/hamradio-files/cty.csv";
    static constexpr const char *kDatabaseName = "korva3.sqlite3";
    // The name a file that is no program database is kept under.
    static constexpr const char *kKeptAsideName = "korva3.sqlite3.invalid";

    enum class Status {
        Made,
        CountryFileMissing, // the country file cannot be read
        QslMgrListMissing,  // the QSL manager list cannot be read
        NoEntities,         // the country file names no entity
        CannotCreate,       // no file can be made in the folder
        WriteFailed,        // a statement of the base tables or the QSL managers failed
        CannotRename,       // the finished database could not take its name
        InUse,              // the file of that name is held by another program: left alone
    };

    // What a file is: a program database (settings and country data: rows in
    // PARAMETERS and in COUNTRIES), missing, something else, or held by another program
    // (a write of its in progress, an exclusive lock) past the busy timeout, so that
    // what it is cannot be told now.
    enum class Found { ProgramDatabase, Missing, Other, InUse };

    struct Result
    {
        Status status = Status::Made;
        // The program database made, or the one that would have been.
        QString databasePath;
        // Where a file that was no program database went; empty when there was none.
        QString keptAside;
        // Statements of the country file refused (repeated keys).
        int refused = 0;
    };

    // Percent of the statements run, 0 to 100, each value once.
    using ProgressHandler = std::function<void(int percent)>;

    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    // Makes folder/korva3.sqlite3. The database is built under a temporary name beside
    // it and takes its name only when complete; a file of that name that is no program
    // database is then kept aside (korva3.sqlite3.invalid, or .invalid.2 and so on when
    // that is taken), unless another program holds it. Any failure leaves the folder as
    // it was.
    Result make(const QString &folder, const QString &countryFile, const QString &qslMgrList);

    // Runs the statements into the database at dbPath (made when missing), each on its
    // own; the number that failed, or -1 when the database cannot be opened.
    static int runStatements(const QString &dbPath, const QStringList &statements,
                             const ProgressHandler &progress = {});

    // Waits for another program's lock as every read does.
    static Found inspect(const QString &path);
    static bool isProgramDatabase(const QString &path) { return inspect(path) == Found::ProgramDatabase; }

    // A name in folder that no file has yet: base, then base.2, base.3, ...
    static QString freeName(const QString &folder, const QString &base);

private:
    Result build(Result result, const QStringList &countryLines, const QStringList &qslMgrLines);

    ProgressHandler m_progress;
};
