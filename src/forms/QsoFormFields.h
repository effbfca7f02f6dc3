#pragma once

#include "FormControls.h"
#include "store/Sqlite3DB.h"

#include <QList>

// The text fields of a QSO, described once for both windows that show one: the entry
// form of a logbook window and the "Edit Qso" dialog. Each field names the record
// member it holds and, for each window, its label, its character limit, what it
// accepts and how it is aligned. The pickers and lists (date, time, mode, QSL states,
// country) are the windows' own.
namespace QsoFormFields {

enum class Field { Call, Sent, Rcvd, Freq, Band, Power, CqZone, Grid, Name, Qth, Address1, Address2, Remarks, QslMgr, Iota };

enum class Window { Entry, Edit };

struct Look
{
    const char *label;
    int limit; // characters; 0 for no limit
    FormControls::Input input;
    bool centred;
};

struct Description
{
    Field field;
    QString Sqlite3DB::UM_RECORD::*member;
    Look entry;
    Look edit;

    const Look &look(Window window) const { return window == Window::Entry ? entry : edit; }
};

const QList<Description> &all();
const Description &of(Field field);

// The widest text the field must show whole: as many characters as it takes, of the
// widest kind it holds (capitals in calls and references, digits, plain text in names
// and addresses). The frequency may hold a transceiver reading one beyond its limit.
QString widestText(Field field, Window window);

} // namespace QsoFormFields
