#include "ProgramDatabaseMaker.h"

#include "BasicTablesScript.h"
#include "CtyConversion.h"
#include "QslMgrConversion.h"
#include "RefDataLog.h"
#include "ScriptIo.h"
#include "platform/CodePage.h"
#include "store/DatabaseSchema.h"
#include "store/ProgramDb.h"
#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>

namespace {

const char kIsProgramDatabase[] =
    "SELECT (SELECT COUNT(*) FROM PARAMETERS) > 0 AND (SELECT COUNT(*) FROM COUNTRIES) > 0";
// The computer's clock knows UTC: a new program database adds nothing to it.
const char kNoClockOffset[] = "UPDATE PARAMETERS SET VALUE = '0' WHERE PARAMETER = 'utcoffset'";

// Counts the statements run over the whole making and reports each new percentage.
class ProgressCount
{
public:
    ProgressCount(const ProgramDatabaseMaker::ProgressHandler &handler, qsizetype total)
        : m_handler(handler)
        , m_total(total)
    {
        report();
    }

    void step()
    {
        ++m_done;
        report();
    }

private:
    void report()
    {
        if (!m_handler)
            return;
        const int percent = m_total > 0 ? static_cast<int>(m_done * 100 / m_total) : 100;
        if (percent != m_last) {
            m_last = percent;
            m_handler(percent);
        }
    }

    const ProgramDatabaseMaker::ProgressHandler &m_handler;
    qsizetype m_total;
    qsizetype m_done = 0;
    int m_last = -1;
};

// Each statement on its own, as the sqlite3 shell runs a script: the number that failed.
int runOn(sqlite3 *db, const QStringList &statements, ProgressCount &progress)
{
    int failed = 0;
    for (const QString &statement : statements) {
        if (!SqliteStatement::exec(db, CodePage::toAnsi(statement).constData()))
            ++failed;
        progress.step();
    }
    return failed;
}

bool namesAnEntity(const QStringList &statements)
{
    return std::any_of(statements.cbegin(), statements.cend(), [](const QString &statement) {
        return statement.startsWith(QLatin1String("INSERT INTO COUNTRIES"));
    });
}

bool exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool rename(const QString &from, const QString &to)
{
    if (QDir().rename(from, to))
        return true;
    qCWarning(lcRefData).noquote() << "cannot rename" << from << "to" << to;
    return false;
}

} // namespace

ProgramDatabaseMaker::Result ProgramDatabaseMaker::make(const QString &folder, const QString &countryFile,
                                                        const QString &qslMgrList)
{
    Result result;
    result.databasePath = QDir(folder).absoluteFilePath(QLatin1String(kDatabaseName));
    QStringList countryLines;
    QStringList qslMgrLines;
    if (!ScriptIo::readLines(countryFile, countryLines)) {
        result.status = Status::CountryFileMissing;
        return result;
    }
    if (!ScriptIo::readLines(qslMgrList, qslMgrLines)) {
        result.status = Status::QslMgrListMissing;
        return result;
    }
    return build(result, countryLines, qslMgrLines);
}

ProgramDatabaseMaker::Result ProgramDatabaseMaker::build(Result result, const QStringList &countryLines,
                                                         const QStringList &qslMgrLines)
{
    const QStringList basic = BasicTablesScript::lines();
    const QStringList countries = CtyConversion::statements(countryLines);
    const QStringList managers = QslMgrConversion::statements(qslMgrLines);
    if (!namesAnEntity(countries)) {
        result.status = Status::NoEntities;
        return result;
    }

    // Removed again when the object goes, unless it has taken the database's name.
    QTemporaryFile temporary(result.databasePath + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        qCWarning(lcRefData).noquote() << "cannot create" << temporary.fileTemplate() << ":" << temporary.errorString();
        result.status = Status::CannotCreate;
        return result;
    }
    // A temporary file is the owner's alone; the database is as readable as any other.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                             | QFileDevice::ReadOther);
    temporary.close();
    const QString building = temporary.fileName();
    {
        sqlite3 *slot = nullptr;
        SlotConnection db(slot, building);
        if (!db.isOpen()) {
            result.status = Status::CannotCreate;
            return result;
        }
        ProgressCount progress(m_progress, basic.size() + countries.size() + managers.size());
        const int basicFailed = runOn(db.handle(), basic, progress);
        result.refused = runOn(db.handle(), countries, progress);
        const int managersFailed = runOn(db.handle(), managers, progress)
                                 + (SqliteStatement::exec(db.handle(), kNoClockOffset) ? 0 : 1);
        if (basicFailed > 0 || managersFailed > 0) {
            qCWarning(lcRefData) << basicFailed << "statements of the base tables and" << managersFailed
                                 << "of the QSL managers failed";
            result.status = Status::WriteFailed;
            return result;
        }
    }
    // A new program database is of this program's version from the start.
    if (!isProgramDatabase(building) || !ProgramDb::Schema().applyMigrations(building, 0, nullptr)) {
        result.status = Status::WriteFailed;
        return result;
    }

    if (exists(result.databasePath)) {
        if (inspect(result.databasePath) == Found::InUse) {
            result.status = Status::InUse;
            return result;
        }
        const QString aside = freeName(QFileInfo(result.databasePath).path(), QLatin1String(kKeptAsideName));
        if (!rename(result.databasePath, aside)) {
            result.status = Status::CannotRename;
            return result;
        }
        result.keptAside = aside;
    }
    if (!rename(building, result.databasePath)) {
        if (!result.keptAside.isEmpty() && rename(result.keptAside, result.databasePath))
            result.keptAside.clear();
        result.status = Status::CannotRename;
        return result;
    }
    temporary.setAutoRemove(false);
    return result;
}

int ProgramDatabaseMaker::runStatements(const QString &dbPath, const QStringList &statements,
                                        const ProgressHandler &progress)
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, dbPath, SlotConnection::Mode::Create);
    if (!db.isOpen())
        return -1;
    ProgressCount count(progress, statements.size());
    return runOn(db.handle(), statements, count);
}

ProgramDatabaseMaker::Found ProgramDatabaseMaker::inspect(const QString &path)
{
    if (!exists(path))
        return Found::Missing;
    if (!QFileInfo(path).isFile())
        return Found::Other;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, path);
    if (!db.isOpen())
        return Found::Other;
    const quint64 lockWaits = SlotConnection::lockWaitsGivenUp();
    SqliteStatement check(db.handle(), kIsProgramDatabase);
    if (check.isPrepared() && check.step() == SQLITE_ROW)
        return check.columnInt(0) == 1 ? Found::ProgramDatabase : Found::Other;
    const int code = sqlite3_errcode(db.handle()) & 0xff;
    const bool locked = code == SQLITE_BUSY || code == SQLITE_LOCKED || SlotConnection::lockWaitsGivenUp() != lockWaits;
    return locked ? Found::InUse : Found::Other;
}

QString ProgramDatabaseMaker::freeName(const QString &folder, const QString &base)
{
    const QDir dir(folder);
    QString path = dir.absoluteFilePath(base);
    for (int n = 2; exists(path); ++n)
        path = dir.absoluteFilePath(QStringLiteral("%1.%2").arg(base).arg(n));
    return path;
}
