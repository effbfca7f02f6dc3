#include "common/FieldGeometry.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "entry/AccountsPage.h"
#include "document/CKorva3Doc.h"
#include "entry/CKorva3View.h"
#include "entry/CSetup.h"
#include "entry/CallbookSetupPage.h"
#include "entry/ClusterSetupPage.h"
#include "net/AppCredentials.h"
#include "net/CallbookSettings.h"
#include "net/ClusterSettings.h"
#include "entry/StationProfilePage.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "rig/CTrxLink.h"
#include "trxsim/PtyTransceiver.h"
#include "store/DatabaseSchema.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QCompleter>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

const char kProgramTables[] =
    "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"
    "INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('utcoffset', '-60'),('AskYesNo', 'Y'),"
    "('gridlocator', 'JN47QK'),('rig', '0'),('comm', '1'),('adifexport', '1');"
    // Every write, in order.
    "CREATE TABLE WRITES(PARAMETER TEXT, VALUE TEXT);"
    "CREATE TRIGGER LOGWRITE AFTER UPDATE ON PARAMETERS BEGIN "
    "INSERT INTO WRITES VALUES (NEW.PARAMETER, NEW.VALUE); END;";

QByteArray writes()
{
    return SqlHelpers::rows(ProgramDb::kProgramDatabase, "SELECT PARAMETER, VALUE FROM WRITES ORDER BY ROWID");
}

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheValuesInForce();
    void okWritesTheSixParametersInOrder();
    void typedValuesTakeEffectAtOnce();
    void aPortOfZeroAndATypedPeriod();
    void cancelChangesNothing();
    void storedLocatorIsShownWholeAndCheckedOnOk_data();
    void storedLocatorIsShownWholeAndCheckedOnOk();
    void hamlibFieldsCountForTheHamlibRadioOnly();
    void modelListIsSearchable();
    void hamlibFieldsAreStoredAndReadBack();
    void stationProfilesAreChosenAndStored();
    void confirmedMeansRebuildsTheStatistics_data();
    void confirmedMeansRebuildsTheStatistics();
    void clusterAndCallbookPagesKeepPasswordsApart();

private:
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    CKorva3Doc *m_doc = nullptr;
    CKorva3View *m_view = nullptr;
    CTrxLink *m_link = nullptr;
};

void TestSetup::init()
{
    m_dir = new TestDir;
    AppSettings::useFolder(m_dir->path());
    Prompter::install(&m_prompter);
    m_prompter.clear();
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase, kProgramTables));
    QVERIFY(Sqlite3DB().CreateLogbook(m_dir->filePath("log.sqlite3")));
    m_doc = new CKorva3Doc(m_dir->filePath("log.sqlite3"));
    m_view = new CKorva3View(m_doc);
    m_view->m_utcOffset = -60;
    m_view->m_ownLocator = QStringLiteral("JN47QK");
    m_view->m_askYesNo = true;
    m_link = new CTrxLink;
    m_link->SetRig(2);
    m_link->SetCommPort(3);
    m_link->SetReceivers([this] { return QList<TrxReadingReceiver *>{m_view}; });
}

void TestSetup::cleanup()
{
    delete m_view;
    delete m_doc;
    delete m_link;
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
}

void TestSetup::showsTheValuesInForce()
{
    CSetup setup(m_view, m_link);
    QCOMPARE(setup.windowTitle(), QStringLiteral("Setup"));
    // The computer's offset from UTC (the test runs in Tokyo's time zone), not to be set.
    QCOMPARE(setup.utcOffsetEdit()->text(), QStringLiteral("UTC+9"));
    QVERIFY(setup.utcOffsetEdit()->isReadOnly());
    QCOMPARE(setup.locatorEdit()->text(), QStringLiteral("JN47QK"));
    QCOMPARE(setup.askList()->currentText(), QStringLiteral("Yes"));
    QCOMPARE(setup.rigList()->currentText(), QStringLiteral("FT-1000mp"));
    QCOMPARE(setup.portList()->currentText(), QStringLiteral("com3"));
    QCOMPARE(setup.periodList()->currentText(), QStringLiteral("1 year")); // the document read "1"
    QStringList periods;
    for (int i = 0; i < setup.periodList()->count(); ++i)
        periods.append(setup.periodList()->itemText(i));
    QCOMPARE(periods, QStringList({"all", "1 year", "6 months", "3 months", "1 month", "week"}));
    QCOMPARE(setup.utcOffsetEdit()->maxLength(), 6);
}

void TestSetup::okWritesTheSixParametersInOrder()
{
    CSetup setup(m_view, m_link);
    setup.accept();
    QCOMPARE(setup.result(), int(QDialog::Accepted));
    QCOMPARE(writes(), QByteArray("utcoffset|-60\ngridlocator|JN47QK\nAskYesNo|Y\nrig|2\ncomm|3\nadifexport|1"));
}

void TestSetup::typedValuesTakeEffectAtOnce()
{
    PtyTransceiver transceiver(TrxSimulator(7012300, *TrxSimulator::modeByName("CW")));
    QVERIFY(transceiver.start());
    AppSettings::open()->setValue("Serial ports/COM1", transceiver.devicePath());
    CSetup setup(m_view, m_link);
    setup.utcOffsetEdit()->clear();
    QTest::keyClicks(setup.utcOffsetEdit(), "+120x");
    setup.locatorEdit()->clear();
    QTest::keyClicks(setup.locatorEdit(), "io91wm");
    QCOMPARE(setup.locatorEdit()->text(), QStringLiteral("IO91WM")); // upper case
    setup.askList()->setCurrentIndex(1);
    setup.rigList()->setCurrentIndex(1);
    setup.portList()->setCurrentIndex(0);
    setup.periodList()->setCurrentIndex(5);
    setup.accept();
    QCOMPARE(m_view->m_utcOffset, -60); // the offset field is only shown
    QCOMPARE(m_view->m_ownLocator, QStringLiteral("IO91WM"));
    QVERIFY(!m_view->m_askYesNo);
    QCOMPARE(m_link->Rig(), 1);
    QCOMPARE(m_link->CommPort(), 1);
    QCOMPARE(m_doc->m_adifPeriod, 5);
    QCOMPARE(writes(), QByteArray("utcoffset|-60\ngridlocator|IO91WM\nAskYesNo|N\nrig|1\ncomm|1\nadifexport|5"));

    // The radio and port chosen answer the next query at once.
    QSignalSpy ended(m_link, &CTrxLink::queryEnded);
    m_link->OnGetTrxFreq();
    QVERIFY(ended.wait(5000));
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("7.012.3"));
}

void TestSetup::aPortOfZeroAndATypedPeriod()
{
    m_link->SetCommPort(0);
    CSetup setup(m_view, m_link);
    QCOMPARE(setup.portList()->currentIndex(), -1);
    setup.periodList()->setEditText(QStringLiteral("2 weeks"));
    setup.accept();
    QCOMPARE(m_doc->m_adifPeriod, -1);
    QCOMPARE(m_link->CommPort(), 0);
    QCOMPARE(m_prompter.texts(), QStringList()); // radio and port as they were: nothing reopened

    // A radio whose port has no device says so when it is chosen.
    CSetup again(m_view, m_link);
    again.rigList()->setCurrentIndex(1);
    again.accept();
    QTRY_COMPARE(m_prompter.texts(), QStringList({"Communication port for Tx/Rx not found !\nCheck your setup..."}));
    QCOMPARE(SqlHelpers::rows(ProgramDb::kProgramDatabase,
                              "SELECT VALUE FROM PARAMETERS WHERE PARAMETER IN ('comm','adifexport') ORDER BY ID"),
             QByteArray("0\n-1"));
}

void TestSetup::cancelChangesNothing()
{
    CSetup setup(m_view, m_link);
    setup.utcOffsetEdit()->setText(QStringLiteral("0"));
    setup.rigList()->setCurrentIndex(0);
    setup.reject();
    QCOMPARE(m_view->m_utcOffset, -60);
    QCOMPARE(m_link->Rig(), 2);
    QCOMPARE(m_doc->m_adifPeriod, 1);
    QCOMPARE(writes(), QByteArray());
}

void TestSetup::storedLocatorIsShownWholeAndCheckedOnOk_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed"); // replaces the stored text when not empty
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("written");

    const QByteArray others = "utcoffset|-60\ngridlocator|%1\nAskYesNo|Y\nrig|2\ncomm|3\nadifexport|1";
    QTest::newRow("six characters") << "JN47QK" << "" << "JN47QK" << "" << QByteArray(others).replace("%1", "JN47QK");
    QTest::newRow("extended locator") << "JN47QK12" << "" << "JN47QK12" << ""
                                      << QByteArray(others).replace("%1", "JN47QK12");
    QTest::newRow("typed beyond the field") << "JN47QK" << "io91wm12xx" << "IO91WM12" << ""
                                            << QByteArray(others).replace("%1", "IO91WM12");
    QTest::newRow("stored longer than the field")
        << "JN47QK12AB" << "" << "JN47QK12AB" << "Please enter no more than 8 characters." << QByteArray();
}

// The field takes an extended locator; a longer stored one is shown as it is, and OK
// refuses it instead of storing it cut short.
void TestSetup::storedLocatorIsShownWholeAndCheckedOnOk()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QFETCH(QByteArray, written);
    m_view->m_ownLocator = stored;
    CSetup setup(m_view, m_link);
    setup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&setup));
    if (!typed.isEmpty()) {
        setup.locatorEdit()->clear();
        QTest::keyClicks(setup.locatorEdit(), typed);
    }
    QCOMPARE(setup.locatorEdit()->text(), shown);
    QVERIFY2(FieldGeometry::showsWhole(setup.locatorEdit(), QStringLiteral("WWWWWWWW")),
             qPrintable(QString::number(FieldGeometry::textRoom(setup.locatorEdit()))));
    setup.accept();
    QCOMPARE(m_prompter.texts(), message.isEmpty() ? QStringList() : QStringList({message}));
    QCOMPARE(setup.result(), message.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(setup.isVisible(), !message.isEmpty());
    QCOMPARE(writes(), written);
    QCOMPARE(m_view->m_ownLocator, message.isEmpty() ? shown : stored);
}

void TestSetup::hamlibFieldsCountForTheHamlibRadioOnly()
{
    CSetup setup(m_view, m_link);
    QStringList radios;
    for (int i = 0; i < setup.rigList()->count(); ++i)
        radios.append(setup.rigList()->itemText(i));
    QCOMPARE(radios, QStringList({"No Radio", "FT-897", "FT-1000mp", "Other radio (Hamlib)"}));
    QVERIFY(!setup.hamlibModelList()->isEnabled());
    QVERIFY(!setup.rigctldEdit()->isEnabled());
    QVERIFY(setup.followCheck()->isEnabled());
    QCOMPARE(setup.followCheck()->text(), QStringLiteral("Follow the radio"));
    setup.rigList()->setCurrentIndex(3);
    QVERIFY(setup.hamlibModelList()->isEnabled());
    QVERIFY(setup.hamlibPortList()->isEnabled());
    QVERIFY(setup.speedList()->isEnabled());
    QVERIFY(setup.rigctldEdit()->isEnabled());
}

// Typed text finds the models whose maker, name or number hold it, in any case.
void TestSetup::modelListIsSearchable()
{
    CSetup setup(m_view, m_link);
    QCompleter *completer = setup.hamlibModelList()->completer();
    const auto matches = [completer](const QString &text) {
        completer->setCompletionPrefix(text);
        QStringList found;
        for (int row = 0; row < completer->completionCount(); ++row) {
            completer->setCurrentRow(row);
            found.append(completer->currentCompletion());
        }
        return found;
    };
    QCOMPARE(matches("ft-897"), QStringList({"Yaesu FT-897 (1023)", "Yaesu FT-897D (1043)"}));
    QCOMPARE(matches("(1024)"), QStringList{"Yaesu FT-1000MP (1024)"});
    QVERIFY(matches("yaesu").size() > 20);
    QCOMPARE(matches("Hamlib Dummy ("), QStringList{"Hamlib Dummy (1)"});
}

// Hamlib's FT-897 on the simulator chosen in Setup: "rig" 3 in the parameters, the rest
// in the per-user settings; the next query reads the radio through Hamlib, and the
// dialog and a link made afterwards show what was stored.
void TestSetup::hamlibFieldsAreStoredAndReadBack()
{
    PtyTransceiver transceiver(TrxSimulator(18100000, *TrxSimulator::modeByName("CWR")));
    QVERIFY(transceiver.start());
    CSetup setup(m_view, m_link);
    setup.rigList()->setCurrentIndex(3);
    setup.hamlibModelList()->setEditText(QStringLiteral("Yaesu FT-897 (1023)"));
    setup.hamlibPortList()->setEditText(transceiver.devicePath());
    setup.speedList()->setCurrentIndex(setup.speedList()->findText("4800"));
    setup.followCheck()->setChecked(true);
    setup.accept();
    QCOMPARE(writes(), QByteArray("utcoffset|-60\ngridlocator|JN47QK\nAskYesNo|Y\nrig|3\ncomm|3\nadifexport|1"));
    const auto settings = AppSettings::open();
    QCOMPARE(settings->value("Transceiver/HamlibModel").toInt(), 1023);
    QCOMPARE(settings->value("Transceiver/HamlibPort").toString(), transceiver.devicePath());
    QCOMPARE(settings->value("Transceiver/HamlibSpeed").toInt(), 4800);
    QCOMPARE(settings->value("Transceiver/RigctldAddress").toString(), QString());
    QCOMPARE(settings->value("Transceiver/Follow").toBool(), true);
    QVERIFY(m_link->Follow());

    QSignalSpy ended(m_link, &CTrxLink::queryEnded);
    m_link->OnGetTrxFreq();
    QVERIFY(ended.wait(10000));
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("18.100.0"));

    CTrxLink fresh;
    ProgramDb db;
    fresh.OpenLink(db);
    QCOMPARE(fresh.Rig(), 3);
    QCOMPARE(fresh.Settings(), m_link->Settings());
    CSetup again(m_view, &fresh);
    QCOMPARE(again.rigList()->currentText(), QStringLiteral("Other radio (Hamlib)"));
    QCOMPARE(again.hamlibModelList()->currentText(), QStringLiteral("Yaesu FT-897 (1023)"));
    QCOMPARE(again.hamlibPortList()->currentText(), transceiver.devicePath());
    QCOMPARE(again.speedList()->currentText(), QStringLiteral("4800"));
    QVERIFY(again.followCheck()->isChecked());

    // A rigctld address instead of the port, and a speed this list does not offer.
    TrxSettings other = fresh.Settings();
    other.rigctldAddress = QStringLiteral("127.0.0.1:4532");
    other.hamlibSpeed = 300;
    other.follow = false;
    fresh.SetSettings(other);
    CSetup third(m_view, &fresh);
    QCOMPARE(third.rigctldEdit()->text(), QStringLiteral("127.0.0.1:4532"));
    QCOMPARE(third.speedList()->currentText(), QStringLiteral("300"));
    QVERIFY(!third.followCheck()->isChecked());
    third.hamlibModelList()->setEditText(QStringLiteral("no such radio"));
    third.rigList()->setCurrentIndex(0);
    third.accept();
    QCOMPARE(TrxSettings::load().hamlibModel, 0);
    QCOMPARE(TrxSettings::load().hamlibSpeed, 300);
    QCOMPARE(TrxSettings::load().rigctldAddress, QStringLiteral("127.0.0.1:4532"));
}

// The first profile holds the grid location the program database had; a second one made
// and chosen in Setup is the active one after OK, its grid the own locator.
void TestSetup::stationProfilesAreChosenAndStored()
{
    QVERIFY(ProgramDb::Schema().applyMigrations(ProgramDb::kProgramDatabase, 0, nullptr));
    CSetup setup(m_view, m_link);
    StationProfilePage *page = setup.stationPage();
    QCOMPARE(page->profileList()->currentText(), QStringLiteral("Home"));
    QCOMPARE(setup.locatorEdit()->text(), QStringLiteral("JN47QK"));
    page->fieldEdit("STATION_CALLSIGN")->setText("DL1ABC");
    for (QPushButton *button : page->findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("New"))
            button->click();
    }
    QCOMPARE(page->profileList()->currentText(), QStringLiteral("Profile 2"));
    QCOMPARE(page->fieldEdit("STATION_CALLSIGN")->text(), QString());
    page->profileList()->lineEdit()->selectAll();
    QTest::keyClicks(page->profileList()->lineEdit(), "Portable");
    page->fieldEdit("STATION_CALLSIGN")->setText("DL1ABC/P");
    setup.locatorEdit()->setText("JO31AA");
    setup.accept();
    QCOMPARE(SqlHelpers::rows(ProgramDb::kProgramDatabase,
                              "SELECT P.NAME || ':' || group_concat(F.NAME || '=' || F.VALUE) FROM STATIONPROFILES P "
                              "JOIN STATIONPROFILEFIELDS F ON F.PROFILE = P.ID GROUP BY P.ID ORDER BY P.ID"),
             QByteArray("Home:STATION_CALLSIGN=DL1ABC,MY_GRIDSQUARE=JN47QK\n"
                        "Portable:STATION_CALLSIGN=DL1ABC/P,MY_GRIDSQUARE=JO31AA"));
    QCOMPARE(m_doc->ActiveStationProfile()->name, QStringLiteral("Portable"));
    QCOMPARE(m_view->m_ownLocator, QStringLiteral("JO31AA"));
}


void TestSetup::confirmedMeansRebuildsTheStatistics_data()
{
    QTest::addColumn<QString>("means");
    QTest::addColumn<QByteArray>("confirmed");
    QTest::newRow("card or LoTW, the default") << "card or LoTW" << QByteArray("2|3");
    QTest::newRow("QSL card") << "QSL card" << QByteArray("1|3");
    QTest::newRow("LoTW") << "LoTW" << QByteArray("1|3");
}

// Three QSOs of one entity: one with a card, one LoTW confirmed, one neither. The
// choice on the Accounts page counts the statistics of the open logbook anew; the
// account goes to the settings, its password does not.
void TestSetup::confirmedMeansRebuildsTheStatistics()
{
    QFETCH(QString, means);
    QFETCH(QByteArray, confirmed);
    for (const QByteArray &qso : {QByteArray("<CALL:6>DL1ABC<QSO_DATE:8>20240301<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW"
                                             "<DXCC:3>230<QSL_RCVD:1>Y<EOR>"),
                                  QByteArray("<CALL:6>DL2ABC<QSO_DATE:8>20240301<TIME_ON:4>1300<BAND:3>20m<MODE:2>CW"
                                             "<DXCC:3>230<LOTW_QSL_RCVD:1>Y<EOR>"),
                                  QByteArray("<CALL:6>DL3ABC<QSO_DATE:8>20240301<TIME_ON:4>1400<BAND:3>20m<MODE:2>CW"
                                             "<DXCC:3>230<EOR>")})
        QCOMPARE(m_doc->AddAdifRecord(qso).added, 1);
    CSetup setup(m_view, m_link);
    QCOMPARE(setup.accountsPage()->confirmedList()->currentText(), QStringLiteral("card or LoTW"));
    setup.accountsPage()->confirmedList()->setCurrentText(means);
    setup.accountsPage()->userEdit(AccountsPage::Lotw)->setText(QStringLiteral("k1abc"));
    setup.accountsPage()->passwordEdit(AccountsPage::Lotw)->setText(QStringLiteral("pw-never-kept"));
    setup.accept();
    QCOMPARE(SqlHelpers::rows(m_doc->pathName(), "SELECT SUM(COUNTC), SUM(COUNTW) FROM DXCCREPORT WHERE MODE = 1"),
             confirmed);
    QCOMPARE(ConfirmationSettings::load().lotwUser, QStringLiteral("k1abc"));
    QDirIterator files(m_dir->path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        if (!file.endsWith(".sqlite3"))
            QVERIFY2(!TestDir::readFile(file).contains("pw-never-kept"), qPrintable(file));
    }
}

// The DX cluster's and the callbook's pages: settings into the settings file, passwords
// into the credential store only; an empty password field keeps the password kept.
void TestSetup::clusterAndCallbookPagesKeepPasswordsApart()
{
    CredentialStore credentials(CredentialStore::Backend::SessionMemory);
    AppCredentials::use(&credentials);
    const auto passwordOf = [&credentials](const CredentialStore::Account &account) {
        std::optional<QString> password;
        bool read = false;
        credentials.readPassword(account, [&](const std::optional<QString> &got) {
            password = got;
            read = true;
        });
        return QTest::qWaitFor([&read] { return read; }) ? password : std::nullopt;
    };
    {
        CSetup setup(m_view, m_link);
        setup.clusterPage()->hostEdit()->setText(QStringLiteral(" dxc.example.org "));
        setup.clusterPage()->portBox()->setValue(8000);
        setup.clusterPage()->callEdit()->setText(QStringLiteral("k1abc"));
        setup.clusterPage()->passwordEdit()->setText(QStringLiteral("node secret"));
        setup.clusterPage()->commandsEdit()->setPlainText(QStringLiteral("set/dx/filter\n\n  sh/dx 5  \n"));
        setup.clusterPage()->autoConnectBox()->setChecked(true);
        setup.callbookPage()->serviceList()->setCurrentIndex(1);
        setup.callbookPage()->userEdit()->setText(QStringLiteral("k1abc-user"));
        setup.callbookPage()->passwordEdit()->setText(QStringLiteral("book secret"));
        setup.accept();
    }
    const ClusterSettings cluster = ClusterSettings::load();
    QCOMPARE(QStringList({cluster.host, QString::number(cluster.port), cluster.call, cluster.commands.join('|')}),
             QStringList({"dxc.example.org", "8000", "K1ABC", "set/dx/filter|sh/dx 5"}));
    QVERIFY(cluster.autoConnect);
    const CallbookSettings callbook = CallbookSettings::load();
    QCOMPARE(QStringList({callbook.service, callbook.user, callbook.url.toString()}),
             QStringList({"hamqth", "k1abc-user", ""}));
    QCOMPARE(passwordOf({"DX Cluster", "K1ABC"}), std::optional<QString>("node secret"));
    QCOMPARE(passwordOf({"HamQTH", "k1abc-user"}), std::optional<QString>("book secret"));
    QFile file(AppSettings::open()->fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY(written.contains("dxc.example.org"));
    QVERIFY(!written.contains("secret"));

    CSetup again(m_view, m_link);
    QCOMPARE(again.clusterPage()->callEdit()->text(), QStringLiteral("K1ABC"));
    QCOMPARE(again.clusterPage()->passwordEdit()->text(), QString());
    QCOMPARE(again.callbookPage()->serviceList()->currentText(), QStringLiteral("HamQTH"));
    again.accept();
    QCOMPARE(passwordOf({"DX Cluster", "K1ABC"}), std::optional<QString>("node secret"));
    QCOMPARE(passwordOf({"HamQTH", "k1abc-user"}), std::optional<QString>("book secret"));
    AppCredentials::use(nullptr);
}

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
