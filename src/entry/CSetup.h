#pragma once

#include "net/ConfirmationSettings.h"
#include "rig/TrxSettings.h"

#include <QDialog>

#include <memory>

class CKorva3Doc;
class CKorva3View;
class CTrxLink;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class CallbookSetupPage;
class ClusterSetupPage;
class StationProfilePage;
class AccountsPage;
class WsjtxLogging;
class WsjtxSetupPage;

// The station settings: UTC offset, own locator, whether to ask before adding a QSO,
// transceiver type, its serial port and the ADIF export period. Shows the values in
// force in the owner form, the transceiver link and the document; OK puts them back
// there and writes the six parameters.
//
// For "Other radio (Hamlib)" also the Hamlib model (a list searchable by maker, name
// and number), its port (a COM port of the list or a device path typed in) and speed,
// or the host:port of a running rigctld; and, for every radio, "Follow the radio".
// These go to the per-user settings, as do those of the WSJT-X page, which take effect
// at once in the logging they are given, and the DX cluster's and the callbook's settings
// of their own pages (their passwords to the credential store).
class CSetup : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kUtcOffsetLimit = 6;
    // An extended locator of eight characters (JN47QK12) fits.
    static constexpr int kLocatorLimit = 8;

    // `owner` may be null: the dialog then shows empty controls and OK changes nothing
    // but the parameters.
    CSetup(CKorva3View *owner, CTrxLink *link, WsjtxLogging *wsjtx = nullptr);
    ~CSetup() override;

    // The members of the data exchange, in its order.
    QString m_utcOffsetText;
    QString m_locatorText;
    int m_askIndex = -1;
    int m_rigIndex = -1;
    int m_portIndex = -1;
    int m_adifPeriodIndex = -1;
    // Where the logbooks' automatic backups go.
    QString m_backupFolder;
    TrxSettings m_trxSettings;
    ConfirmationSettings m_confirmationSettings;

    QLineEdit *utcOffsetEdit() const { return m_utcOffsetEdit; }
    QLineEdit *locatorEdit() const { return m_locatorEdit; }
    QComboBox *askList() const { return m_askList; }
    QComboBox *rigList() const { return m_rigList; }
    QComboBox *portList() const { return m_portList; }
    QComboBox *periodList() const { return m_periodList; }
    QComboBox *hamlibModelList() const { return m_hamlibModelList; }
    QComboBox *hamlibPortList() const { return m_hamlibPortList; }
    QComboBox *speedList() const { return m_speedList; }
    QLineEdit *rigctldEdit() const { return m_rigctldEdit; }
    QLineEdit *backupFolderEdit() const { return m_backupFolderEdit; }
    StationProfilePage *stationPage() const { return m_stationPage; }
    AccountsPage *accountsPage() const { return m_accountsPage; }
    ClusterSetupPage *clusterPage() const { return m_clusterPage; }
    CallbookSetupPage *callbookPage() const { return m_callbookPage; }
    QCheckBox *followCheck() const { return m_followCheck; }
    WsjtxSetupPage *wsjtxPage() const { return m_wsjtxPage; }

    void accept() override;

private:
    CKorva3Doc &programDatabase();
    void buildForm();
    void buildHamlibRows(QFormLayout *form, QWidget *group);
    void enableHamlibRows();
    void pushTrxSettings();
    void pullTrxSettings();
    void storeTrxSettings();
    void storeAccounts();
    void storeWsjtxSettings();
    void OnInitDialog();
    void pushFields();
    bool pullFields();
    void storeValues();

    CKorva3View *m_pOwnerView;
    CKorva3Doc *m_doc = nullptr;
    CTrxLink *m_link;
    WsjtxLogging *m_wsjtx;
    QLineEdit *m_utcOffsetEdit = nullptr;
    QLineEdit *m_locatorEdit = nullptr;
    QComboBox *m_askList = nullptr;
    QComboBox *m_rigList = nullptr;
    QComboBox *m_portList = nullptr;
    QComboBox *m_periodList = nullptr;
    QComboBox *m_hamlibModelList = nullptr;
    QComboBox *m_hamlibPortList = nullptr;
    QComboBox *m_speedList = nullptr;
    QLineEdit *m_rigctldEdit = nullptr;
    QCheckBox *m_followCheck = nullptr;
    QLineEdit *m_backupFolderEdit = nullptr;
    StationProfilePage *m_stationPage = nullptr;
    AccountsPage *m_accountsPage = nullptr;
    ClusterSetupPage *m_clusterPage = nullptr;
    CallbookSetupPage *m_callbookPage = nullptr;
    WsjtxSetupPage *m_wsjtxPage = nullptr;
    std::unique_ptr<CKorva3Doc> m_programOnly;
};
