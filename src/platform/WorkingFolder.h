#pragma once

#include <QString>

// The folder Korva3 works in: the program database korva3.sqlite3 is opened by its
// relative name there. A plain start keeps the current folder; a start with --home
// works in the folder home() names, made on first use.
namespace WorkingFolder {

// KORVA3_HOME when set, else Korva3 in the user's data folder ($XDG_DATA_HOME/Korva3,
// by default ~/.local/share/Korva3).
QString home();

// Makes the folder when it is missing and makes it the current directory. False, with
// the reason shown to the operator, when it can be neither made nor entered.
bool enter(const QString &folder);

} // namespace WorkingFolder
