#pragma once

#include <QString>

// The file life of logbooks: making a new one, choosing one to open (with the names
// each open command refuses), and the open step that remembers the file.
namespace LogbookFiles {

// File>New: asks for the path of a new logbook, refuses an existing file, and makes
// the file with its tables. The path of the new logbook, or an empty text when nothing
// was made (the operator was told why).
QString NewLogbook();

// The Open Logbook dialog; an empty text when cancelled.
QString ChooseLogbook();

// Open from a logbook window: the chosen path, or an empty text when cancelled or when
// the program database was chosen (the operator is told).
QString ChooseLogbookFromDocument();
// Open from the empty frame: the chosen path, or an empty text when cancelled or when
// one of two reserved names was chosen (silently).
QString ChooseLogbookFromFrame();

// The open step of every logbook: the file must open for reading; then it becomes the
// remembered last logbook. False when it cannot be read (the operator is told).
bool OnOpenDocument(const QString &path);

} // namespace LogbookFiles
