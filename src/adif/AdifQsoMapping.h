#pragma once

#include "store/QsoRow.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>
#include <QByteArrayView>

// The ADIF fields of a QSO, both ways, from one tag table: how a field of a file fills a
// record (names in any letter case; fields not in the table are skipped; values taken
// as Windows-1252 text and stored as they stand), and how a stored row is written as a
// record of the four lines the export writes.
class AdifQsoMapping
{
public:
    // The record every ADIF record starts from: empty texts, mode 1 (CW), QSL sent 2
    // (N), QSL received 1 (N), entity 0.
    static Sqlite3DB::UM_RECORD startRecord();
    // EOR in any letter case, with or without a length.
    static bool endsRecord(QByteArrayView name);
    // Applies one field to the record being read.
    static void apply(Sqlite3DB::UM_RECORD &record, QByteArrayView name, QByteArrayView value);

    // Appends the export's record for one row to `out`: the fields in their four lines,
    // each "<NAME:LENGTH>VALUE", separated by one blank, lines ended by CR LF, the last
    // one by " <EOR>".
    static void appendRecord(QByteArray &out, const QsoRow &row);
};
