#pragma once

#include "store/Sqlite3DB.h"

#include <QByteArrayView>

// How the fields of an ADIF record fill a QSO. Field names compare in any letter case;
// fields not listed are skipped. Values are taken as Windows-1252 text and stored as
// they stand.
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
};
