#include "RigTestDoubles.h"
#include "rig/SerialRigDriver.h"
#include "rig/TrxType.h"
#include "trxsim/PtyTransceiver.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kPort = 3;
constexpr int kWaitMs = 10000;

TrxSimulator radio(qint64 hz, const char *mode, TrxSimulator::Reply reply = TrxSimulator::Reply::Full)
{
    return TrxSimulator(hz, *TrxSimulator::modeByName(mode), reply);
}

std::optional<TrxOutcome> readOnce(SerialRigDriver &driver, int rig)
{
    return readOnce(driver, RigDriver::Request{rig, kPort});
}

} // namespace

class TestSerialRigDriver : public QObject
{
    Q_OBJECT

private slots:
    void readsEachType_data();
    void readsEachType();
    void bytesBeforeAReadAreDiscarded();
    void replyBufferKeepsTheFirst2000BytesOfItsPort();
    void replyOfAnyOtherLengthIsNoReply_data();
    void replyOfAnyOtherLengthIsNoReply();
    void typeItDoesNotServeReadsEmpty();
    void missingDevice();
    void unpluggedWhileIdleSaysSoOnceAndReopens();
};

void TestSerialRigDriver::readsEachType_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<TrxReading>("reading");
    QTest::newRow("FT-897") << int(TrxFt897) << QByteArray::fromHex("0000000003") << TrxReading{"28.074.0", "10", 2, "599"};
    QTest::newRow("FT-1000mp") << int(TrxFt1000mp) << QByteArray::fromHex("0000000210")
                               << TrxReading{"28.074.0", "10", 2, "599"};
}

void TestSerialRigDriver::readsEachType()
{
    QFETCH(int, rig);
    QFETCH(QByteArray, command);
    QFETCH(TrxReading, reading);
    PtyTransceiver transceiver(radio(28074000, "DIG"));
    QVERIFY(transceiver.start());
    auto *timer = new ManualReplyTimer;
    SerialRigDriver driver(kPort, transceiver.devicePath(), timer);
    QVERIFY(!driver.IsOpen());

    const std::optional<TrxOutcome> outcome = readOnce(driver, rig);
    QVERIFY(outcome);
    QVERIFY(outcome->reading);
    QCOMPARE(*outcome->reading, reading);
    QCOMPARE(outcome->messages, QList<TrxMessage>());
    QVERIFY(driver.IsOpen());
    QCOMPARE(timer->milliseconds(), 2000);
    QVERIFY(!timer->running());
    QCOMPARE(transceiver.received(), command);
}

void TestSerialRigDriver::bytesBeforeAReadAreDiscarded()
{
    PtyTransceiver transceiver(radio(7012300, "LSB"));
    QVERIFY(transceiver.start());
    SerialRigDriver driver(kPort, transceiver.devicePath());
    QCOMPARE(driver.Open(), QList<TrxMessage>());
    QVERIFY(transceiver.send("noise"));
    QTRY_COMPARE(driver.RxBytes(), QByteArray("noise"));

    const std::optional<TrxOutcome> outcome = readOnce(driver, TrxFt897);
    QVERIFY(outcome);
    QVERIFY(outcome->reading);
    QCOMPARE(*outcome->reading, (TrxReading{"7.012.3", "40", 1, "59"}));
    QCOMPARE(driver.RxBytes(), QByteArray::fromHex("0070123000"));
}

void TestSerialRigDriver::replyBufferKeepsTheFirst2000BytesOfItsPort()
{
    SerialRigDriver driver(kPort, QString());
    QByteArray expected;
    for (int i = 0; i < 2100; ++i) {
        const auto byte = static_cast<unsigned char>(i % 251);
        QCOMPARE(driver.OnRxByte(byte, kPort), 0);
        if (i < 2000)
            expected.append(static_cast<char>(byte));
    }
    QCOMPARE(driver.RxCount(), 2000);
    QCOMPARE(driver.RxBytes(), expected);

    SerialRigDriver other(kPort, QString());
    QCOMPARE(other.OnRxByte('a', kPort), 0);
    QCOMPARE(other.OnRxByte('b', kPort + 1), -1);
    QCOMPARE(other.RxBytes(), QByteArray("a"));
}

// Only a reply of exactly its length ends the read: one byte short, none, one byte too
// many (an echo arriving with it) or the right bytes from another port number end it
// with "Check configuration or\nserial cable to trx..." when the time runs out.
void TestSerialRigDriver::replyOfAnyOtherLengthIsNoReply_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<TrxSimulator::Reply>("reply");
    QTest::addColumn<QByteArray>("extra");
    QTest::addColumn<int>("readingPort");
    QTest::addColumn<int>("count");
    QTest::newRow("FT-897, 4 bytes") << int(TrxFt897) << TrxSimulator::Reply::Short << QByteArray() << kPort << 4;
    QTest::newRow("FT-1000mp, 15 bytes") << int(TrxFt1000mp) << TrxSimulator::Reply::Short << QByteArray() << kPort
                                         << 15;
    QTest::newRow("silent") << int(TrxFt897) << TrxSimulator::Reply::None << QByteArray() << kPort << 0;
    QTest::newRow("FT-897 and an echo") << int(TrxFt897) << TrxSimulator::Reply::None
                                        << QByteArray::fromHex("007012300000") << kPort << 6;
    QTest::newRow("another port's bytes") << int(TrxFt897) << TrxSimulator::Reply::Full << QByteArray() << kPort + 1
                                          << 0;
}

void TestSerialRigDriver::replyOfAnyOtherLengthIsNoReply()
{
    QFETCH(int, rig);
    QFETCH(TrxSimulator::Reply, reply);
    QFETCH(QByteArray, extra);
    QFETCH(int, readingPort);
    QFETCH(int, count);
    PtyTransceiver transceiver(radio(7012300, "LSB", reply));
    QVERIFY(transceiver.start());
    auto *timer = new ManualReplyTimer;
    SerialRigDriver driver(kPort, transceiver.devicePath(), timer);
    QSignalSpy done(&driver, &RigDriver::readDone);
    driver.Read({rig, readingPort});
    QTRY_VERIFY(!transceiver.received().isEmpty());
    if (!extra.isEmpty())
        QVERIFY(transceiver.send(extra));
    QTRY_COMPARE(transceiver.unreadByClient(), 0);
    QTRY_COMPARE(driver.RxCount(), count);
    QVERIFY(done.isEmpty());
    QVERIFY(timer->running());

    timer->runOut();
    QCOMPARE(done.size(), 1);
    const auto outcome = done.first().first().value<TrxOutcome>();
    QVERIFY(!outcome.reading);
    QCOMPARE(outcome.messages, QList<TrxMessage>{TrxMessage::noReply()});
    QCOMPARE(outcome.messages.first().icon(), Prompter::Icon::None);
}

// A type the serial radios do not know (the setup dialog may choose one without the
// port being opened again) sends nothing and reads an empty frequency.
void TestSerialRigDriver::typeItDoesNotServeReadsEmpty()
{
    PtyTransceiver transceiver(radio(7012300, "LSB"));
    QVERIFY(transceiver.start());
    SerialRigDriver driver(kPort, transceiver.devicePath());
    QVERIFY(driver.Serves(TrxFt897) && driver.Serves(TrxFt1000mp) && !driver.Serves(TrxHamlib));
    for (int rig : {int(TrxNone), int(TrxHamlib), 4}) {
        const std::optional<TrxOutcome> outcome = readOnce(driver, rig);
        QVERIFY(outcome);
        QVERIFY(outcome->reading);
        QCOMPARE(*outcome->reading, (TrxReading{"", "", 0, "599"}));
    }
    QVERIFY(!driver.IsOpen());
    QCOMPARE(transceiver.received(), QByteArray());
}

void TestSerialRigDriver::missingDevice()
{
    QTemporaryDir dir;
    SerialRigDriver driver(kPort, dir.filePath("ttyNONE"));
    const QList<TrxMessage> messages = driver.Open();
    QCOMPARE(messages, QList<TrxMessage>{TrxMessage::portNotFound()});
    QCOMPARE(messages.first().kind, TrxMessage::Kind::PortNotFound);
    QCOMPARE(messages.first().icon(), Prompter::Icon::Warning);
    const std::optional<TrxOutcome> outcome = readOnce(driver, TrxFt897);
    QVERIFY(outcome);
    QCOMPARE(outcome->messages, QList<TrxMessage>{TrxMessage::portNotFound()});
}

void TestSerialRigDriver::unpluggedWhileIdleSaysSoOnceAndReopens()
{
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyRADIO");
    PtyTransceiver transceiver(radio(1825000, "CWR"));
    QVERIFY(transceiver.start());
    QVERIFY(QFile::link(transceiver.devicePath(), device));
    SerialRigDriver driver(kPort, device);
    QCOMPARE(driver.Open(), QList<TrxMessage>());
    QSignalSpy failed(&driver, &RigDriver::failed);

    transceiver.stop();
    QVERIFY(QFile::remove(device)); // as udev takes the adapter's name away
    QVERIFY(failed.wait(kWaitMs));
    QCOMPARE(failed.first().first().value<TrxMessage>(), TrxMessage::lineBroke("ReadFile()"));
    QCOMPARE(failed.first().first().value<TrxMessage>().icon(), Prompter::Icon::Error);
    QVERIFY(!driver.IsOpen());
    std::optional<TrxOutcome> outcome = readOnce(driver, TrxFt897);
    QVERIFY(outcome);
    QCOMPARE(outcome->messages, QList<TrxMessage>{TrxMessage::portNotFound()});

    QVERIFY(transceiver.start());
    QVERIFY(QFile::link(transceiver.devicePath(), device));
    outcome = readOnce(driver, TrxFt897);
    QVERIFY(outcome);
    QVERIFY(outcome->reading);
    QCOMPARE(*outcome->reading, (TrxReading{"1.825.0", "160", 0, "599"}));
    QCOMPARE(failed.size(), 1);
}

QTEST_GUILESS_MAIN(TestSerialRigDriver)
#include "tst_rig_serialdriver.moc"
