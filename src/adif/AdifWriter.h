#pragma once

#include <QString>

#include <functional>

class Sqlite3DB;

// Writes the QSOs of a logbook to an ADIF file in UTF-8: a preamble with the export
// date, the ADIF header (declaring the user-defined fields the logbook knows), then one
// record of four lines per QSO, newest first, every line ended by CR LF; each length
// counts the value's bytes. A file name ending in ".adx" gets ADIF's XML form instead
// (AdxWriter). The file is written beside the target and put in its place only when
// complete, so a failed export never leaves half a file where a good one was.
class AdifWriter
{
public:
    enum class Result { Written, CannotCreate, CannotReadLogbook, CannotWrite };

    // The QSOs of the logbook at logbookPath dated after the day `days` days ago (UTC).
    // `progress`, when given, hears the share of the QSOs written, 0 to 100, as it grows.
    static Result ExportAdif(Sqlite3DB &db, const QString &filePath, const QString &logbookPath, int days,
                             const std::function<void(int)> &progress = {});
};
