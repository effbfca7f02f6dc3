#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The text of an imported field as the logbook stores it, UTF-8, whatever the file's
// encoding: files of today hold UTF-8, older ones and those of Windows programs
// Windows-1252, and some (an older export of this program) both, field by field. So each
// value is judged on its own.
namespace AdifText {

// The value as stored: as it is when it is ASCII or valid UTF-8; a UTF-8 value whose
// writer cut it inside its last character (a length limit counted in bytes) without
// that part; any other value read as Windows-1252. The view points into `value` or into
// `scratch`.
QByteArrayView stored(QByteArrayView value, QByteArray &scratch);

} // namespace AdifText
