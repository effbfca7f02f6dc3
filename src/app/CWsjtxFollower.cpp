#include "CWsjtxFollower.h"

#include "entry/CKorva3View.h"
#include "forms/FormControls.h"
#include "net/WsjtxLogging.h"
#include "rig/TrxDecoding.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// A text as the form's upper-case fields take it; empty when it does not fit the field,
// which would refuse the next pull with a message.
QString fieldText(const QString &text, const QLineEdit *edit)
{
    QString value = text.trimmed().toUpper();
    value.remove(QLatin1Char(' '));
    const int limit = FormControls::limitOf(edit);
    return limit > 0 && value.size() > limit ? QString() : value;
}

} // namespace

CWsjtxFollower::CWsjtxFollower(WsjtxLogging *logging, ActiveForm activeForm, QObject *parent)
    : QObject(parent)
    , m_logging(logging)
    , m_activeForm(std::move(activeForm))
{
    connect(m_logging, &WsjtxLogging::statusReceived, this, &CWsjtxFollower::OnStatus);
}

// A form that becomes active takes the status anew.
void CWsjtxFollower::OnStatus(const WsjtxStatus &status)
{
    CKorva3View *form = m_activeForm();
    if (!form || !m_logging->settings().follow)
        return;
    if (form != m_form) {
        m_form = form;
        m_shown.reset();
        m_shownCall.clear();
    }
    if (!mayFill(form))
        return;
    showFrequencyAndMode(form, status);
    const QString call = fieldText(status.dxCall, form->callEdit());
    const QString grid = fieldText(status.dxGrid, form->gridEdit());
    if (!m_shown || call != fieldText(m_shown->dxCall, form->callEdit())
        || grid != fieldText(m_shown->dxGrid, form->gridEdit()))
        showCall(form, call, grid);
    markAsShown(form);
    m_shown = status;
}

bool CWsjtxFollower::mayFill(const CKorva3View *form) const
{
    const QString typed = form->callEdit()->text();
    if (typed.isEmpty())
        return true;
    if (typed != m_shownCall)
        return false;
    const QList<QLineEdit *> edits = form->findChildren<QLineEdit *>();
    return std::none_of(edits.cbegin(), edits.cend(), [](const QLineEdit *edit) { return edit->isModified(); });
}

void CWsjtxFollower::showFrequencyAndMode(CKorva3View *form, const WsjtxStatus &status)
{
    if (status.dialFrequencyHz > 0 && (!m_shown || m_shown->dialFrequencyHz != status.dialFrequencyHz)) {
        const QString frequency = TrxDecoding::frequencyTextOfHz(static_cast<qint64>(status.dialFrequencyHz));
        FormControls::setTextBeyondLimit(form->freqEdit(), frequency);
        form->bandEdit()->setText(TrxDecoding::completedReading(frequency, 0).band);
    }
    if (!m_shown || m_shown->mode != status.mode) {
        // The list holds the programs' modes (FT8, FT4, JT65, Q65, JS8, ...) by name.
        const int index = form->modeList()->findText(status.mode.trimmed(), Qt::MatchFixedString);
        if (index >= 0)
            FormControls::selectIndex(form->modeList(), index);
    }
}

// Through the form's own events, as if the operator typed the call and left the field.
void CWsjtxFollower::showCall(CKorva3View *form, const QString &call, const QString &grid)
{
    if (!m_shownCall.isEmpty() && form->callEdit()->text() == m_shownCall)
        form->OnClearForm();
    m_shownCall.clear();
    if (call.isEmpty())
        return;
    form->callEdit()->setText(call);
    form->OnCallChange();
    if (!grid.isEmpty())
        form->gridEdit()->setText(grid);
    form->OnCallKillFocus();
    if (!grid.isEmpty())
        form->OnGridKillFocus();
    m_shownCall = form->callEdit()->text();
}

void CWsjtxFollower::markAsShown(CKorva3View *form)
{
    for (QLineEdit *edit : form->findChildren<QLineEdit *>())
        edit->setModified(false);
}
