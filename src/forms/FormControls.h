#pragma once

#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QList>
#include <QString>

class QComboBox;
class QLineEdit;
class QWidget;

// The controls the entry form and the edit dialog share: edit fields with a character
// limit, and drop-down lists whose entries carry the code of their list record.
namespace FormControls {

enum Input { AnyText, UpperCase, DigitsOnly };

// An edit field that accepts `limit` characters (0: no limit).
QLineEdit *makeEdit(QWidget *parent, int limit, Input input = AnyText, bool centred = false);
// The field's limit, also while it is lifted for a text set from outside.
int limitOf(const QLineEdit *edit);
// The width at which the field shows `text` whole, in its font and style.
int widthShowing(const QLineEdit *edit, const QString &text);
// Keeps the field at least wide enough to show `text` whole.
void keepWidthFor(QLineEdit *edit, const QString &text);
// Sets a text beyond the typing limit (a transceiver reading of nine characters).
void setTextBeyondLimit(QLineEdit *edit, const QString &text);
// Sets the text only when it differs, so the cursor and the undo history stay.
void setText(QLineEdit *edit, const QString &text);
// False, after "Please enter no more than N characters." and with the focus on the
// field, when a field holds more than its limit.
bool checkLimits(const QList<QLineEdit *> &edits);

// Fills a list with the records' texts, each carrying its code. `blankFirst` puts an
// entry with code 0 and no text first; `sorted` orders the entries by text.
void fillList(QComboBox *list, const QList<ProgramDb::UM_COMBOBOX> &records, bool blankFirst = false,
              bool sorted = false);
// The selected position; -1 when nothing is selected or, in a list with an edit field,
// the typed text names no entry.
int selectedIndex(const QComboBox *list);
// Selects a position; any other value selects nothing and empties the edit field.
void selectIndex(QComboBox *list, int index);
// The code of the selected entry, -1 when none is selected.
int selectedCode(const QComboBox *list);
// The code of the entry at a position, -1 for a position that holds none.
int codeAt(const QComboBox *list, int index);
// The position of the entry carrying `code`, or -1.
int indexOfCode(const QComboBox *list, int code);
// The text of the entry carrying `code`, or an empty text.
QString textOfCode(const QComboBox *list, int code);

} // namespace FormControls
