#include "RigTestDoubles.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "rig/CTrxLink.h"
#include "store/ProgramDb.h"
#include "trxsim/PtyTransceiver.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr int kPort = 3;
constexpr int kWaitMs = 10000; // reply time-outs are run out by the tests
const QString kNoReply = QStringLiteral("Check configuration or\nserial cable to trx...");
const QString kNotFound = QStringLiteral("Communication port for Tx/Rx not found !\nCheck your setup...");
const QByteArray kFt897Read = QByteArray::fromHex("0000000003");

TrxSimulator simulator(qint64 hz, const char *mode, TrxSimulator::Reply reply = TrxSimulator::Reply::Full)
{
    return TrxSimulator(hz, *TrxSimulator::modeByName(mode), reply);
}

// Fills `forms` through the link, as the main window's list of open entry forms would.
void connectForms(CTrxLink &link, QList<RecordingForm *> forms)
{
    link.SetReceivers([forms] {
        QList<TrxReadingReceiver *> receivers;
        for (RecordingForm *form : forms)
            receivers.append(form);
        return receivers;
    });
}

// Opens the link and waits until its thread has opened the radio.
bool opens(CTrxLink &link, int rig, const QString &devicePath)
{
    QSignalSpy opened(&link, &CTrxLink::linkOpened);
    link.OpenLink(rig, kPort, devicePath);
    return (!opened.isEmpty() || opened.wait(kWaitMs)) && opened.size() == 1 && opened.first().first().toBool();
}

// A radio on a pseudo-terminal and a link that fills one form from it; the test runs
// the link's reply time-outs out itself.
struct RadioOnLink
{
    explicit RadioOnLink(const TrxSimulator &simulator)
        : transceiver(simulator)
    {
        link.SetTimerFactory(timers.factory());
        connectForms(link, {&form});
    }
    bool open(int rig) { return transceiver.start() && opens(link, rig, transceiver.devicePath()); }

    PtyTransceiver transceiver;
    ManualTimers timers;
    CTrxLink link;
    RecordingForm form;
};

bool queryEnds(CTrxLink &link)
{
    QSignalSpy ended(&link, &CTrxLink::queryEnded);
    link.OnGetTrxFreq();
    return ended.wait(kWaitMs) && ended.size() == 1;
}

// A device path for the pseudo-terminal behind it, as /dev/serial/by-id/... names an
// adapter wherever it is plugged in; unplugging takes the name away with the device (a
// freed pseudo-terminal number may soon belong to another program).
bool plugIn(PtyTransceiver &transceiver, const QString &link)
{
    return transceiver.start() && QFile::link(transceiver.devicePath(), link);
}

bool unplug(PtyTransceiver &transceiver, const QString &link)
{
    transceiver.stop();
    return QFile::remove(link);
}

} // namespace

class TestTrxLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ft897QueryFillsEveryEntryForm();
    void ft1000mpQuery();
    void replyOfWrongLengthOrNoReply_data();
    void replyOfWrongLengthOrNoReply();
    void openingFromTheParameters_data();
    void openingFromTheParameters();
    void setupChangesTakeEffectWithoutReopening();
    void unknownTypeSendsNothingAndClearsTheForms();
    void destroyingTheLinkEndsAWaitingQuery();
    void unpluggedDeviceGivesOneMessageAndRecovers();
    void unpluggedWhileAQueryWaits();
    void noSecondBoxWhileOneIsOpen();
    void pollReadsWithoutTouchingTheForms();
    void queryDuringAPollTakesItsReading();
    void followingThroughAnUnpluggedDevice();
    void radioDyingInTheMiddleOfAReadEndsIt_data();
    void radioDyingInTheMiddleOfAReadEndsIt();

private:
    ScriptedPrompter m_prompter;
    TestDir *m_dir = nullptr;
};

void TestTrxLink::init()
{
    m_dir = new TestDir;
    m_prompter.clear();
    Prompter::install(&m_prompter);
    AppSettings::useFolder(m_dir->path());
}

void TestTrxLink::cleanup()
{
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
}

void TestTrxLink::ft897QueryFillsEveryEntryForm()
{
    PtyTransceiver transceiver(simulator(14234560, "DIG"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm first;
    RecordingForm second;
    connectForms(link, {&first, &second});
    QVERIFY(opens(link, TrxFt897, transceiver.devicePath()));
    QVERIFY(link.OnUpdateGetTrxFreq());

    QVERIFY(queryEnds(link));
    const TrxReading expected{"14.234.5", "20", 2, "599"};
    QCOMPARE(first.readings, QList<TrxReading>{expected});
    QCOMPARE(second.readings, QList<TrxReading>{expected});
    QCOMPARE(transceiver.received(), kFt897Read);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestTrxLink::ft1000mpQuery()
{
    RadioOnLink radio(simulator(14012000, "RTTY"));
    QVERIFY(radio.open(TrxFt1000mp));

    QVERIFY(queryEnds(radio.link));
    QVERIFY(queryEnds(radio.link));
    const TrxReading expected{"14.012.0", "20", 2, "599"};
    QCOMPARE(radio.form.readings, QList<TrxReading>({expected, expected}));
    QCOMPARE(radio.transceiver.received(), QByteArray::fromHex("0000000210" "0000000210"));
    QCOMPARE(m_prompter.texts(), QStringList());
}

// A second "Get TRX freq" while the first still waits sends nothing and shows nothing.
void TestTrxLink::replyOfWrongLengthOrNoReply_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<TrxSimulator::Reply>("reply");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("FT-897, 4 bytes") << int(TrxFt897) << TrxSimulator::Reply::Short << kFt897Read;
    QTest::newRow("FT-1000mp, 15 bytes") << int(TrxFt1000mp) << TrxSimulator::Reply::Short
                                         << QByteArray::fromHex("0000000210");
    QTest::newRow("FT-897, silent") << int(TrxFt897) << TrxSimulator::Reply::None << kFt897Read;
}

void TestTrxLink::replyOfWrongLengthOrNoReply()
{
    QFETCH(int, rig);
    QFETCH(TrxSimulator::Reply, reply);
    QFETCH(QByteArray, command);
    RadioOnLink radio(simulator(14234560, "USB", reply));
    QVERIFY(radio.open(rig));

    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    radio.link.OnGetTrxFreq();
    QVERIFY(radio.link.QueryWaiting());
    QTRY_COMPARE(radio.transceiver.received(), command);
    radio.link.OnGetTrxFreq();
    radio.timers.runOutNewest();
    QVERIFY(ended.wait(kWaitMs));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(m_prompter.texts(), QStringList{kNoReply});
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::None);
    QCOMPARE(radio.form.readings, QList<TrxReading>());
    QCOMPARE(radio.transceiver.received(), command);
}

void TestTrxLink::openingFromTheParameters_data()
{
    QTest::addColumn<QByteArray>("rig");
    QTest::addColumn<QByteArray>("comm");
    QTest::addColumn<int>("hamlibModel");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<TrxReading>("reading");
    const TrxReading simulator{"14.012.0", "20", 2, "599"};
    const TrxReading none;
    QTest::newRow("FT-1000mp on COM3") << QByteArray("2") << QByteArray("3") << 0 << true << true << QStringList()
                                       << simulator;
    QTest::newRow("no radio") << QByteArray("0") << QByteArray("3") << 0 << false << false << QStringList() << none;
    QTest::newRow("rig not a number") << QByteArray("x") << QByteArray("3") << 0 << false << false << QStringList()
                                      << none;
    QTest::newRow("Hamlib's dummy") << QByteArray("3") << QByteArray("3") << 1 << true << true << QStringList()
                                    << TrxReading{"145.000", "2", 3, "59"};
    QTest::newRow("Hamlib without a model") << QByteArray("3") << QByteArray("3") << 0 << false << true
                                            << QStringList{kNotFound} << none;
    QTest::newRow("unknown radio") << QByteArray("4") << QByteArray("3") << 0 << false << true
                                   << QStringList{kNotFound} << none;
    QTest::newRow("port without device") << QByteArray("1") << QByteArray("5") << 0 << false << true
                                         << QStringList{kNotFound} << none;
}

void TestTrxLink::openingFromTheParameters()
{
    QFETCH(QByteArray, rig);
    QFETCH(QByteArray, comm);
    QFETCH(int, hamlibModel);
    QFETCH(bool, opened);
    QFETCH(bool, enabled);
    QFETCH(QStringList, messages);
    QFETCH(TrxReading, reading);
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase,
                             "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"
                             "INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('rig', '" + rig + "'), ('comm', '" + comm + "')"));
    PtyTransceiver transceiver(simulator(14012000, "RTTY"));
    QVERIFY(transceiver.start());
    AppSettings::open()->setValue("Serial ports/COM3", transceiver.devicePath());
    AppSettings::open()->setValue("Serial ports/COM5", m_dir->filePath("no-such-tty"));
    TrxSettings settings;
    settings.hamlibModel = hamlibModel;
    settings.hamlibPort = QStringLiteral("com3");
    settings.save();

    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QSignalSpy openedSpy(&link, &CTrxLink::linkOpened);
    ProgramDb db;
    link.OpenLink(db);
    if (rig.toInt() > 0)
        QVERIFY(!openedSpy.isEmpty() || openedSpy.wait(kWaitMs));
    QCOMPARE(openedSpy.size(), rig.toInt() > 0 ? 1 : 0);
    QCOMPARE(!openedSpy.isEmpty() && openedSpy.first().first().toBool(), opened);
    QCOMPARE(link.OnUpdateGetTrxFreq(), enabled);
    QCOMPARE(m_prompter.texts(), messages);
    for (const ScriptedPrompter::Shown &shown : m_prompter.shown())
        QCOMPARE(shown.icon, Prompter::Icon::Warning);
    if (opened) {
        QVERIFY(queryEnds(link));
        QCOMPARE(form.readings, QList<TrxReading>{reading});
    }
}

// The setup dialog's new type decides the command at once; its new port number decides
// which bytes are taken, while the port opened at start-up stays.
void TestTrxLink::setupChangesTakeEffectWithoutReopening()
{
    RadioOnLink radio(simulator(21074000, "PKT"));
    QVERIFY(radio.open(TrxFt897));

    radio.link.SetRig(TrxFt1000mp);
    QVERIFY(queryEnds(radio.link));
    QCOMPARE(radio.transceiver.received(), QByteArray::fromHex("0000000210"));
    QCOMPARE(radio.form.readings, QList<TrxReading>{(TrxReading{"21.074.0", "15", 2, "599"})});

    radio.link.SetCommPort(kPort + 1);
    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    radio.link.OnGetTrxFreq();
    QTRY_COMPARE(radio.transceiver.received(), QByteArray::fromHex("0000000210" "0000000210"));
    radio.timers.runOutNewest();
    QVERIFY(ended.wait(kWaitMs));
    QCOMPARE(m_prompter.texts(), QStringList{kNoReply});
    QCOMPARE(radio.form.readings.size(), 1);
}

void TestTrxLink::unknownTypeSendsNothingAndClearsTheForms()
{
    PtyTransceiver transceiver(simulator(14234560, "USB"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(!opens(link, 4, transceiver.devicePath()));
    QCOMPARE(m_prompter.texts(), QStringList{kNotFound});
    QVERIFY(link.OnUpdateGetTrxFreq());

    QVERIFY(queryEnds(link));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"", "", 0, "599"})});
    QCOMPARE(transceiver.received(), QByteArray());
}

void TestTrxLink::destroyingTheLinkEndsAWaitingQuery()
{
    PtyTransceiver transceiver(simulator(14234560, "USB", TrxSimulator::Reply::None));
    QVERIFY(transceiver.start());
    RecordingForm form;
    auto link = std::make_unique<CTrxLink>();
    connectForms(*link, {&form});
    QVERIFY(opens(*link, TrxFt897, transceiver.devicePath()));
    link->OnGetTrxFreq();
    QTRY_COMPARE(transceiver.received(), kFt897Read);
    link.reset();
    QCoreApplication::processEvents();
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(form.readings, QList<TrxReading>());
}

// The adapter is pulled while the link is idle: one message, the port closed. The next
// query tries the device again and says it is not there; once it is back, the query
// after that reads the radio.
void TestTrxLink::unpluggedDeviceGivesOneMessageAndRecovers()
{
    PtyTransceiver transceiver(simulator(7012300, "CW"));
    const QString device = m_dir->filePath("ttyRADIO");
    QVERIFY(plugIn(transceiver, device));
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(opens(link, TrxFt897, device));

    QVERIFY(unplug(transceiver, device));
    QTRY_COMPARE(m_prompter.texts(), QStringList{"ReadFile()"});
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::Error);
    QVERIFY(queryEnds(link));
    QCOMPARE(m_prompter.texts(), QStringList({"ReadFile()", kNotFound}));

    QVERIFY(plugIn(transceiver, device));
    QVERIFY(queryEnds(link));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"7.012.3", "40", 0, "599"})});
    QCOMPARE(m_prompter.texts(), QStringList({"ReadFile()", kNotFound}));
}

// Pulled while a query waits: the query ends with the line's message alone, and its
// time-out running out later adds nothing.
void TestTrxLink::unpluggedWhileAQueryWaits()
{
    RadioOnLink radio(simulator(7012300, "CW", TrxSimulator::Reply::None));
    QVERIFY(radio.open(TrxFt897));

    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    radio.link.OnGetTrxFreq();
    QTRY_COMPARE(radio.transceiver.received(), kFt897Read);
    radio.transceiver.stop();
    QVERIFY(ended.wait(kWaitMs));
    radio.timers.runOutNewest();
    QSignalSpy more(&radio.link, &CTrxLink::queryEnded);
    QVERIFY(!more.wait(100));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(m_prompter.texts(), QStringList{"ReadFile()"});
    QCOMPARE(radio.form.readings, QList<TrxReading>());
}

// While the radio.link's box is open (its event loop running), a second query fails too: its
// message is not shown on top, and it does not come later either.
void TestTrxLink::noSecondBoxWhileOneIsOpen()
{
    ModalPrompter prompter;
    Prompter::install(&prompter);
    RadioOnLink radio(simulator(7012300, "CW", TrxSimulator::Reply::None));
    QVERIFY(radio.open(TrxFt897));

    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    bool secondEnded = false;
    prompter.whileShown = [&] {
        radio.link.OnGetTrxFreq();
        QTRY_COMPARE(radio.transceiver.received(), kFt897Read + kFt897Read);
        radio.timers.runOutNewest();
        secondEnded = ended.wait(kWaitMs);
    };
    radio.link.OnGetTrxFreq();
    QTRY_COMPARE(radio.transceiver.received(), kFt897Read);
    radio.timers.runOutNewest();
    QTRY_COMPARE(ended.size(), 2);
    QVERIFY(secondEnded);
    QCOMPARE(prompter.texts(), QStringList{kNoReply});
    QCOMPARE(prompter.mostOpenAtOnce, 1);
    Prompter::install(&m_prompter);
}

// Following the radio: a poll gives its reading to the follower, not to the forms; one
// that gets no reply says nothing, unless a query waits behind it.
void TestTrxLink::pollReadsWithoutTouchingTheForms()
{
    RadioOnLink radio(simulator(3650000, "AM"));
    QVERIFY(radio.open(TrxFt897));

    QSignalSpy polled(&radio.link, &CTrxLink::polled);
    radio.link.Poll();
    QVERIFY(polled.wait(kWaitMs));
    QCOMPARE(polled.first().first().value<TrxReading>(), (TrxReading{"3.650.0", "80", 4, "59"}));
    QCOMPARE(radio.form.readings, QList<TrxReading>());

    radio.link.SetCommPort(kPort + 1); // the replies are not taken now
    radio.link.Poll();
    QTRY_COMPARE(radio.transceiver.received(), kFt897Read + kFt897Read);
    radio.timers.runOutNewest();
    QTRY_VERIFY(!radio.link.PollWaiting());
    QCOMPARE(m_prompter.texts(), QStringList());

    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    radio.link.Poll();
    radio.link.OnGetTrxFreq();
    QTRY_COMPARE(radio.transceiver.received(), kFt897Read + kFt897Read + kFt897Read);
    radio.timers.runOutNewest();
    QVERIFY(ended.wait(kWaitMs));
    QCOMPARE(polled.size(), 1);
    QCOMPARE(m_prompter.texts(), QStringList{kNoReply});
    QCOMPARE(radio.form.readings, QList<TrxReading>());
}

// "Get TRX freq" while a poll waits sends no command of its own: the poll's reading
// fills the forms and ends the query.
void TestTrxLink::queryDuringAPollTakesItsReading()
{
    RadioOnLink radio(simulator(3650000, "LSB"));
    QVERIFY(radio.open(TrxFt897));

    QSignalSpy polled(&radio.link, &CTrxLink::polled);
    QSignalSpy ended(&radio.link, &CTrxLink::queryEnded);
    radio.link.Poll();
    radio.link.OnGetTrxFreq();
    radio.link.Poll(); // a read waits: nothing
    QVERIFY(ended.wait(kWaitMs));
    const TrxReading expected{"3.650.0", "80", 1, "59"};
    QCOMPARE(radio.form.readings, QList<TrxReading>{expected});
    QCOMPARE(polled.size(), 1);
    QCOMPARE(radio.transceiver.received(), kFt897Read);
}

// Pulled while following: the line's message once; the polls that find no device say
// nothing; the device back, the polls read again.
void TestTrxLink::followingThroughAnUnpluggedDevice()
{
    PtyTransceiver transceiver(simulator(7012300, "USB"));
    const QString device = m_dir->filePath("ttyRADIO");
    QVERIFY(plugIn(transceiver, device));
    CTrxLink link;
    QVERIFY(opens(link, TrxFt897, device));
    QSignalSpy polled(&link, &CTrxLink::polled);

    QVERIFY(unplug(transceiver, device));
    QTRY_COMPARE(m_prompter.texts(), QStringList{"ReadFile()"});
    for (int i = 0; i < 3; ++i) {
        link.Poll();
        QVERIFY(link.PollWaiting());
        QTRY_VERIFY(!link.PollWaiting());
    }
    QCOMPARE(m_prompter.texts(), QStringList{"ReadFile()"});
    QCOMPARE(polled.size(), 0);

    QVERIFY(plugIn(transceiver, device));
    link.Poll();
    QVERIFY(polled.wait(kWaitMs));
    QCOMPARE(polled.first().first().value<TrxReading>(), (TrxReading{"7.012.3", "40", 1, "59"}));
    QCOMPARE(m_prompter.texts(), QStringList{"ReadFile()"});
}

void TestTrxLink::radioDyingInTheMiddleOfAReadEndsIt_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<QString>("message");
    QTest::newRow("own FT-897 driver") << int(TrxFt897) << QStringLiteral("ReadFile()");
    QTest::newRow("Hamlib's FT-897 driver") << int(TrxHamlib) << kNoReply;
}

// The radio goes away while the link waits for its reply (Hamlib's own read would spin
// on the hung-up line for ever): the query ends with one message, and once the radio is
// back the next query reads it.
void TestTrxLink::radioDyingInTheMiddleOfAReadEndsIt()
{
    QFETCH(int, rig);
    QFETCH(QString, message);
    PtyTransceiver transceiver(simulator(7012300, "CW"));
    const QString device = m_dir->filePath("ttyRADIO");
    QVERIFY(plugIn(transceiver, device));
    TrxConnection connection{rig, kPort, device, TrxSettings()};
    connection.settings.hamlibModel = 1023; // Hamlib's FT-897
    connection.settings.hamlibPort = device;
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QSignalSpy opened(&link, &CTrxLink::linkOpened);
    link.OpenLink(connection);
    QVERIFY(opened.wait(kWaitMs));

    // Hamlib's FT-897 driver answers from what it read in the last moment without asking
    // the radio (and opening has just read it): queries go on until one asks.
    transceiver.hangUpAtNextCommand();
    for (int query = 0; !transceiver.hungUp(); ++query) {
        QVERIFY(query < 1000);
        form.readings.clear();
        QVERIFY(queryEnds(link));
    }
    QCOMPARE(m_prompter.texts(), QStringList{message});
    QCOMPARE(form.readings, QList<TrxReading>());

    QVERIFY(unplug(transceiver, device));
    QVERIFY(plugIn(transceiver, device));
    QVERIFY(queryEnds(link));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"7.012.3", "40", 0, "599"})});
    QCOMPARE(m_prompter.texts(), QStringList{message});
}

QTEST_GUILESS_MAIN(TestTrxLink)
#include "tst_rig_link.moc"
