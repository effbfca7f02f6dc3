#include "QsoFieldLists.h"

#include "FormControls.h"
#include "document/CKorva3Doc.h"

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
    FormControls::selectIndex(modeList, modeIndex);
    FormControls::selectIndex(qslSentList, qslSentIndex);
    FormControls::selectIndex(qslRcvdList, qslRcvdIndex);
    FormControls::selectIndex(countryList, countryIndex);
}

void QsoFieldLists::writeCodes(Sqlite3DB::UM_RECORD &record) const
{
    record.mode = FormControls::codeAt(modeList, modeIndex);
    record.qslSent = FormControls::codeAt(qslSentList, qslSentIndex);
    record.qslRcvd = FormControls::codeAt(qslRcvdList, qslRcvdIndex);
    record.country = std::max(FormControls::codeAt(countryList, countryIndex), 0);
}

void QsoFieldLists::selectCodes(const Sqlite3DB::UM_RECORD &record)
{
    modeIndex = positionOfCode(modeList, record.mode);
    qslSentIndex = positionOfCode(qslSentList, record.qslSent);
    qslRcvdIndex = positionOfCode(qslRcvdList, record.qslRcvd);
    countryIndex = positionOfCode(countryList, record.country);
}
