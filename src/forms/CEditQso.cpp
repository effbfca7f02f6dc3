#include "CEditQso.h"

#include "DateTimePicker.h"
#include "FormControls.h"
#include "document/CKorva3Doc.h"
#include "platform/DbDateTime.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

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

using Field = QsoFieldEdits::Field;

} // namespace

CEditQso::CEditQso(CKorva3Doc *document, const Sqlite3DB::UM_RECORD &qso, QWidget *parent)
    : QDialog(parent)
    , m_doc(document)
    , m_edits(QsoFormFields::Window::Edit, this)
    , m_lists(new QComboBox(this), new QComboBox(this), new QComboBox(this), new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Edit Qso"));
    buildForm();
    OnInitDialog(qso);
}

void CEditQso::buildForm()
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildLeftFrame());
    layout->addWidget(buildRightFrame());
    freqEdit()->installEventFilter(this);
    connect(m_qslMgrDbButton, &QPushButton::clicked, this, &CEditQso::OnQslMgrDb);
    // Tab goes down the left frame, then down the right one.
    const QList<QWidget *> order = {m_dateEdit, m_timeEdit, callEdit(), rstSentEdit(), rstRcvdEdit(), freqEdit(),
                                    bandEdit(), m_lists.modeList, powerEdit(), gridEdit(), qslMgrEdit(), cqZoneEdit(),
                                    m_lists.qslSentList, m_lists.qslRcvdList, iotaEdit(), m_qslMgrDbButton, nameEdit(),
                                    qthEdit(), address1Edit(), address2Edit(), remarksEdit(), m_lists.countryList};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
}

QWidget *CEditQso::buildLeftFrame()
{
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto *layout = new QVBoxLayout(frame);
    auto *form = new QFormLayout;
    m_dateEdit = new DateTimePicker(QStringLiteral("dd-MM-yyyy"), frame);
    m_dateEdit->setCalendarPopup(true);
    m_timeEdit = new DateTimePicker(QStringLiteral("HH:mm:ss"), frame);
    form->addRow(QStringLiteral("&Date"), m_dateEdit);
    form->addRow(QStringLiteral("&Time"), m_timeEdit);
    for (const Field field : {Field::Call, Field::Sent, Field::Rcvd, Field::Freq, Field::Band})
        form->addRow(m_edits.label(field), m_edits.edit(field));
    form->addRow(QStringLiteral("&Mode"), m_lists.modeList);
    for (const Field field : {Field::Power, Field::Grid, Field::QslMgr, Field::CqZone})
        form->addRow(m_edits.label(field), m_edits.edit(field));
    form->addRow(QStringLiteral("Sent"), m_lists.qslSentList);
    form->addRow(QStringLiteral("Rcvd"), m_lists.qslRcvdList);
    form->addRow(m_edits.label(Field::Iota), m_edits.edit(Field::Iota));
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
    for (const Field field : {Field::Name, Field::Qth, Field::Address1, Field::Address2, Field::Remarks})
        form->addRow(m_edits.label(field), m_edits.edit(field));
    form->addRow(QStringLiteral("Country"), m_lists.countryList);
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

void CEditQso::OnInitDialog(const Sqlite3DB::UM_RECORD &qso)
{
    m_lists.fill(*m_doc);
    m_qso = qso;
    m_date = storedDate(qso.date);
    m_time = storedTime(qso.time);
    m_shownDate = m_date;
    m_shownTime = m_time;
    m_lists.selectCodes(qso);
    pushFields();
}

bool CEditQso::pullFields()
{
    if (!m_edits.checkLimits())
        return false;
    m_date = m_dateEdit->date();
    m_time = m_timeEdit->time();
    m_edits.pull(m_qso);
    m_lists.pull();
    return true;
}

void CEditQso::pushFields()
{
    m_dateEdit->setDate(m_date);
    m_timeEdit->setTime(m_time);
    m_edits.push(m_qso);
    m_lists.push();
}

void CEditQso::accept()
{
    if (!pullFields())
        return;
    Sqlite3DB::UM_RECORD qso = m_qso;
    qso.rowId = 0;
    if (m_date != m_shownDate)
        qso.date = DbDateTime::formatDate(m_date);
    if (m_time != m_shownTime)
        qso.time = DbDateTime::formatTime(m_time);
    m_lists.writeCodes(qso);
    m_edited = qso;
    QDialog::accept();
}

void CEditQso::OnQslMgrDb()
{
    if (!pullFields())
        return;
    m_qso.qslMgr = m_doc->GetQslManager(m_qso.call);
    pushFields();
}

void CEditQso::OnFreqKillFocus()
{
    if (!pullFields())
        return;
    m_qso.band = CKorva3Doc::BandFromFrequency(m_qso.freq);
    pushFields();
}

bool CEditQso::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == freqEdit() && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            OnFreqKillFocus();
    }
    return QDialog::eventFilter(watched, event);
}
