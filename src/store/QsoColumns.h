#pragma once

#include "Sqlite3DB.h"

#include <QByteArray>

#include <array>

// The columns of QSOS the program writes, in the order of its inserts and updates, and
// where each lives in UM_RECORD. Binding, reading and the ADIF export all walk this one
// table, so a column is named in one place.
namespace QsoColumns {

enum Column {
    Date, Time, Call, Sent, Rcvd, Freq, Band, Mode, Power, CqZone, Grid, QslSent, QslRcvd, Name, Qth,
    Address1, Address2, Remarks, QslMgr, Iota, Country,
};
constexpr int kCount = Country + 1;

struct Description
{
    const char *name;
    // Exactly one of the two is set: a text column or an integer column.
    QString Sqlite3DB::UM_RECORD::*text;
    qint32 Sqlite3DB::UM_RECORD::*number;
};

const std::array<Description, kCount> &all();

// "DATE, TIME, CALL, ... COUNTRY": the column names in table order.
QByteArray nameList();
// "DATE=?, TIME=?, ... COUNTRY=?".
QByteArray assignmentList();
// "INSERT INTO QSOS (DATE, ... COUNTRY) VALUES (?,...),(?,...)" for `rows` rows.
QByteArray insertStatement(int rows);

} // namespace QsoColumns
