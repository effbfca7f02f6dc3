#include "CEditQso.h"

#include "FormControls.h"
#include "document/CKorva3Doc.h"
#include "platform/DbDateTime.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

using FormControls::makeEdit;
using FormControls::setText;

namespace {

// A stored date and time as the pickers show them. A date that is no calendar date
// shows as 1970-01-01, a time that is none (imported without TIME_ON) as 00:00:00;
// either is written back as stored unless the operator changes it.
QDate storedDate(const QString &date)
{
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    return day.isValid() ? day : QDate(1970, 1, 1);
}

QTime storedTime(const QString &time)
{
    QTime clock = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    if (!clock.isValid())
        clock = QTime::fromString(time, QStringLiteral("HH:mm"));
    return clock.isValid() ? clock : QTime(0, 0);
}

QComboBox *dropDownList(QWidget *parent)
{
    return new QComboBox(parent);
}

int codeAt(const QComboBox *list, int index)
{
    return index >= 0 && index < list->count() ? list->itemData(index).toInt() : -1;
}

// The position of the entry carrying the code; a code no entry carries gives the first.
int positionOfCode(const QComboBox *list, int code)
{
    return std::max(FormControls::indexOfCode(list, code), 0);
}

} // namespace

CEditQso::CEditQso(CKorva3Doc *document, QWidget *parent)
    : QDialog(parent)
    , m_pDoc(document)
{
    setWindowTitle(QStringLiteral("Edit Qso"));
    buildForm();
    OnInitDialog();
}

void CEditQso::buildForm()
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftFrame());
    layout->addWidget(buildRightFrame());
    m_freqEdit->installEventFilter(this);
    connect(m_qslMgrDbButton, &QPushButton::clicked, this, &CEditQso::OnQslMgrDb);
}

QWidget *CEditQso::buildLeftFrame()
{
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto *layout = new QVBoxLayout(frame);
    auto *form = new QFormLayout;
    m_dateEdit = new QDateEdit(frame);
    m_dateEdit->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    m_dateEdit->setCalendarPopup(true);
    m_timeEdit = new QTimeEdit(frame);
    m_timeEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_callEdit = makeEdit(frame, 16, FormControls::UpperCase);
    m_rstSentEdit = makeEdit(frame, 3, FormControls::DigitsOnly);
    m_rstRcvdEdit = makeEdit(frame, 3, FormControls::DigitsOnly);
    m_freqEdit = makeEdit(frame, 8);
    m_bandEdit = makeEdit(frame, 3, FormControls::DigitsOnly);
    m_modeList = dropDownList(frame);
    m_powerEdit = makeEdit(frame, 4, FormControls::DigitsOnly);
    m_gridEdit = makeEdit(frame, 6, FormControls::UpperCase);
    m_qslMgrEdit = makeEdit(frame, 12, FormControls::UpperCase);
    m_cqZoneEdit = makeEdit(frame, 2, FormControls::DigitsOnly);
    m_qslSentList = dropDownList(frame);
    m_qslRcvdList = dropDownList(frame);
    m_iotaEdit = makeEdit(frame, 6, FormControls::UpperCase);
    form->addRow(QStringLiteral("&Date"), m_dateEdit);
    form->addRow(QStringLiteral("&Time"), m_timeEdit);
    form->addRow(QStringLiteral("&Call"), m_callEdit);
    form->addRow(QStringLiteral("&Sent"), m_rstSentEdit);
    form->addRow(QStringLiteral("&Rcvd"), m_rstRcvdEdit);
    form->addRow(QStringLiteral("Freq&uency"), m_freqEdit);
    form->addRow(QStringLiteral("&Band"), m_bandEdit);
    form->addRow(QStringLiteral("&Mode"), m_modeList);
    form->addRow(QStringLiteral("&Power"), m_powerEdit);
    form->addRow(QStringLiteral("&Grid"), m_gridEdit);
    form->addRow(QStringLiteral("Qsl mgr"), m_qslMgrEdit);
    form->addRow(QStringLiteral("CQ &zone"), m_cqZoneEdit);
    form->addRow(QStringLiteral("Sent"), m_qslSentList);
    form->addRow(QStringLiteral("Rcvd"), m_qslRcvdList);
    form->addRow(QStringLiteral("Iota"), m_iotaEdit);
    layout->addLayout(form);
    m_qslMgrDbButton = new QPushButton(QStringLiteral("Qsl mgr db"), frame);
    m_qslMgrDbButton->setAutoDefault(false);
    layout->addWidget(m_qslMgrDbButton, 0, Qt::AlignLeft);
    return frame;
}

QWidget *CEditQso::buildRightFrame()
{
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto *layout = new QVBoxLayout(frame);
    auto *form = new QFormLayout;
    m_nameEdit = makeEdit(frame, 0);
    m_qthEdit = makeEdit(frame, 30);
    m_address1Edit = makeEdit(frame, 30);
    m_address2Edit = makeEdit(frame, 30);
    m_remarksEdit = makeEdit(frame, 30);
    m_countryList = dropDownList(frame);
    form->addRow(QStringLiteral("&Name"), m_nameEdit);
    form->addRow(QStringLiteral("&Qth"), m_qthEdit);
    form->addRow(QStringLiteral("&Address1"), m_address1Edit);
    form->addRow(QStringLiteral("Address2"), m_address2Edit);
    form->addRow(QStringLiteral("Remar&ks"), m_remarksEdit);
    form->addRow(QStringLiteral("Country"), m_countryList);
    layout->addLayout(form);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), frame);
    auto *ok = new QPushButton(QStringLiteral("OK"), frame);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CEditQso::reject);
    connect(ok, &QPushButton::clicked, this, &CEditQso::accept);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    return frame;
}

void CEditQso::OnInitDialog()
{
    FormControls::fillList(m_modeList, m_pDoc->m_modes);
    FormControls::fillList(m_qslSentList, m_pDoc->m_qslSentList);
    FormControls::fillList(m_qslRcvdList, m_pDoc->m_qslRcvdList);
    FormControls::fillList(m_countryList, m_pDoc->m_countries, true, true);
    if (m_pDoc->m_records.isEmpty())
        return;
    const Sqlite3DB::UM_RECORD &r = m_pDoc->m_records.first();
    m_storedDate = r.date;
    m_storedTime = r.time;
    m_date = QDateTime(storedDate(r.date), storedTime(r.time));
    m_time = m_date;
    m_shownDate = m_date.date();
    m_shownTime = m_time.time();
    m_call = r.call;
    m_rstSent = r.sent;
    m_rstRcvd = r.rcvd;
    m_freq = r.freq;
    m_band = r.band;
    m_name = r.name;
    m_qth = r.qth;
    m_address1 = r.address1;
    m_address2 = r.address2;
    m_remarks = r.remarks;
    m_qslMgr = r.qslMgr;
    m_iota = r.iota;
    m_power = r.power;
    m_cqZone = r.cqZone;
    m_grid = r.grid;
    m_modeIndex = positionOfCode(m_modeList, r.mode);
    m_qslSentIndex = positionOfCode(m_qslSentList, r.qslSent);
    m_qslRcvdIndex = positionOfCode(m_qslRcvdList, r.qslRcvd);
    m_countryIndex = positionOfCode(m_countryList, r.country);
    pushFields();
}

bool CEditQso::pullFields()
{
    if (!FormControls::checkLimits({m_callEdit, m_rstSentEdit, m_rstRcvdEdit, m_freqEdit, m_bandEdit, m_powerEdit,
                                    m_gridEdit, m_qslMgrEdit, m_cqZoneEdit, m_iotaEdit, m_qthEdit, m_address1Edit,
                                    m_address2Edit, m_remarksEdit}))
        return false;
    m_date.setDate(m_dateEdit->date());
    m_time.setTime(m_timeEdit->time());
    m_call = m_callEdit->text();
    m_rstSent = m_rstSentEdit->text();
    m_rstRcvd = m_rstRcvdEdit->text();
    m_freq = m_freqEdit->text();
    m_band = m_bandEdit->text();
    m_modeIndex = m_modeList->currentIndex();
    m_power = m_powerEdit->text();
    m_grid = m_gridEdit->text();
    m_qslMgr = m_qslMgrEdit->text();
    m_cqZone = m_cqZoneEdit->text();
    m_qslSentIndex = m_qslSentList->currentIndex();
    m_qslRcvdIndex = m_qslRcvdList->currentIndex();
    m_iota = m_iotaEdit->text();
    m_name = m_nameEdit->text();
    m_qth = m_qthEdit->text();
    m_address1 = m_address1Edit->text();
    m_address2 = m_address2Edit->text();
    m_remarks = m_remarksEdit->text();
    m_countryIndex = m_countryList->currentIndex();
    return true;
}

void CEditQso::pushFields()
{
    m_dateEdit->setDate(m_date.date());
    m_timeEdit->setTime(m_time.time());
    setText(m_callEdit, m_call);
    setText(m_rstSentEdit, m_rstSent);
    setText(m_rstRcvdEdit, m_rstRcvd);
    setText(m_freqEdit, m_freq);
    setText(m_bandEdit, m_band);
    FormControls::selectIndex(m_modeList, m_modeIndex);
    setText(m_powerEdit, m_power);
    setText(m_gridEdit, m_grid);
    setText(m_qslMgrEdit, m_qslMgr);
    setText(m_cqZoneEdit, m_cqZone);
    FormControls::selectIndex(m_qslSentList, m_qslSentIndex);
    FormControls::selectIndex(m_qslRcvdList, m_qslRcvdIndex);
    setText(m_iotaEdit, m_iota);
    setText(m_nameEdit, m_name);
    setText(m_qthEdit, m_qth);
    setText(m_address1Edit, m_address1);
    setText(m_address2Edit, m_address2);
    setText(m_remarksEdit, m_remarks);
    FormControls::selectIndex(m_countryList, m_countryIndex);
}

void CEditQso::accept()
{
    if (!pullFields())
        return;
    Sqlite3DB::UM_RECORD qso;
    qso.date = m_date.date() == m_shownDate ? m_storedDate : DbDateTime::formatDate(m_date.date());
    qso.time = m_time.time() == m_shownTime ? m_storedTime : DbDateTime::formatTime(m_time.time());
    qso.call = m_call;
    qso.sent = m_rstSent;
    qso.rcvd = m_rstRcvd;
    qso.freq = m_freq;
    qso.band = m_band;
    qso.mode = codeAt(m_modeList, m_modeIndex);
    qso.power = m_power;
    qso.cqZone = m_cqZone;
    qso.grid = m_grid;
    qso.qslSent = codeAt(m_qslSentList, m_qslSentIndex);
    qso.qslRcvd = codeAt(m_qslRcvdList, m_qslRcvdIndex);
    qso.name = m_name;
    qso.qth = m_qth;
    qso.address1 = m_address1;
    qso.address2 = m_address2;
    qso.remarks = m_remarks;
    qso.qslMgr = m_qslMgr;
    qso.iota = m_iota;
    qso.country = std::max(codeAt(m_countryList, m_countryIndex), 0);
    m_pDoc->m_records.clear();
    m_pDoc->m_records.append(qso);
    QDialog::accept();
}

void CEditQso::OnQslMgrDb()
{
    if (!pullFields())
        return;
    m_qslMgr = m_pDoc->m_db.GetQslManager(m_call);
    pushFields();
}

void CEditQso::OnFreqKillFocus()
{
    if (!pullFields())
        return;
    m_band = CKorva3Doc::BandFromFrequency(m_freq);
    pushFields();
}

bool CEditQso::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_freqEdit && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            OnFreqKillFocus();
    }
    return QDialog::eventFilter(watched, event);
}
