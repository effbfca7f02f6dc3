#include "QsoColumns.h"

namespace QsoColumns {

namespace {

using R = Sqlite3DB::UM_RECORD;

Description text(const char *name, QString R::*member)
{
    return {name, member, nullptr};
}

Description number(const char *name, qint32 R::*member)
{
    return {name, nullptr, member};
}

} // namespace

const std::array<Description, kCount> &all()
{
    static const std::array<Description, kCount> columns = {
        text("DATE", &R::date),         text("TIME", &R::time),         text("CALL", &R::call),
        text("SENT", &R::sent),         text("RCVD", &R::rcvd),         text("FREQ", &R::freq),
        text("BAND", &R::band),         number("MODE", &R::mode),       text("POWER", &R::power),
        text("CQZONE", &R::cqZone),     text("GRID", &R::grid),         number("QSLSENT", &R::qslSent),
        number("QSLRCVD", &R::qslRcvd), text("NAME", &R::name),         text("QTH", &R::qth),
        text("ADDRESS1", &R::address1), text("ADDRESS2", &R::address2), text("REMARKS", &R::remarks),
        text("QSLMGR", &R::qslMgr),     text("IOTA", &R::iota),         number("COUNTRY", &R::country),
    };
    return columns;
}

QByteArray nameList()
{
    QByteArray list;
    for (const Description &column : all()) {
        if (!list.isEmpty())
            list += ", ";
        list += column.name;
    }
    return list;
}

QByteArray assignmentList()
{
    QByteArray list;
    for (const Description &column : all()) {
        if (!list.isEmpty())
            list += ", ";
        list += column.name;
        list += "=?";
    }
    return list;
}

QByteArray insertStatement(int rows)
{
    QByteArray row = "(?";
    for (int i = 1; i < kCount; ++i)
        row += ",?";
    row += ')';
    QByteArray sql = "INSERT INTO QSOS (" + nameList() + ") VALUES ";
    sql.reserve(sql.size() + rows * (row.size() + 1));
    for (int i = 0; i < rows; ++i) {
        if (i > 0)
            sql += ',';
        sql += row;
    }
    return sql;
}

} // namespace QsoColumns
