#include "LogbookTextMigration.h"

#include "QsoColumns.h"
#include "SqliteStatement.h"
#include "platform/CodePage.h"

#include <QByteArray>
#include <QList>

#include <sqlite3.h>

namespace {

// The text of the value, or nothing when it holds no text (a number, a blob, NULL).
bool textOf(sqlite3_value *value, QByteArrayView &text)
{
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return false;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(value));
    text = QByteArrayView(bytes, sqlite3_value_bytes(value));
    return true;
}

// korva3_not_utf8(X): 1 when X is a text that is not valid UTF-8.
void notUtf8(sqlite3_context *context, int, sqlite3_value **arguments)
{
    QByteArrayView text;
    sqlite3_result_int(context, textOf(arguments[0], text) && !CodePage::isUtf8(text) ? 1 : 0);
}

// korva3_utf8(X): X's Windows-1252 text as UTF-8; any other value as it is.
void toUtf8(sqlite3_context *context, int, sqlite3_value **arguments)
{
    QByteArrayView text;
    if (!textOf(arguments[0], text) || CodePage::isUtf8(text)) {
        sqlite3_result_value(context, arguments[0]);
        return;
    }
    QByteArray converted;
    CodePage::appendAsUtf8(converted, text);
    sqlite3_result_text(context, converted.constData(), static_cast<int>(converted.size()), SQLITE_TRANSIENT);
}

bool hasTable(sqlite3 *db, const char *name)
{
    SqliteStatement count(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
    count.bind(1, QByteArray(name));
    return count.step() == SqliteStatement::kRow && count.columnInt(0) > 0;
}

// "UPDATE TABLE SET C1 = korva3_utf8(C1), ... WHERE korva3_not_utf8(C1) OR ...".
QByteArray conversion(const char *table, const QList<QByteArray> &columns)
{
    QByteArray set;
    QByteArray where;
    for (const QByteArray &column : columns) {
        set += (set.isEmpty() ? "" : ", ") + column + " = korva3_utf8(" + column + ')';
        where += (where.isEmpty() ? "" : " OR ") + QByteArray("korva3_not_utf8(") + column + ')';
    }
    return "UPDATE " + QByteArray(table) + " SET " + set + " WHERE " + where;
}

bool registerFunctions(sqlite3 *db, bool on)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(db, "korva3_utf8", 1, flags, nullptr, on ? toUtf8 : nullptr, nullptr, nullptr)
               == SQLITE_OK
        && sqlite3_create_function(db, "korva3_not_utf8", 1, flags, nullptr, on ? notUtf8 : nullptr, nullptr,
                                   nullptr)
               == SQLITE_OK;
}

} // namespace

namespace LogbookTextMigration {

bool convertToUtf8(sqlite3 *db)
{
    QList<QByteArray> qsoTexts;
    for (const QsoColumns::Description &column : QsoColumns::all()) {
        if (column.text)
            qsoTexts.append(column.name);
    }
    const struct
    {
        const char *table;
        QList<QByteArray> columns;
    } tables[] = {
        {"QSOS", qsoTexts},
        {"QSOFIELDS", {"NAME", "VALUE"}},
        {"DXCCREPORT", {"BAND"}},
    };
    if (!registerFunctions(db, true))
        return false;
    bool converted = true;
    for (const auto &table : tables) {
        if (converted && hasTable(db, table.table))
            converted = SqliteStatement::exec(db, conversion(table.table, table.columns).constData());
    }
    // The functions live only as long as the migration's connection needs them.
    return registerFunctions(db, false) && converted;
}

} // namespace LogbookTextMigration
