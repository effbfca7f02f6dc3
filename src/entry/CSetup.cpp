#include "CSetup.h"

#include "CKorva3View.h"
#include "forms/FormControls.h"
#include "document/CKorva3Doc.h"
#include "platform/Numbers.h"
#include "rig/CTrxLink.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <optional>

namespace {

QComboBox *dropDownList(const QStringList &items, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->addItems(items);
    return list;
}

} // namespace

CSetup::CSetup(CKorva3View *owner, CTrxLink *link)
    : QDialog(owner)
    , m_pOwnerView(owner)
    , m_link(link)
{
    setWindowTitle(QStringLiteral("Setup"));
    buildForm();
    OnInitDialog();
}

void CSetup::buildForm()
{
    auto *group = new QGroupBox(QStringLiteral("Setup"), this);
    auto *form = new QFormLayout(group);
    m_utcOffsetEdit = FormControls::makeEdit(group, kTextLimit, FormControls::UpperCase, true);
    m_locatorEdit = FormControls::makeEdit(group, kTextLimit, FormControls::UpperCase, true);
    m_askList = dropDownList({QStringLiteral("Yes"), QStringLiteral("No")}, group);
    m_rigList = dropDownList({QStringLiteral("No Radio"), QStringLiteral("FT-897"), QStringLiteral("FT-1000mp")}, group);
    QStringList ports;
    for (int port = 1; port <= 9; ++port)
        ports.append(QStringLiteral("com%1").arg(port));
    m_portList = dropDownList(ports, group);
    m_periodList = dropDownList({QStringLiteral("all"), QStringLiteral("1 year"), QStringLiteral("6 months"),
                                 QStringLiteral("3 months"), QStringLiteral("1 month"), QStringLiteral("week")},
                                group);
    m_periodList->setEditable(true);
    m_periodList->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QStringLiteral("UTC offset"), m_utcOffsetEdit);
    form->addRow(QStringLiteral("Grid location"), m_locatorEdit);
    form->addRow(QStringLiteral("Ask Add Qso"), m_askList);
    form->addRow(QStringLiteral("Radio"), m_rigList);
    form->addRow(QStringLiteral("Com port"), m_portList);
    form->addRow(QStringLiteral("Adif export \nlast period"), m_periodList);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetup::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void CSetup::OnInitDialog()
{
    if (m_pOwnerView) {
        m_doc = m_pOwnerView->GetDocument();
        m_utcOffsetText = QString::number(m_pOwnerView->m_utcOffset);
        m_locatorText = m_pOwnerView->m_ownLocator;
        m_askIndex = m_pOwnerView->m_askYesNo ? 0 : 1;
    }
    if (m_link) {
        m_rigIndex = m_link->Rig();
        m_portIndex = m_link->CommPort() - 1;
    }
    if (m_doc)
        m_adifPeriodIndex = m_doc->m_adifPeriod;
    pushFields();
}

void CSetup::pushFields()
{
    m_utcOffsetEdit->setText(m_utcOffsetText);
    m_locatorEdit->setText(m_locatorText);
    FormControls::selectIndex(m_askList, m_askIndex);
    FormControls::selectIndex(m_rigList, m_rigIndex);
    FormControls::selectIndex(m_portList, m_portIndex);
    FormControls::selectIndex(m_periodList, m_adifPeriodIndex);
}

bool CSetup::pullFields()
{
    if (!FormControls::checkLimits({m_utcOffsetEdit, m_locatorEdit}))
        return false;
    m_utcOffsetText = m_utcOffsetEdit->text();
    m_locatorText = m_locatorEdit->text();
    m_askIndex = m_askList->currentIndex();
    m_rigIndex = m_rigList->currentIndex();
    m_portIndex = m_portList->currentIndex();
    m_adifPeriodIndex = FormControls::selectedIndex(m_periodList);
    return true;
}

void CSetup::accept()
{
    if (!pullFields())
        return;
    storeValues();
    QDialog::accept();
}

// The values take effect at once where they are used, and are written to the program
// database one by one in this order.
void CSetup::storeValues()
{
    // The parameters go through the owner's document; without one (no owner form) a
    // document of no logbook reaches the program database all the same.
    std::optional<CKorva3Doc> programOnly;
    if (!m_doc)
        programOnly.emplace(QString());
    CKorva3Doc &db = m_doc ? *m_doc : *programOnly;
    if (m_pOwnerView) {
        m_pOwnerView->m_utcOffset = Numbers::atoi(m_utcOffsetText);
        m_pOwnerView->m_ownLocator = m_locatorText;
        m_pOwnerView->m_askYesNo = m_askIndex == 0;
    }
    db.SetParameter(QStringLiteral("utcoffset"), m_utcOffsetText);
    db.SetParameter(QStringLiteral("gridlocator"), m_locatorText);
    db.SetParameter(QStringLiteral("AskYesNo"), m_askIndex != 0 ? QStringLiteral("N") : QStringLiteral("Y"));
    const bool linkChanged = m_link && (m_link->Rig() != m_rigIndex || m_link->CommPort() != m_portIndex + 1);
    if (m_link)
        m_link->SetRig(m_rigIndex);
    db.SetParameter(QStringLiteral("rig"), QString::number(m_rigIndex));
    if (m_link)
        m_link->SetCommPort(m_portIndex + 1);
    db.SetParameter(QStringLiteral("comm"), QString::number(m_portIndex + 1));
    // The link listens to the port it opened; a new radio or port is opened at once, so
    // the next query talks to the transceiver just chosen.
    if (linkChanged)
        m_link->OpenLink(m_rigIndex, m_portIndex + 1);
    if (m_doc)
        m_doc->m_adifPeriod = m_adifPeriodIndex;
    db.SetParameter(QStringLiteral("adifexport"), QString::number(m_adifPeriodIndex));
}
