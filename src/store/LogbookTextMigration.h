#pragma once

struct sqlite3;

// Brings the text of a logbook written in Windows-1252 to UTF-8, once, on a connection
// inside the caller's transaction (the schema's migration, after its backup copy): every
// text of QSOS, QSOFIELDS and the band names of DXCCREPORT. A text that is already valid
// UTF-8 (plain ASCII, or UTF-8 an import of another program stored) stays as it is; only
// the rows holding other text are written.
namespace LogbookTextMigration {

// False, with SQLite's message logged, when a statement failed.
bool convertToUtf8(sqlite3 *db);

} // namespace LogbookTextMigration
