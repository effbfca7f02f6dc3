#include "CSetup.h"

#include "CKorva3View.h"
#include "forms/FormControls.h"
#include "document/CKorva3Doc.h"
#include "document/LogbookBackups.h"
#include "CallbookSetupPage.h"
#include "ClusterSetupPage.h"
#include "StationProfilePage.h"
#include "AccountsPage.h"
#include "net/CredentialStore.h"
#include "WsjtxSetupPage.h"
#include "net/WsjtxLogging.h"
#include "platform/AppSettings.h"
#include "platform/Prompter.h"
#include "platform/DbDateTime.h"
#include "platform/Numbers.h"
#include "rig/CTrxLink.h"
#include "rig/HamlibModels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QDateTime>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>


namespace {

QComboBox *dropDownList(const QStringList &items, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->addItems(items);
    return list;
}

QStringList comPorts()
{
    QStringList ports;
    for (int port = 1; port <= 9; ++port)
        ports.append(QStringLiteral("com%1").arg(port));
    return ports;
}

// The serial speeds offered for a Hamlib radio; the first keeps the model's own.
const int kSpeeds[] = {0, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Typing in the list shows the models whose maker, name or number holds the text.
QComboBox *makeHamlibModelList(QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    for (const HamlibModel &model : HamlibModels::all())
        list->addItem(QStringLiteral("%1 %2 (%3)").arg(model.maker, model.name).arg(model.number), model.number);
    list->completer()->setFilterMode(Qt::MatchContains);
    list->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    list->completer()->setCompletionMode(QCompleter::PopupCompletion);
    return list;
}

} // namespace

CSetup::CSetup(CKorva3View *owner, CTrxLink *link, WsjtxLogging *wsjtx)
    : QDialog(owner)
    , m_pOwnerView(owner)
    , m_link(link)
    , m_wsjtx(wsjtx)
{
    setWindowTitle(QStringLiteral("Setup"));
    buildForm();
    OnInitDialog();
}

CSetup::~CSetup() = default;

void CSetup::buildForm()
{
    auto *tabs = new QTabWidget(this);
    auto *logbook = new QWidget(tabs);
    auto *logbookForm = new QFormLayout(logbook);
    auto *radio = new QWidget(tabs);
    auto *radioForm = new QFormLayout(radio);
    m_utcOffsetEdit = FormControls::makeEdit(logbook, kUtcOffsetLimit, FormControls::UpperCase, true);
    // The computer's clock knows UTC; its offset is shown, not set here.
    m_utcOffsetEdit->setReadOnly(true);
    m_locatorEdit = FormControls::makeEdit(tabs, kLocatorLimit, FormControls::UpperCase, true);
    FormControls::keepWidthFor(m_locatorEdit, QString(kLocatorLimit, QLatin1Char('W')));
    m_stationPage = new StationProfilePage(m_locatorEdit, tabs);
    m_askList = dropDownList({QStringLiteral("Yes"), QStringLiteral("No")}, logbook);
    m_rigList = dropDownList({QStringLiteral("No Radio"), QStringLiteral("FT-897"), QStringLiteral("FT-1000mp"),
                              QStringLiteral("Other radio (Hamlib)")},
                             radio);
    m_portList = dropDownList(comPorts(), radio);
    m_periodList = dropDownList({QStringLiteral("all"), QStringLiteral("1 year"), QStringLiteral("6 months"),
                                 QStringLiteral("3 months"), QStringLiteral("1 month"), QStringLiteral("week")},
                                logbook);
    m_periodList->setEditable(true);
    m_periodList->setInsertPolicy(QComboBox::NoInsert);
    m_backupFolderEdit = new QLineEdit(logbook);
    logbookForm->addRow(QStringLiteral("UTC offset"), m_utcOffsetEdit);
    logbookForm->addRow(QStringLiteral("Ask Add Qso"), m_askList);
    logbookForm->addRow(QStringLiteral("Adif export \nlast period"), m_periodList);
    logbookForm->addRow(QStringLiteral("Backup folder"), m_backupFolderEdit);
    radioForm->addRow(QStringLiteral("Radio"), m_rigList);
    radioForm->addRow(QStringLiteral("Com port"), m_portList);
    buildHamlibRows(radioForm, radio);
    tabs->addTab(m_stationPage, QStringLiteral("Station"));
    tabs->addTab(logbook, QStringLiteral("Logbook"));
    tabs->addTab(radio, QStringLiteral("Radio"));
    m_accountsPage = new AccountsPage(tabs);
    tabs->addTab(m_accountsPage, QStringLiteral("Accounts"));
    m_clusterPage = new ClusterSetupPage(tabs);
    tabs->addTab(m_clusterPage, QStringLiteral("DX Cluster"));
    m_callbookPage = new CallbookSetupPage(tabs);
    tabs->addTab(m_callbookPage, QStringLiteral("Callbook"));
    QStringList logbooks;
    if (m_pOwnerView)
        logbooks.append(m_pOwnerView->GetDocument()->pathName());
    if (const QString last = AppSettings::mostRecentFile(); !last.isEmpty() && !logbooks.contains(last))
        logbooks.append(last);
    m_wsjtxPage = new WsjtxSetupPage(logbooks, tabs);
    tabs->addTab(m_wsjtxPage, QStringLiteral("WSJT-X"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetup::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

void CSetup::buildHamlibRows(QFormLayout *form, QWidget *group)
{
    m_hamlibModelList = makeHamlibModelList(group);
    m_hamlibPortList = dropDownList(comPorts(), group);
    m_hamlibPortList->setEditable(true);
    m_hamlibPortList->setInsertPolicy(QComboBox::NoInsert);
    m_speedList = new QComboBox(group);
    for (int speed : kSpeeds)
        m_speedList->addItem(speed == 0 ? QStringLiteral("Default") : QString::number(speed), speed);
    m_rigctldEdit = new QLineEdit(group);
    m_rigctldEdit->setPlaceholderText(QStringLiteral("host:port"));
    m_followCheck = new QCheckBox(QStringLiteral("Follow the radio"), group);
    form->addRow(QStringLiteral("Hamlib model"), m_hamlibModelList);
    form->addRow(QStringLiteral("Hamlib port"), m_hamlibPortList);
    form->addRow(QStringLiteral("Speed"), m_speedList);
    form->addRow(QStringLiteral("rigctld"), m_rigctldEdit);
    form->addRow(QString(), m_followCheck);
    connect(m_rigList, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { enableHamlibRows(); });
}

// The Hamlib fields count only for "Other radio (Hamlib)".
void CSetup::enableHamlibRows()
{
    const bool hamlib = m_rigList->currentIndex() == TrxHamlib;
    for (QWidget *field : {static_cast<QWidget *>(m_hamlibModelList), static_cast<QWidget *>(m_hamlibPortList),
                           static_cast<QWidget *>(m_speedList), static_cast<QWidget *>(m_rigctldEdit)})
        field->setEnabled(hamlib);
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
        m_trxSettings = m_link->Settings();
    }
    if (m_doc)
        m_adifPeriodIndex = m_doc->m_adifPeriod;
    m_backupFolder = LogbookBackups::folder();
    m_confirmationSettings = ConfirmationSettings::load();
    m_accountsPage->load(m_confirmationSettings);
    m_wsjtxPage->load(m_wsjtx ? m_wsjtx->settings() : WsjtxSettings::load());
    QList<StationProfile> profiles;
    qint32 activeId = 0;
    if (programDatabase().LoadStationProfiles(profiles, activeId))
        m_stationPage->load(profiles, activeId);
    m_clusterPage->load();
    m_callbookPage->load();
    pushFields();
}

// The parameters and profiles go through the owner's document; without one (no owner
// form) a document of no logbook reaches the program database all the same.
CKorva3Doc &CSetup::programDatabase()
{
    if (m_doc)
        return *m_doc;
    if (!m_programOnly)
        m_programOnly = std::make_unique<CKorva3Doc>(QString());
    return *m_programOnly;
}

void CSetup::pushFields()
{
    // A stored text longer than its field is shown whole, so that OK refuses it with
    // the length message instead of storing it cut short.
    FormControls::setText(m_utcOffsetEdit, DbDateTime::utcOffsetText(QDateTime::currentDateTime().offsetFromUtc()));
    FormControls::setText(m_locatorEdit, m_locatorText);
    FormControls::selectIndex(m_askList, m_askIndex);
    FormControls::selectIndex(m_rigList, m_rigIndex);
    FormControls::selectIndex(m_portList, m_portIndex);
    FormControls::selectIndex(m_periodList, m_adifPeriodIndex);
    pushTrxSettings();
    m_backupFolderEdit->setText(m_backupFolder);
    enableHamlibRows();
}

void CSetup::pushTrxSettings()
{
    FormControls::selectIndex(m_hamlibModelList, m_hamlibModelList->findData(m_trxSettings.hamlibModel));
    m_hamlibPortList->setEditText(m_trxSettings.hamlibPort);
    const int speed = m_speedList->findData(m_trxSettings.hamlibSpeed);
    if (speed < 0) // a speed set elsewhere is kept
        m_speedList->addItem(QString::number(m_trxSettings.hamlibSpeed), m_trxSettings.hamlibSpeed);
    m_speedList->setCurrentIndex(m_speedList->findData(m_trxSettings.hamlibSpeed));
    m_rigctldEdit->setText(m_trxSettings.rigctldAddress);
    m_followCheck->setChecked(m_trxSettings.follow);
}

// A model text that names no entry of the list leaves no model chosen.
void CSetup::pullTrxSettings()
{
    const int model = m_hamlibModelList->findText(m_hamlibModelList->currentText());
    m_trxSettings.hamlibModel = model >= 0 ? m_hamlibModelList->itemData(model).toInt() : 0;
    m_trxSettings.hamlibPort = m_hamlibPortList->currentText().trimmed();
    m_trxSettings.hamlibSpeed = m_speedList->currentData().toInt();
    m_trxSettings.rigctldAddress = m_rigctldEdit->text().trimmed();
    m_trxSettings.follow = m_followCheck->isChecked();
}

bool CSetup::pullFields()
{
    if (!FormControls::checkLimits({m_locatorEdit}))
        return false;
    m_locatorText = m_locatorEdit->text();
    m_askIndex = m_askList->currentIndex();
    m_rigIndex = m_rigList->currentIndex();
    m_portIndex = m_portList->currentIndex();
    m_adifPeriodIndex = FormControls::selectedIndex(m_periodList);
    m_backupFolder = m_backupFolderEdit->text().trimmed();
    pullTrxSettings();
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
    CKorva3Doc &db = programDatabase();
    if (m_pOwnerView) {
        m_pOwnerView->m_utcOffset = Numbers::atoi(m_utcOffsetText);
        m_pOwnerView->m_ownLocator = m_locatorText;
        m_pOwnerView->m_askYesNo = m_askIndex == 0;
    }
    db.SetParameter(QStringLiteral("utcoffset"), m_utcOffsetText);
    db.SetParameter(QStringLiteral("gridlocator"), m_locatorText);
    db.SetParameter(QStringLiteral("AskYesNo"), m_askIndex != 0 ? QStringLiteral("N") : QStringLiteral("Y"));
    const bool linkChanged = m_link
        && (m_link->Rig() != m_rigIndex || m_link->CommPort() != m_portIndex + 1
            || (m_rigIndex == TrxHamlib && !m_link->Settings().sameRadio(m_trxSettings)));
    if (m_link)
        m_link->SetRig(m_rigIndex);
    db.SetParameter(QStringLiteral("rig"), QString::number(m_rigIndex));
    if (m_link)
        m_link->SetCommPort(m_portIndex + 1);
    db.SetParameter(QStringLiteral("comm"), QString::number(m_portIndex + 1));
    if (m_doc)
        m_doc->m_adifPeriod = m_adifPeriodIndex;
    db.SetParameter(QStringLiteral("adifexport"), QString::number(m_adifPeriodIndex));
    storeTrxSettings();
    m_clusterPage->store();
    m_callbookPage->store();
    storeWsjtxSettings();
    if (m_stationPage->hasProfiles())
        db.SaveStationProfiles(m_stationPage->profiles(), m_stationPage->activeIndex());
    storeAccounts();
    // An emptied field returns to the folder of the user's data.
    if (m_backupFolder != LogbookBackups::folder())
        LogbookBackups::setFolder(m_backupFolder);
    // The link listens to the port it opened; a new radio or port is opened at once, so
    // the next query talks to the transceiver just chosen.
    if (linkChanged)
        m_link->OpenLink(m_rigIndex, m_portIndex + 1);
}

// The accounts go to the settings, their passwords to the secret store (which answers
// later, so its store lives as long as the program); a new rule of what counts as
// confirmed rebuilds the statistics of every open logbook.
void CSetup::storeAccounts()
{
    const ConfirmationSettings accounts = m_accountsPage->values();
    static CredentialStore *const credentials = new CredentialStore(CredentialStore::Backend::SecretStore, QCoreApplication::instance());
    m_accountsPage->storePasswords(*credentials);
    if (accounts == m_confirmationSettings)
        return;
    accounts.save();
    if (accounts.confirmedMeans != m_confirmationSettings.confirmedMeans)
        CKorva3Doc::ApplyConfirmedRuleEverywhere(ConfirmedRule(static_cast<ConfirmedRule::Means>(accounts.confirmedMeans)));
    m_confirmationSettings = accounts;
}

void CSetup::storeTrxSettings()
{
    m_trxSettings.save();
    if (m_link)
        m_link->SetSettings(m_trxSettings);
}

// A port that cannot be had is said once; the other settings stand.
void CSetup::storeWsjtxSettings()
{
    const WsjtxSettings settings = m_wsjtxPage->settings();
    settings.save();
    if (m_wsjtx && !m_wsjtx->apply(settings))
        Prompter::current().warning(m_wsjtx->notListeningText());
}
