#pragma once

#include <QString>

class Sqlite3DB;

// Writes the QSOs of a logbook to an ADIF file: a preamble with the export date, the
// ADIF header, then one record of four lines per QSO, newest first, every line ended by
// CR LF. The file is written beside the target and put in its place only when
// complete, so a failed export never leaves half a file where a good one was.
class AdifWriter
{
public:
    enum class Result { Written, CannotCreate, CannotReadLogbook, CannotWrite };

    // The QSOs of the logbook at logbookPath dated after the day `days` days ago (UTC).
    static Result ExportAdif(Sqlite3DB &db, const QString &filePath, const QString &logbookPath, int days);
};
