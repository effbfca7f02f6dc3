#include "QsoFieldLists.h"

#include "FormControls.h"
#include "document/CKorva3Doc.h"
#include "store/QsoModes.h"

#include <QComboBox>

#include <algorithm>

namespace {

// The position of the entry carrying the code; a code no entry carries gives the first.
int positionOfCode(const QComboBox *list, int code)
{
    return std::max(FormControls::indexOfCode(list, code), 0);
}

} // namespace

QsoFieldLists::QsoFieldLists(QComboBox *mode, QComboBox *qslSent, QComboBox *qslRcvd, QComboBox *country)
    : modeList(mode)
    , qslSentList(qslSent)
    , qslRcvdList(qslRcvd)
    , countryList(country)
{
}

void QsoFieldLists::fill(const CKorva3Doc &document)
{
    FormControls::fillList(modeList, document.m_modes);
    // After the five codes' own modes, ADIF's modes and the common submodes, each with
    // the code it counts as.
    for (const QsoModes::Choice &choice : QsoModes::moreChoices())
        modeList->addItem(choice.name, choice.code);
    FormControls::fillList(qslSentList, document.m_qslSentList);
    FormControls::fillList(qslRcvdList, document.m_qslRcvdList);
    FormControls::fillList(countryList, document.m_countries, true, true);
}

void QsoFieldLists::pull()
{
    modeIndex = FormControls::selectedIndex(modeList);
    qslSentIndex = FormControls::selectedIndex(qslSentList);
    qslRcvdIndex = FormControls::selectedIndex(qslRcvdList);
    countryIndex = FormControls::selectedIndex(countryList);
}

void QsoFieldLists::push() const
{
    // A mode typed that no entry names stays in the field, for the operator to see and
    // mend.
    if (modeIndex >= 0 || !modeList->isEditable())
        FormControls::selectIndex(modeList, modeIndex);
    FormControls::selectIndex(qslSentList, qslSentIndex);
    FormControls::selectIndex(qslRcvdList, qslRcvdIndex);
    FormControls::selectIndex(countryList, countryIndex);
}

void QsoFieldLists::writeCodes(Sqlite3DB::UM_RECORD &record) const
{
    // A mode chosen anew brings its ADIF MODE and SUBMODE; the mode the record was
    // shown with keeps its own, whatever they are.
    const QString chosen = modeIndex >= 0 && modeIndex < modeList->count() ? modeList->itemText(modeIndex) : QString();
    if (chosen.compare(QsoModes::shownName(record.mode, record.adifMode, record.adifSubmode), Qt::CaseInsensitive) != 0) {
        const std::optional<QsoModes::Choice> choice = QsoModes::find(chosen);
        record.adifMode = choice ? choice->adifMode : QString();
        record.adifSubmode = choice ? choice->adifSubmode : QString();
    }
    record.mode = FormControls::codeAt(modeList, modeIndex);
    record.qslSent = FormControls::codeAt(qslSentList, qslSentIndex);
    record.qslRcvd = FormControls::codeAt(qslRcvdList, qslRcvdIndex);
    record.country = std::max(FormControls::codeAt(countryList, countryIndex), 0);
}

void QsoFieldLists::selectCodes(const Sqlite3DB::UM_RECORD &record)
{
    // The entry of the name the QSO is shown with; a name of an imported QSO that no
    // entry has gets an entry of its own, so that it is kept as it was.
    const QString shown = QsoModes::shownName(record.mode, record.adifMode, record.adifSubmode);
    modeIndex = shown.isEmpty() ? -1 : modeList->findText(shown, Qt::MatchFixedString);
    if (modeIndex < 0 && !shown.isEmpty()) {
        modeList->addItem(shown, record.mode);
        modeIndex = modeList->count() - 1;
    }
    if (modeIndex < 0)
        modeIndex = positionOfCode(modeList, record.mode);
    qslSentIndex = positionOfCode(qslSentList, record.qslSent);
    qslRcvdIndex = positionOfCode(qslRcvdList, record.qslRcvd);
    countryIndex = positionOfCode(countryList, record.country);
}
