#include "app/CChildFrame.h"
#include "app/CClusterFrame.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "common/FakeCallbook.h"
#include "common/FakeCluster.h"
#include "common/QsoBuilder.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/UniqueInstanceName.h"
#include "document/CKorva3Doc.h"
#include "entry/CClusterView.h"
#include "entry/CKorva3View.h"
#include "entry/ClusterSpotFilter.h"
#include "entry/ClusterSpotModel.h"
#include "net/AppCredentials.h"
#include "net/CallbookSettings.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "rig/CTrxLink.h"
#include "rig/TrxOutcome.h"
#include "rig/TrxSettings.h"
#include "store/Sqlite3DB.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QtTest>

namespace {

constexpr int kGermany = 230;
constexpr int kConfirmed = 2;

QByteArray spotLine(const char *call, const char *kHz, const char *comment)
{
    return QByteArray("DX de K1TTT:     ") + kHz + "  " + QByteArray(call).leftJustified(12) + ' '
         + QByteArray(comment).leftJustified(30) + " 1234Z\a\r\n";
}

// Call, entity and status of each row the window shows, top down.
QStringList shownRows(const QAbstractItemModel *model)
{
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column : {ClusterSpotModel::Call, ClusterSpotModel::Entity, ClusterSpotModel::Status})
            cells << model->index(row, column).data().toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

DxSpot spot(const char *call, double kHz)
{
    DxSpot made;
    made.dxCall = QString::fromLatin1(call);
    made.frequencyKHz = kHz;
    return made;
}

SpotStatus status(SpotStatus::Kind kind, const char *band, SpotStatus::ModeClass modeClass, const char *continent)
{
    SpotStatus made;
    made.kind = kind;
    made.band = QString::fromLatin1(band);
    made.modeClass = modeClass;
    made.continent = QString::fromLatin1(continent);
    return made;
}

} // namespace

// The DX Cluster window, a spot taken into the entry form and the radio, and the
// callbook behind the form, each against a local fake: a logbook with Germany confirmed
// on 20 m in CW (DL1ABC, Hans in Berlin) and nothing else.
class TestOnline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clusterWindowShowsSpotsWithTheirStatus();
    void filters_data();
    void filters();
    void theNewestThousandSpotsAreKept();
    void chosenSpotFillsAnEmptyFormAndTunesTheRadio();
    void callbookFillsOnlyEmptyFields_data();
    void callbookFillsOnlyEmptyFields();

private:
    bool start();
    void leaveCall();

    QTemporaryDir m_programDir;
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    CredentialStore *m_credentials = nullptr;
    CKorva3App *m_app = nullptr;
    CMainFrame *m_frame = nullptr;
    CKorva3View *m_view = nullptr;
    QString m_log;
};

void TestOnline::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
    QVERIFY(ProgramDatabaseBuilder::build(m_programDir.filePath("korva3.sqlite3")));
}

void TestOnline::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    AppSettings::useFolder(m_dir->path());
    m_prompter.clear();
    Prompter::install(&m_prompter);
    m_credentials = new CredentialStore(CredentialStore::Backend::SessionMemory);
    AppCredentials::use(m_credentials);
    QVERIFY(QFile::copy(m_programDir.filePath("korva3.sqlite3"), m_dir->filePath("korva3.sqlite3")));
    m_log = m_dir->filePath("log.sqlite3");
    QVERIFY(Sqlite3DB().CreateLogbook(m_log));
    Sqlite3DB::UM_RECORD hans = QsoBuilder().date("2026-01-02").time("10:00:00").call("DL1ABC").country(kGermany)
                                    .qslRcvd(kConfirmed);
    hans.name = QStringLiteral("Hans");
    hans.qth = QStringLiteral("Berlin");
    QVERIFY(CKorva3Doc(m_log).AddQso(hans) > 0);
}

void TestOnline::cleanup()
{
    if (m_app)
        m_app->ExitInstance(0);
    delete m_app;
    m_app = nullptr;
    m_frame = nullptr;
    m_view = nullptr;
    AppCredentials::use(nullptr);
    delete m_credentials;
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
    m_dir = nullptr;
}

bool TestOnline::start()
{
    m_app = new CKorva3App(uniqueInstanceName());
    if (!m_app->InitInstance({"Korva3", m_log}))
        return false;
    m_frame = m_app->mainFrame();
    auto *child = qobject_cast<CChildFrame *>(m_frame->activeFrame());
    if (!child || !QTest::qWaitForWindowActive(m_frame))
        return false;
    m_view = child->view();
    return QTest::qWaitFor([this] { return m_view->callEdit()->hasFocus(); });
}

void TestOnline::leaveCall()
{
    m_view->callEdit()->setFocus();
    QTest::keyClick(m_view->callEdit(), Qt::Key_Tab);
}

// Spots arrive newest first with entity and status; other lines go to the text pane; a
// QSO logged meanwhile changes the status of the spots already shown.
void TestOnline::clusterWindowShowsSpotsWithTheirStatus()
{
    FakeCluster cluster;
    cluster.answerLogins("K1ABC", spotLine("JA1ABC", " 14025.0", "CW 599") + spotLine("DL5AAA", " 21025.0", "")
                                      + "WWV de W0MU <18>:   SFI=70, A=5, K=1, No Storms\r\n"
                                      + spotLine("DL1ABC", " 14025.5", "up 2"));
    ClusterSettings settings = cluster.settings();
    settings.commands.clear();
    settings.save();
    QVERIFY(start());
    QVERIFY(m_frame->runCommand(ID_DX_CLUSTER));
    CClusterView *window = m_frame->clusterFrame()->view();
    QCOMPARE(window->logbook(), m_view->GetDocument());
    QVERIFY(m_frame->runCommand(ID_CLUSTER_CONNECT));
    QTRY_COMPARE(window->spotTable()->model()->rowCount(), 3);
    QCOMPARE(shownRows(window->spotTable()->model()),
             QStringList({"DL1ABC|Fed. Rep. of Germany|Confirmed, b4", "DL5AAA|Fed. Rep. of Germany|New band",
                          "JA1ABC|Japan|New entity"}));
    QCOMPARE(window->spotTable()->model()->index(2, ClusterSpotModel::Time).data().toString(), QStringLiteral("12:34"));
    QCOMPARE(window->spotTable()->model()->index(2, 0).data(Qt::BackgroundRole).value<QColor>(),
             ClusterSpotModel::colourOf(SpotStatus::Kind::NewEntity));
    QVERIFY(window->textPane()->toPlainText().contains(QStringLiteral("WWV de W0MU <18>:   SFI=70")));
    QCOMPARE(window->stateLine()->text(), QStringLiteral("Connected to 127.0.0.1:%1 as K1ABC").arg(settings.port));
    QVERIFY(!m_frame->action(ID_CLUSTER_CONNECT)->isEnabled());

    QVERIFY(m_view->GetDocument()->AddQso(QsoBuilder().date("2026-01-03").time("10:00:00").call("JA1ABC").country(339)));
    QTRY_COMPARE(window->spotTable()->model()->index(2, ClusterSpotModel::Status).data().toString(),
                 QStringLiteral("Worked, b4"));

    // The command line goes to the node.
    window->commandLine()->setText(QStringLiteral("sh/dx 5"));
    QTest::keyClick(window->commandLine(), Qt::Key_Return);
    QTRY_VERIFY(cluster.heard().endsWith("sh/dx 5\r\n"));
    QVERIFY(window->commandLine()->text().isEmpty());
}

void TestOnline::filters_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<int>("modeClass"); // -2: any
    QTest::addColumn<QString>("continent");
    QTest::addColumn<bool>("neededOnly");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("none") << "" << -2 << "" << false << QStringList{"VK2AA", "K1ABC", "DL1ABC", "JA1ABC"};
    QTest::newRow("band 20") << "20" << -2 << "" << false << QStringList{"DL1ABC", "JA1ABC"};
    QTest::newRow("phone") << "" << 1 << "" << false << QStringList{"VK2AA", "K1ABC"};
    QTest::newRow("asia") << "" << -2 << "AS" << false << QStringList{"JA1ABC"};
    QTest::newRow("needed only") << "" << -2 << "" << true << QStringList{"K1ABC", "JA1ABC"};
    QTest::newRow("band 20, needed") << "20" << -2 << "" << true << QStringList{"JA1ABC"};
    QTest::newRow("all at once, none left") << "40" << 0 << "OC" << true << QStringList();
}

void TestOnline::filters()
{
    using Kind = SpotStatus::Kind;
    using Mode = SpotStatus::ModeClass;
    ClusterSpotModel spots;
    spots.addSpot(spot("JA1ABC", 14025.0), status(Kind::NewEntity, "20", Mode::Cw, "AS"));
    spots.addSpot(spot("DL1ABC", 14026.0), status(Kind::Confirmed, "20", Mode::Cw, "EU"));
    spots.addSpot(spot("K1ABC", 7150.0), status(Kind::NewMode, "40", Mode::Phone, "NA"));
    spots.addSpot(spot("VK2AA", 7160.0), status(Kind::Worked, "40", Mode::Phone, "OC"));
    ClusterSpotFilter filter(&spots);
    QFETCH(QString, band);
    QFETCH(int, modeClass);
    QFETCH(QString, continent);
    QFETCH(bool, neededOnly);
    filter.setBand(band);
    filter.setModeClass(modeClass < -1 ? std::nullopt : std::optional<Mode>(Mode(modeClass)));
    filter.setContinent(continent);
    filter.setNeededOnly(neededOnly);
    QStringList calls;
    for (int row = 0; row < filter.rowCount(); ++row)
        calls << filter.index(row, ClusterSpotModel::Call).data().toString();
    QTEST(calls, "calls");
}

void TestOnline::theNewestThousandSpotsAreKept()
{
    ClusterSpotModel spots;
    for (int i = 0; i <= ClusterSpotModel::kLimit; ++i)
        spots.addSpot(spot(QByteArray::number(i).prepend("K").constData(), 14000.0 + i), SpotStatus());
    QCOMPARE(spots.rowCount(), 1000);
    QCOMPARE(spots.spotAt(0).dxCall, QStringLiteral("K1000"));
    QCOMPARE(spots.spotAt(999).dxCall, QStringLiteral("K1"));
}

// A double-click on a spot fills the empty form and tunes Hamlib's dummy radio; a form
// that holds a call is left as it is.
void TestOnline::chosenSpotFillsAnEmptyFormAndTunesTheRadio()
{
    TrxSettings dummy;
    dummy.hamlibModel = 1;
    dummy.save();
    QVERIFY(SqlHelpers::exec(m_dir->filePath("korva3.sqlite3"), "UPDATE PARAMETERS SET VALUE = '3' WHERE PARAMETER = 'rig'"));
    FakeCluster cluster;
    cluster.answerLogins("K1ABC", spotLine("JA1ABC", " 21025.5", "CW 599") + spotLine("DL5AAA", "  7155.0", "lsb"));
    ClusterSettings settings = cluster.settings();
    settings.commands.clear();
    settings.save();
    QVERIFY(start());
    QCOMPARE(m_frame->trxLink()->Rig(), 3);
    CClusterView *window = m_frame->openClusterWindow()->view();
    window->connectToCluster();
    QTRY_COMPARE(window->spotTable()->model()->rowCount(), 2);

    QSignalSpy tuned(m_frame->trxLink(), &CTrxLink::tuned);
    QTableView *table = window->spotTable();
    const auto doubleClick = [table](int row) {
        const QRect cell = table->visualRect(table->model()->index(row, ClusterSpotModel::Call));
        // A press and release, then the second press as a double-click.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    };
    doubleClick(1);
    QCOMPARE(m_view->callEdit()->text(), QStringLiteral("JA1ABC"));
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("21.025.5"));
    QCOMPARE(m_view->bandEdit()->text(), QStringLiteral("15"));
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("CW"));
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("599"));
    QCOMPARE(m_frame->activeFrame()->document(), m_view->GetDocument());
    QVERIFY(tuned.wait(5000));
    const TrxOutcome outcome = tuned.first().first().value<TrxOutcome>();
    QVERIFY(outcome.reading);
    QCOMPARE(outcome.reading->frequency, QStringLiteral("21.025.5"));
    QTRY_COMPARE(m_frame->statusText(), QStringLiteral("Radio tuned to 21.025.5"));

    m_frame->openClusterWindow();
    doubleClick(0);
    QCOMPARE(m_view->callEdit()->text(), QStringLiteral("JA1ABC"));
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("21.025.5"));
    QCOMPARE(m_frame->statusText(), QStringLiteral("The entry form holds a call: clear it (F3) to take DL5AAA"));
    QVERIFY(!tuned.wait(300));
}

void TestOnline::callbookFillsOnlyEmptyFields_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("typedName"); // typed after the call, before the answer
    QTest::addColumn<int>("silentRequests");
    QTest::addColumn<QStringList>("fields"); // name, QTH, grid, QSL manager
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("requests");
    QTest::newRow("record fills the empty fields") << "K1ABC" << "" << 0
                                                   << QStringList{"Fred", "Newington", "FN31PR", "W1XYZ"}
                                                   << "QRZ.com: K1ABC found" << 2;
    QTest::newRow("typed name kept") << "K1ABC" << "Bob" << 0 << QStringList{"Bob", "Newington", "FN31PR", "W1XYZ"}
                                     << "QRZ.com: K1ABC found" << 2;
    QTest::newRow("not found") << "DL1XYZ" << "" << 0 << QStringList{"", "", "", ""} << "QRZ.com: DL1XYZ not found"
                               << 2;
    QTest::newRow("last QSO first") << "DL1ABC" << "" << 0 << QStringList{"Hans", "Berlin", "", ""}
                                    << "QRZ.com: DL1ABC not found" << 2;
    QTest::newRow("silence") << "K1ABC" << "Bob" << 1 << QStringList{"Bob", "", "", ""} << "QRZ.com: no answer" << 1;
}

void TestOnline::callbookFillsOnlyEmptyFields()
{
    QFETCH(QString, call);
    QFETCH(QString, typedName);
    QFETCH(int, silentRequests);
    QFETCH(QStringList, fields);
    QFETCH(QString, status);
    FakeCallbook callbook;
    callbook.silentRequests = silentRequests;
    int requests = 0;
    FakeHttpServer server([&](const FakeHttpServer::Request &request) {
        ++requests;
        return callbook.answer(request);
    });
    QVERIFY(server.listen());
    CallbookSettings settings;
    settings.user = FakeCallbook::kUser;
    settings.url = server.url(QStringLiteral("/xml/current/"));
    settings.save();
    bool stored = false;
    m_credentials->storePassword(AppCredentials::callbookAccount(settings), FakeCallbook::kPassword,
                                 [&stored](bool) { stored = true; });
    QTRY_VERIFY(stored);
    QVERIFY(start());

    m_view->callEdit()->setFocus();
    QTest::keyClicks(m_view->callEdit(), call);
    QTest::qWait(50);
    QCOMPARE(requests, 0); // none while typing
    QElapsedTimer clock;
    clock.start();
    leaveCall();
    QVERIFY(m_frame->statusText() != status); // the form went on before any answer
    if (!typedName.isEmpty()) {
        m_view->nameEdit()->setFocus();
        QTest::keyClicks(m_view->nameEdit(), typedName);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_frame->statusText(), status, 3000);
    if (silentRequests > 0)
        QVERIFY(clock.elapsed() >= 2000);
    QCOMPARE(QStringList({m_view->nameEdit()->text(), m_view->qthEdit()->text(), m_view->gridEdit()->text(),
                          m_view->qslMgrEdit()->text()}),
             fields);
    QTEST(requests, "requests");

    // Leaving the call again asks nothing more: the answer is kept for the session.
    if (silentRequests > 0)
        return; // no answer is no answer to keep
    leaveCall();
    QTest::qWait(100);
    QTEST(requests, "requests");
}

QTEST_MAIN(TestOnline)
#include "tst_online.moc"
