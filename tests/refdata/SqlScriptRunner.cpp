#include "SqlScriptRunner.h"

#include <QFile>

#include <sqlite3.h>

SqlScriptRunner::SqlScriptRunner(const QString &databasePath)
{
    if (sqlite3_open(QFile::encodeName(databasePath).constData(), &m_db) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

SqlScriptRunner::~SqlScriptRunner()
{
    sqlite3_close(m_db);
}

int SqlScriptRunner::runScript(const QString &scriptPath)
{
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int failures = 0;
    QByteArray pending;
    for (const QByteArray &line : file.readAll().split('\n')) {
        pending += line + '\n';
        if (!sqlite3_complete(pending.constData()))
            continue;
        if (sqlite3_exec(m_db, pending.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            ++failures;
        pending.clear();
    }
    return failures;
}

QStringList SqlScriptRunner::firstRow(const QString &query)
{
    QStringList row;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, query.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, i));
            row.append(text ? QString::fromLatin1(text) : QStringLiteral("NULL"));
        }
    }
    sqlite3_finalize(statement);
    return row;
}
