#include "RigTestDoubles.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "rig/CSerialPort.h"
#include "rig/SerialPortNames.h"
#include "trxsim/PtyTransceiver.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

constexpr int kPort = 3;

TrxSimulator usbOn20m()
{
    return TrxSimulator(14234500, *TrxSimulator::modeByName("USB"));
}

// A radio on a pseudo-terminal, and a monitored port on it with its owner.
struct MonitoredPort
{
    PtyTransceiver radio{usbOn20m()};
    RecordingOwner owner;
    CSerialPort port;

    bool start()
    {
        if (!radio.start() || !port.InitPort(&owner, kPort, radio.devicePath()))
            return false;
        port.StartMonitoring();
        return true;
    }
    void askForFrequency()
    {
        std::memcpy(port.WriteBuffer(), "\x00\x00\x00\x00\x03", 5);
        port.RequestWriteCommand();
    }
};

// Waits without handling events, so that the port reads nothing meanwhile.
bool unreadBecomes(const PtyTransceiver &radio, int count)
{
    for (int i = 0; i < 500 && radio.unreadByClient() != count; ++i)
        QThread::msleep(10);
    return radio.unreadByClient() == count;
}

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void portNumbersNameDevices();
    void portNumbersNameDevicesOfTheSettingsStore();
    void missingDeviceFailsWithoutAMessage();
    void opensAt4800Baud8DataBitsNoParity2StopBits();
    void bytesReachTheOwnerOneAtATimeInOrder();
    void commandAndTextWrites();
    void writeDiscardsBytesNotYetHandedOver();
    void monitoringStartsWithEmptyQueues();
    void reopeningLeavesTheEarlierOwner();
    void destroyingThePortDropsBytesNotHandedOver();
    void unpluggedDeviceClosesThePortAndSaysSoOnce();
    void commandToAnUnpluggedDeviceFailsOnce();
    void reopensWhenTheDeviceComesBack();

private:
    ScriptedPrompter m_prompter;
};

void TestSerialPort::init()
{
    m_prompter.clear();
    Prompter::install(&m_prompter);
}

void TestSerialPort::cleanup()
{
    Prompter::install(nullptr);
}

void TestSerialPort::portNumbersNameDevices()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Korva3.ini"), QSettings::IniFormat);
    settings.setValue("Serial ports/COM3", "/dev/pts/7");
    settings.setValue("Serial ports/COM0", "/dev/ttyACM0");
    const auto usbPresent = [](const QString &path) { return path.startsWith("/dev/ttyUSB"); };
    const auto usbAbsent = [](const QString &) { return false; };

    QCOMPARE(SerialPortNames::devicePath(3, settings, usbPresent), QStringLiteral("/dev/pts/7"));
    QCOMPARE(SerialPortNames::devicePath(0, settings, usbPresent), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(SerialPortNames::devicePath(1, settings, usbPresent), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(SerialPortNames::devicePath(2, settings, usbAbsent), QStringLiteral("/dev/ttyS1"));
    QCOMPARE(SerialPortNames::devicePath(9, settings, usbPresent), QStringLiteral("/dev/ttyUSB8"));
    QCOMPARE(SerialPortNames::devicePath(-1, settings, usbPresent), QString());
}

void TestSerialPort::portNumbersNameDevicesOfTheSettingsStore()
{
    QTemporaryDir dir;
    AppSettings::useFolder(dir.path());
    AppSettings::open()->setValue("Serial ports/COM4", "/dev/pts/42");
    QCOMPARE(SerialPortNames::devicePath(4), QStringLiteral("/dev/pts/42"));
    QCOMPARE(SerialPortNames::devicePath(0), QString());
    AppSettings::useFolder(QString());
}

void TestSerialPort::missingDeviceFailsWithoutAMessage()
{
    RecordingOwner owner;
    CSerialPort port;
    QVERIFY(!port.InitPort(&owner, kPort, "/dev/korva3-no-such-tty"));
    QVERIFY(!port.IsOpen());
    port.StartMonitoring();
    QVERIFY(!port.IsMonitoring());
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestSerialPort::opensAt4800Baud8DataBitsNoParity2StopBits()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    CSerialPort port;
    QVERIFY(port.InitPort(&owner, kPort, radio.devicePath()));
    QVERIFY(port.IsOpen());
    QCOMPARE(port.PortNumber(), kPort);
    const PtyTransceiver::LineSettings line = radio.lineSettings();
    QCOMPARE(line.baud, 4800);
    QCOMPARE(line.dataBits, 8);
    QCOMPARE(line.parity, 'N');
    QCOMPARE(line.stopBits, 2);
    QCOMPARE(line.hardwareFlow, false);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestSerialPort::bytesReachTheOwnerOneAtATimeInOrder()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    CSerialPort port;
    QVERIFY(port.InitPort(&owner, kPort, radio.devicePath()));
    port.StartMonitoring();
    QVERIFY(port.IsMonitoring());

    const QByteArray sent("\x00\x7F\x80\xFF\r\n" "abc", 9);
    QVERIFY(radio.send(sent.left(2)));
    QVERIFY(radio.send(sent.mid(2)));
    QTRY_COMPARE(owner.bytes.size(), sent.size());
    QCOMPARE(owner.bytes, sent);
    QCOMPARE(owner.ports, QList<int>(sent.size(), kPort));
    QCOMPARE(owner.threads, QList<QThread *>(sent.size(), QThread::currentThread()));
}

void TestSerialPort::commandAndTextWrites()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    CSerialPort port;
    QVERIFY(port.InitPort(&owner, kPort, radio.devicePath()));
    port.StartMonitoring();

    // A command is exactly the first 5 bytes, whatever follows them in the buffer.
    std::memcpy(port.WriteBuffer(), "\x00\x00\x00\x00\x03" "FFFF", 9);
    port.RequestWriteCommand();
    QTRY_COMPARE(radio.received(), QByteArray::fromHex("0000000003"));
    QTRY_COMPARE(owner.bytes, QByteArray::fromHex("0142345001"));

    // A text ends at its terminating zero.
    std::memcpy(port.WriteBuffer(), "ID;\0XYZ", 7);
    port.RequestWriteText();
    QTRY_COMPARE(radio.received(), QByteArray::fromHex("0000000003") + "ID;");
    QCOMPARE(m_prompter.texts(), QStringList());
}

// The owner asks for a write while it handles the first of three bytes that arrived
// together: the other two are gone, and what arrives after the write comes through.
void TestSerialPort::writeDiscardsBytesNotYetHandedOver()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    CSerialPort port;
    owner.onFirstByte = [&port] {
        std::memcpy(port.WriteBuffer(), "HELLO", 5);
        port.RequestWriteCommand();
    };
    QVERIFY(port.InitPort(&owner, kPort, radio.devicePath()));
    port.StartMonitoring();
    QVERIFY(port.IsMonitoring());

    QVERIFY(radio.send("ABC"));
    QTRY_COMPARE(radio.received(), QByteArray("HELLO"));
    QVERIFY(radio.send("Z"));
    QTRY_COMPARE(owner.bytes, QByteArray("AZ"));
}

void TestSerialPort::monitoringStartsWithEmptyQueues()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    CSerialPort port;
    QVERIFY(port.InitPort(&owner, kPort, radio.devicePath()));
    QVERIFY(radio.send("old"));
    QVERIFY(unreadBecomes(radio, 3));
    port.StartMonitoring();
    QVERIFY(port.IsMonitoring());
    QVERIFY(radio.send("new"));
    QTRY_COMPARE(owner.bytes, QByteArray("new"));
}

void TestSerialPort::reopeningLeavesTheEarlierOwner()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner first;
    RecordingOwner second;
    CSerialPort port;
    QVERIFY(port.InitPort(&first, 1, radio.devicePath()));
    port.StartMonitoring();
    QVERIFY(port.IsMonitoring());

    QVERIFY(port.InitPort(&second, 2, radio.devicePath()));
    QVERIFY(!port.IsMonitoring());
    port.StartMonitoring();
    QVERIFY(port.IsMonitoring());
    QVERIFY(radio.send("xy"));
    QTRY_COMPARE(second.bytes, QByteArray("xy"));
    QCOMPARE(second.ports, QList<int>({2, 2}));
    QCOMPARE(first.bytes, QByteArray());
}

// Bytes waiting in the device when the port is destroyed never reach the owner.
void TestSerialPort::destroyingThePortDropsBytesNotHandedOver()
{
    PtyTransceiver radio(usbOn20m());
    QVERIFY(radio.start());
    RecordingOwner owner;
    auto port = std::make_unique<CSerialPort>();
    QVERIFY(port->InitPort(&owner, kPort, radio.devicePath()));
    port->StartMonitoring();

    QVERIFY(radio.send("XYZ"));
    QVERIFY(unreadBecomes(radio, 3));
    port.reset();
    QCoreApplication::processEvents();
    QCOMPARE(owner.bytes, QByteArray());
    QCOMPARE(owner.failures, QStringList());
}

// The device goes away under a monitored port: the port closes and says so once; a
// write asked for afterwards does nothing and says nothing.
void TestSerialPort::unpluggedDeviceClosesThePortAndSaysSoOnce()
{
    MonitoredPort line;
    QVERIFY(line.start());
    line.radio.stop();
    QTRY_COMPARE(line.owner.failures, QStringList{"ReadFile()"});
    QVERIFY(!line.port.IsOpen());
    QVERIFY(!line.port.IsMonitoring());
    line.askForFrequency();
    QCoreApplication::processEvents();
    QCOMPARE(line.owner.failures, QStringList{"ReadFile()"});
    QCOMPARE(line.owner.bytes, QByteArray());
}

// A command asked for before the port has noticed that the device is gone: discarding
// the queues fails already, as a read would, and nothing is written.
void TestSerialPort::commandToAnUnpluggedDeviceFailsOnce()
{
    MonitoredPort line;
    QVERIFY(line.start());
    line.radio.stop();
    line.askForFrequency();
    QCOMPARE(line.owner.failures, QStringList{"ReadFile()"});
    QVERIFY(!line.port.IsOpen());
    QCoreApplication::processEvents();
    QCOMPARE(line.owner.failures, QStringList{"ReadFile()"});
}

void TestSerialPort::reopensWhenTheDeviceComesBack()
{
    MonitoredPort line;
    QVERIFY(line.start());
    line.radio.stop();
    QTRY_VERIFY(!line.port.IsOpen());
    QVERIFY(line.start());
    line.askForFrequency();
    QTRY_COMPARE(line.owner.bytes, QByteArray::fromHex("0142345001"));
    QCOMPARE(line.owner.failures, QStringList{"ReadFile()"});
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_rig_serialport.moc"
