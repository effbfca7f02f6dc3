#pragma once

#include "ConversionOutcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading the 8-bit input lists and writing the 8-bit SQL scripts. Both sides use
// the Windows-1252 code page, so every byte of the input but NUL reaches the script
// unchanged.
namespace ScriptIo {

// The lines of an 8-bit text; a line ends at LF, and a CR before the LF is removed.
// A text ending in a line end has no empty line after it. NUL bytes are left out.
QStringList decodeLines(const QByteArray &bytes);
// The lines in Windows-1252, each followed by CR LF.
QByteArray encodeLines(const QStringList &lines);

// False when the file cannot be opened for reading.
bool readLines(const QString &path, QStringList &lines);
// Creates (or truncates) the file and writes the lines; Ready, or the failure naming
// the file. When the file cannot be created nothing is written anywhere.
ConversionOutcome writeLines(const QString &path, const QStringList &lines);

// The value in single quotes, every apostrophe inside doubled.
QString quoted(const QString &value);

} // namespace ScriptIo
