#include "CRadioFollower.h"

#include "entry/CKorva3View.h"
#include "forms/FormControls.h"
#include "rig/CTrxLink.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

bool sameValues(const TrxReading &a, const TrxReading &b)
{
    return a.frequency == b.frequency && a.band == b.band && a.modePosition == b.modePosition;
}

} // namespace

CRadioFollower::CRadioFollower(CTrxLink *link, ActiveForm activeForm, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_activeForm(std::move(activeForm))
    , m_timer(this)
{
    connect(m_link, &CTrxLink::polled, this, &CRadioFollower::OnPolled);
    connect(&m_timer, &QTimer::timeout, this, &CRadioFollower::Tick);
    m_timer.start(kIntervalMs);
}

void CRadioFollower::Tick()
{
    if (m_link->Follow() && m_activeForm())
        m_link->Poll();
}

// A form that becomes active takes the radio's values anew; one whose values came from
// the radio keeps what the operator typed over them until the radio changes.
void CRadioFollower::OnPolled(const TrxReading &reading)
{
    CKorva3View *form = m_activeForm();
    if (!form || !m_link->Follow())
        return;
    if (form != m_form) {
        m_form = form;
        m_shown.reset();
    }
    if (!form->callEdit()->text().isEmpty() || (m_shown && sameValues(*m_shown, reading)))
        return;
    FormControls::setTextBeyondLimit(form->freqEdit(), reading.frequency);
    form->bandEdit()->setText(reading.band);
    FormControls::selectIndex(form->modeList(), reading.modePosition);
    m_shown = reading;
}
