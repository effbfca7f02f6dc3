#include "RigTestDoubles.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "rig/CTrxLink.h"
#include "store/Sqlite3DB.h"
#include "trxsim/PtyTransceiver.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr int kPort = 3;
constexpr int kQueryEndMs = 5000; // a query gives up after about 2 s
const QString kNoReply = QStringLiteral("Check configuration or\nserial cable to trx...");
const QString kNotFound = QStringLiteral("Communication port for Tx/Rx not found !\nCheck your setup...");

TrxSimulator radio(qint64 hz, const char *mode, TrxSimulator::Reply reply = TrxSimulator::Reply::Full)
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

bool queryEnds(CTrxLink &link)
{
    QSignalSpy ended(&link, &CTrxLink::queryEnded);
    link.OnGetTrxFreq();
    return ended.wait(kQueryEndMs) && ended.size() == 1;
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
    void bytesBeforeAQueryAreDiscarded();
    void replyOfWrongLengthOrNoReply_data();
    void replyOfWrongLengthOrNoReply();
    void replyBufferKeepsTheFirst2000BytesOfItsPort();
    void openingFromTheParameters_data();
    void openingFromTheParameters();
    void setupChangesTakeEffectWithoutReopening();
    void unknownTypeSendsNothingAndClearsTheForms();
    void destroyingTheLinkEndsAWaitingQuery();

private:
    ScriptedPrompter m_prompter;
};

void TestTrxLink::init()
{
    m_prompter.clear();
    Prompter::install(&m_prompter);
}

void TestTrxLink::cleanup()
{
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
}

void TestTrxLink::ft897QueryFillsEveryEntryForm()
{
    PtyTransceiver transceiver(radio(14234560, "DIG"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm first;
    RecordingForm second;
    connectForms(link, {&first, &second});
    QVERIFY(link.OpenLink(TrxFt897, kPort, transceiver.devicePath()));
    QVERIFY(link.OnUpdateGetTrxFreq());

    QVERIFY(queryEnds(link));
    const TrxReading expected{"14.234.5", "20", 2, "599"};
    QCOMPARE(first.readings, QList<TrxReading>{expected});
    QCOMPARE(second.readings, QList<TrxReading>{expected});
    QCOMPARE(transceiver.received(), QByteArray::fromHex("0000000003"));
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestTrxLink::ft1000mpQuery()
{
    PtyTransceiver transceiver(radio(14012000, "RTTY"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(link.OpenLink(TrxFt1000mp, kPort, transceiver.devicePath()));

    QVERIFY(queryEnds(link));
    QVERIFY(queryEnds(link));
    const TrxReading expected{"14.012.0", "20", 2, "599"};
    QCOMPARE(form.readings, QList<TrxReading>({expected, expected}));
    QCOMPARE(transceiver.received(), QByteArray::fromHex("0000000210" "0000000210"));
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestTrxLink::bytesBeforeAQueryAreDiscarded()
{
    PtyTransceiver transceiver(radio(7012300, "LSB"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(link.OpenLink(TrxFt897, kPort, transceiver.devicePath()));
    QTRY_VERIFY(link.Port().IsMonitoring());
    QVERIFY(transceiver.send("noise"));
    QTRY_COMPARE(link.RxBytes(), QByteArray("noise"));

    QVERIFY(queryEnds(link));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"7.012.3", "40", 1, "59"})});
    QCOMPARE(link.RxBytes(), QByteArray::fromHex("0070123000"));
}

// A second "Get TRX freq" while the first still waits sends nothing and shows nothing.
void TestTrxLink::replyOfWrongLengthOrNoReply_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<TrxSimulator::Reply>("reply");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("FT-897, 4 bytes") << int(TrxFt897) << TrxSimulator::Reply::Short << QByteArray::fromHex("0000000003");
    QTest::newRow("FT-1000mp, 15 bytes") << int(TrxFt1000mp) << TrxSimulator::Reply::Short
                                         << QByteArray::fromHex("0000000210");
    QTest::newRow("FT-897, silent") << int(TrxFt897) << TrxSimulator::Reply::None << QByteArray::fromHex("0000000003");
}

void TestTrxLink::replyOfWrongLengthOrNoReply()
{
    QFETCH(int, rig);
    QFETCH(TrxSimulator::Reply, reply);
    QFETCH(QByteArray, command);
    PtyTransceiver transceiver(radio(14234560, "USB", reply));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(link.OpenLink(rig, kPort, transceiver.devicePath()));

    QSignalSpy ended(&link, &CTrxLink::queryEnded);
    link.OnGetTrxFreq();
    QVERIFY(link.QueryWaiting());
    QTRY_COMPARE(transceiver.received(), command);
    link.OnGetTrxFreq();
    QVERIFY(ended.wait(kQueryEndMs));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(m_prompter.texts(), QStringList{kNoReply});
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::None);
    QCOMPARE(form.readings, QList<TrxReading>());
    QCOMPARE(transceiver.received(), command);
}

void TestTrxLink::replyBufferKeepsTheFirst2000BytesOfItsPort()
{
    CTrxLink link;
    link.SetCommPort(kPort);
    QByteArray expected;
    for (int i = 0; i < 2100; ++i) {
        const auto byte = static_cast<unsigned char>(i % 251);
        QCOMPARE(link.OnRxByte(byte, kPort), 0);
        if (i < 2000)
            expected.append(static_cast<char>(byte));
    }
    QCOMPARE(link.RxCount(), 2000);
    QCOMPARE(link.RxBytes(), expected);

    CTrxLink other;
    other.SetCommPort(kPort);
    QCOMPARE(other.OnRxByte('a', kPort), 0);
    QCOMPARE(other.OnRxByte('b', kPort + 1), -1);
    QCOMPARE(other.RxBytes(), QByteArray("a"));
}

void TestTrxLink::openingFromTheParameters_data()
{
    QTest::addColumn<QByteArray>("rig");
    QTest::addColumn<QByteArray>("comm");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("FT-1000mp on COM3") << QByteArray("2") << QByteArray("3") << true << true << QStringList();
    QTest::newRow("no radio") << QByteArray("0") << QByteArray("3") << false << false << QStringList();
    QTest::newRow("rig not a number") << QByteArray("x") << QByteArray("3") << false << false << QStringList();
    QTest::newRow("unknown radio") << QByteArray("3") << QByteArray("3") << false << true << QStringList{kNotFound};
    QTest::newRow("port without device") << QByteArray("1") << QByteArray("5") << false << true << QStringList{kNotFound};
}

void TestTrxLink::openingFromTheParameters()
{
    QFETCH(QByteArray, rig);
    QFETCH(QByteArray, comm);
    QFETCH(bool, opened);
    QFETCH(bool, enabled);
    QFETCH(QStringList, messages);
    TestDir dir;
    QVERIFY(SqlHelpers::exec(Sqlite3DB::kProgramDatabase,
                             "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"
                             "INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('rig', '" + rig + "'), ('comm', '" + comm + "')"));
    PtyTransceiver transceiver(radio(14012000, "RTTY"));
    QVERIFY(transceiver.start());
    AppSettings::useFolder(dir.path());
    AppSettings::open()->setValue("Serial ports/COM3", transceiver.devicePath());
    AppSettings::open()->setValue("Serial ports/COM5", dir.filePath("no-such-tty"));

    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    Sqlite3DB db;
    link.OpenLink(db);
    QCOMPARE(link.Port().IsOpen(), opened);
    QCOMPARE(link.OnUpdateGetTrxFreq(), enabled);
    QCOMPARE(m_prompter.texts(), messages);
    for (const ScriptedPrompter::Shown &shown : m_prompter.shown())
        QCOMPARE(shown.icon, Prompter::Icon::Warning);
    if (opened) {
        QVERIFY(queryEnds(link));
        QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"14.012.0", "20", 2, "599"})});
    }
}

// The setup dialog's new type decides the command at once; its new port number decides
// which bytes are taken, while the port opened at start-up stays.
void TestTrxLink::setupChangesTakeEffectWithoutReopening()
{
    PtyTransceiver transceiver(radio(21074000, "PKT"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(link.OpenLink(TrxFt897, kPort, transceiver.devicePath()));

    link.SetRig(TrxFt1000mp);
    QVERIFY(queryEnds(link));
    QCOMPARE(transceiver.received(), QByteArray::fromHex("0000000210"));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"21.074.0", "15", 2, "599"})});

    link.SetCommPort(kPort + 1);
    QVERIFY(queryEnds(link));
    QCOMPARE(link.RxCount(), 0);
    QCOMPARE(m_prompter.texts(), QStringList{kNoReply});
    QCOMPARE(form.readings.size(), 1);
}

void TestTrxLink::unknownTypeSendsNothingAndClearsTheForms()
{
    PtyTransceiver transceiver(radio(14234560, "USB"));
    QVERIFY(transceiver.start());
    CTrxLink link;
    RecordingForm form;
    connectForms(link, {&form});
    QVERIFY(!link.OpenLink(3, kPort, transceiver.devicePath()));
    QCOMPARE(m_prompter.texts(), QStringList{kNotFound});
    QVERIFY(link.OnUpdateGetTrxFreq());

    QVERIFY(queryEnds(link));
    QCOMPARE(form.readings, QList<TrxReading>{(TrxReading{"", "", 0, "599"})});
    QCOMPARE(transceiver.received(), QByteArray());
}

void TestTrxLink::destroyingTheLinkEndsAWaitingQuery()
{
    PtyTransceiver transceiver(radio(14234560, "USB", TrxSimulator::Reply::None));
    QVERIFY(transceiver.start());
    RecordingForm form;
    auto link = std::make_unique<CTrxLink>();
    connectForms(*link, {&form});
    QVERIFY(link->OpenLink(TrxFt897, kPort, transceiver.devicePath()));
    link->OnGetTrxFreq();
    QTRY_COMPARE(transceiver.received(), QByteArray::fromHex("0000000003"));
    link.reset();
    QTest::qWait(100);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(form.readings, QList<TrxReading>());
}

QTEST_GUILESS_MAIN(TestTrxLink)
#include "tst_rig_link.moc"
