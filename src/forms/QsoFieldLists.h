#pragma once

#include "store/Sqlite3DB.h"

class CKorva3Doc;
class QComboBox;

// The four lists of a QSO form (mode, QSL sent, QSL received, country) and their
// selections. Each window makes its own lists, which look different in each; this holds
// them, fills them from the document's code lists and moves selections between them and
// a record, always through the code each entry carries, never its position.
class QsoFieldLists
{
public:
    QsoFieldLists(QComboBox *mode, QComboBox *qslSent, QComboBox *qslRcvd, QComboBox *country);

    // Each entry carries its code; the country list is sorted by name after a blank entry
    // of code 0.
    void fill(const CKorva3Doc &document);
    // The lists' selections into the indexes (a typed text names the entry it spells).
    void pull();
    // The indexes into the lists; an index outside a list selects nothing.
    void push() const;
    // The codes of the selected entries: -1 for a list with nothing selected, 0 for the
    // blank country entry; and the ADIF MODE and SUBMODE of a mode chosen anew.
    void writeCodes(Sqlite3DB::UM_RECORD &record) const;
    // The entries carrying the record's codes (the mode by the name it is shown with); a
    // code no entry carries selects the first.
    void selectCodes(const Sqlite3DB::UM_RECORD &record);

    QComboBox *const modeList;
    QComboBox *const qslSentList;
    QComboBox *const qslRcvdList;
    QComboBox *const countryList;
    // The selections, as positions in the lists (-1 for none).
    int modeIndex = 0;
    int qslSentIndex = 0;
    int qslRcvdIndex = 0;
    int countryIndex = 0;
};
