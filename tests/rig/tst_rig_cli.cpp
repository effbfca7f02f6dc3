#include "cli/CliRunner.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "rig/HamlibModels.h"
#include "trxsim/PtyTransceiver.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/prctl.h>

namespace {

struct Result
{
    int exit;
    QString out;
    QString err;
};

Result runCli(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int exit = CliRunner(outStream, errStream).run(arguments);
    outStream.flush();
    errStream.flush();
    return {exit, out, err};
}

TrxSimulator radio(qint64 hz, const char *mode, TrxSimulator::Reply reply = TrxSimulator::Reply::Full)
{
    return TrxSimulator(hz, *TrxSimulator::modeByName(mode), reply);
}

// A port of 127.0.0.1 that nothing listens on just now.
quint16 freePort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

// One command to rigctld and its answer line ("RPRT 0" for a set that worked).
QByteArray rigctld(quint16 port, const QByteArray &command)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(1000))
        return QByteArray();
    socket.write(command + '\n');
    if (!socket.waitForReadyRead(5000))
        return QByteArray();
    return socket.readLine().trimmed();
}

// A trxsim program: the device it serves, and its log.
class SimulatorProcess
{
public:
    SimulatorProcess(const QString &logFile, const QStringList &arguments)
    {
        m_process.start(KORVA3_TRXSIM_PATH, QStringList{"--log", logFile} + arguments);
        if (m_process.waitForStarted() && m_process.waitForReadyRead(5000))
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimulatorProcess() { stop(); }
    QString device() const { return m_device; }
    // Ends it as a pulled cable ends a radio: its device goes away.
    bool stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        m_process.terminate();
        return m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
    QString m_device;
};

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTrxCli : public QObject
{
    Q_OBJECT

private slots:
    void readsEachTransceiverType_data();
    void readsEachTransceiverType();
    void portNumberNamesTheDeviceOfTheSettings();
    void noReplyFails();
    void missingDeviceFails();
    void putsTheEarlierPrompterBack();
    void usageErrors_data();
    void usageErrors();
    void simulatorAndToolTogether();
    void hamlibRadioOnTheSimulator_data();
    void hamlibRadioOnTheSimulator();
    void listsHamlibsModels();
    void readsARigctld();
    void silentRigctldIsNamed_data();
    void silentRigctldIsNamed();
    void pulledDeviceGivesOneMessageAndTheNextRunReads_data();
    void pulledDeviceGivesOneMessageAndTheNextRunReads();
};

void TestTrxCli::readsEachTransceiverType_data()
{
    QTest::addColumn<QString>("rig");
    QTest::addColumn<qint64>("hz");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("json");
    QTest::newRow("FT-897") << "1" << qint64(14234560) << "DIG"
                            << R"({"freq": "14.234.5", "band": "20", "mode": 2, "reports": "599"})";
    QTest::newRow("FT-897 FM narrow") << "1" << qint64(144000000) << "FMN"
                                      << R"({"freq": "144.000", "band": "2", "mode": 3, "reports": "59"})";
    QTest::newRow("FT-1000mp") << "2" << qint64(14012000) << "RTTY"
                               << R"({"freq": "14.012.0", "band": "20", "mode": 2, "reports": "599"})";
    QTest::newRow("FT-1000mp 100 MHz") << "2" << qint64(100000000) << "FM"
                                       << R"({"freq": "100.000.0", "band": "", "mode": 3, "reports": "59"})";
}

void TestTrxCli::readsEachTransceiverType()
{
    QFETCH(QString, rig);
    QFETCH(qint64, hz);
    QFETCH(QString, mode);
    QFETCH(QString, json);
    PtyTransceiver transceiver(radio(hz, qPrintable(mode)));
    QVERIFY(transceiver.start());
    const Result result = runCli({"trx", "--rig", rig, "--device", transceiver.devicePath()});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, json + '\n');
    QCOMPARE(result.exit, 0);
}

void TestTrxCli::portNumberNamesTheDeviceOfTheSettings()
{
    PtyTransceiver transceiver(radio(7012300, "LSB"));
    QVERIFY(transceiver.start());
    QTemporaryDir dir;
    AppSettings::useFolder(dir.path());
    AppSettings::open()->setValue("Serial ports/COM6", transceiver.devicePath());
    const Result result = runCli({"trx", "--port", "6", "--rig", "1"});
    AppSettings::useFolder(QString());
    QCOMPARE(result.out, QStringLiteral("{\"freq\": \"7.012.3\", \"band\": \"40\", \"mode\": 1, \"reports\": \"59\"}\n"));
    QCOMPARE(result.exit, 0);
}

void TestTrxCli::noReplyFails()
{
    PtyTransceiver transceiver(radio(7012300, "LSB", TrxSimulator::Reply::None));
    QVERIFY(transceiver.start());
    const Result result = runCli({"trx", "--rig", "2", "--device", transceiver.devicePath()});
    QCOMPARE(result.exit, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QStringLiteral("Check configuration or\nserial cable to trx...\n"));
}

void TestTrxCli::missingDeviceFails()
{
    QTemporaryDir dir;
    const Result result = runCli({"trx", "--rig", "1", "--device", dir.filePath("ttyNONE")});
    QCOMPARE(result.exit, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QStringLiteral("Communication port for Tx/Rx not found !\nCheck your setup...\n"));
}

void TestTrxCli::putsTheEarlierPrompterBack()
{
    ScriptedPrompter mine;
    Prompter::install(&mine);
    QTemporaryDir dir;
    QCOMPARE(runCli({"trx", "--rig", "1", "--device", dir.filePath("ttyNONE")}).exit, 1);
    QCOMPARE(&Prompter::current(), static_cast<Prompter *>(&mine));
    QCOMPARE(mine.texts(), QStringList());
    Prompter::install(nullptr);
}

void TestTrxCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{"trx"};
    QTest::newRow("no port") << QStringList{"trx", "--rig", "1"};
    QTest::newRow("no rig") << QStringList{"trx", "--port", "1"};
    QTest::newRow("rig 0") << QStringList{"trx", "--rig", "0", "--port", "1"};
    QTest::newRow("rig 3") << QStringList{"trx", "--rig", "3", "--port", "1"};
    QTest::newRow("port 0") << QStringList{"trx", "--rig", "1", "--port", "0"};
    QTest::newRow("port and device") << QStringList{"trx", "--rig", "1", "--port", "1", "--device", "/dev/null"};
    QTest::newRow("missing value") << QStringList{"trx", "--rig", "1", "--device"};
    QTest::newRow("unknown option") << QStringList{"trx", "--rig", "1", "--baud", "9600"};
    QTest::newRow("option twice") << QStringList{"trx", "--rig", "1", "--rig", "2", "--port", "1"};
    QTest::newRow("rig and hamlib") << QStringList{"trx", "--rig", "1", "--hamlib", "1023", "--device", "/dev/null"};
    QTest::newRow("hamlib, no device") << QStringList{"trx", "--hamlib", "1023"};
    QTest::newRow("hamlib, port number") << QStringList{"trx", "--hamlib", "1023", "--port", "1"};
    QTest::newRow("hamlib, both") << QStringList{"trx", "--hamlib", "1", "--device", "/dev/null", "--rigctld", "h:1"};
    QTest::newRow("speed with rigctld") << QStringList{"trx", "--hamlib", "1", "--rigctld", "h:1", "--speed", "9600"};
    QTest::newRow("speed not a number") << QStringList{"trx", "--hamlib", "1", "--device", "/dev/null", "--speed", "x"};
    QTest::newRow("speed for the FT-897") << QStringList{"trx", "--rig", "1", "--device", "/dev/null", "--speed", "9600"};
    QTest::newRow("unknown model") << QStringList{"trx", "--hamlib", "424242", "--device", "/dev/null"};
    QTest::newRow("model not a number") << QStringList{"trx", "--hamlib", "FT-897", "--device", "/dev/null"};
    QTest::newRow("list with more") << QStringList{"trx", "--list-models", "1"};
}

void TestTrxCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Result result = runCli(arguments);
    QCOMPARE(result.exit, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith("korva3-cli: trx"), qPrintable(result.err));
    QVERIFY(result.err.contains("  trx --rig 1|2 (--port N | --device PATH)\n"));
    QVERIFY(result.err.contains("  trx --hamlib MODEL (--device PATH [--speed BAUD] | --rigctld HOST:PORT)\n"));
}

// The simulator program prints the device it serves and ends when its input pipe closes.
void TestTrxCli::simulatorAndToolTogether()
{
    QProcess simulator;
    simulator.start(KORVA3_TRXSIM_PATH, {"14012000", "RTTY"});
    QVERIFY(simulator.waitForStarted());
    QVERIFY(simulator.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    QVERIFY2(device.startsWith("/dev/pts/"), qPrintable(device));

    const QList<QStringList> radios{{"--rig", "1"}, {"--rig", "2"}, {"--hamlib", "1023"}, {"--hamlib", "1024"}};
    for (const QStringList &radio : radios) {
        QProcess cli;
        cli.start(KORVA3_CLI_PATH, QStringList{"trx"} + radio + QStringList{"--device", device});
        QVERIFY(cli.waitForFinished(15000));
        QCOMPARE(cli.readAllStandardError(), QByteArray());
        QCOMPARE(cli.readAllStandardOutput(),
                 QByteArray(R"({"freq": "14.012.0", "band": "20", "mode": 2, "reports": "599"})" "\n"));
        QCOMPARE(cli.exitCode(), 0);
    }

    simulator.closeWriteChannel();
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);

    QProcess refused;
    refused.start(KORVA3_TRXSIM_PATH, {"14012000", "SSTV"});
    QVERIFY(refused.waitForFinished(5000));
    QCOMPARE(refused.exitCode(), 2);
}

void TestTrxCli::hamlibRadioOnTheSimulator_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("json");
    QTest::newRow("FT-897") << QStringList{"--hamlib", "1023"}
                            << R"({"freq": "10.136.0", "band": "30", "mode": 2, "reports": "599"})";
    QTest::newRow("FT-897 at 4800 baud") << QStringList{"--hamlib", "1023", "--speed", "4800"}
                                         << R"({"freq": "10.136.0", "band": "30", "mode": 2, "reports": "599"})";
    QTest::newRow("FT-1000MP") << QStringList{"--hamlib", "1024"}
                               << R"({"freq": "10.136.0", "band": "30", "mode": 2, "reports": "599"})";
}

void TestTrxCli::hamlibRadioOnTheSimulator()
{
    QFETCH(QStringList, options);
    QFETCH(QString, json);
    PtyTransceiver transceiver(radio(10136000, "DIG"));
    QVERIFY(transceiver.start());
    const Result result = runCli(QStringList{"trx"} + options + QStringList{"--device", transceiver.devicePath()});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, json + '\n');
    QCOMPARE(result.exit, 0);
}

void TestTrxCli::listsHamlibsModels()
{
    const Result result = runCli({"trx", "--list-models"});
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.err, QString());
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), HamlibModels::all().size());
    QVERIFY(lines.contains("1023\tYaesu\tFT-897"));
    QVERIFY(lines.contains("1\tHamlib\tDummy"));
    QVERIFY(lines.contains("2\tHamlib\tNET rigctl"));
}

// A rigctld started here on Hamlib's dummy radio, set to 7.0123 MHz CW over its own
// protocol, read through --rigctld; once it has ended, the link is not found.
void TestTrxCli::readsARigctld()
{
    const quint16 port = freePort();
    QVERIFY(port != 0);
    QProcess daemon;
    daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }); // ends with a test that dies
    daemon.start(KORVA3_RIGCTLD_PATH, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    QVERIFY(daemon.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(rigctld(port, "F 7012300"), QByteArray("RPRT 0"), 10000);
    QCOMPARE(rigctld(port, "M CW 500"), QByteArray("RPRT 0"));

    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
    Result result = runCli({"trx", "--hamlib", "1", "--rigctld", address});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, QStringLiteral("{\"freq\": \"7.012.3\", \"band\": \"40\", \"mode\": 0, \"reports\": \"599\"}\n"));
    QCOMPARE(result.exit, 0);

    daemon.terminate();
    QVERIFY(daemon.waitForFinished(5000));
    result = runCli({"trx", "--hamlib", "1", "--rigctld", address});
    QCOMPARE(result.err, QStringLiteral("rigctld at %1 does not answer\nCheck your setup...\n").arg(address));
    QCOMPARE(result.exit, 1);
}

void TestTrxCli::silentRigctldIsNamed_data()
{
    QTest::addColumn<bool>("listening");
    QTest::newRow("nothing listens") << false;
    QTest::newRow("a listener that never answers") << true;
}

void TestTrxCli::silentRigctldIsNamed()
{
    QFETCH(bool, listening);
    QTcpServer silent;
    const quint16 port = listening ? (silent.listen(QHostAddress::LocalHost, 0) ? silent.serverPort() : 0) : freePort();
    QVERIFY(port != 0);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
    const Result result = runCli({"trx", "--hamlib", "1", "--rigctld", address});
    QCOMPARE(result.err, QStringLiteral("rigctld at %1 does not answer\nCheck your setup...\n").arg(address));
    QCOMPARE(result.exit, 1);
}

void TestTrxCli::pulledDeviceGivesOneMessageAndTheNextRunReads_data()
{
    QTest::addColumn<QStringList>("radio");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("own FT-897 driver") << QStringList{"--rig", "1"} << QByteArray("ReadFile()\n");
    // Hamlib's own read would spin on the hung-up line for ever.
    QTest::newRow("Hamlib's FT-897 driver") << QStringList{"--hamlib", "1023"}
                                            << QByteArray("Check configuration or\nserial cable to trx...\n");
}

// The radio is pulled while korva3-cli waits for its reply: one message and exit 1, not
// a message for every failed read. The next run, with the radio back, reads it.
void TestTrxCli::pulledDeviceGivesOneMessageAndTheNextRunReads()
{
    QFETCH(QStringList, radio);
    QFETCH(QByteArray, err);
    QTemporaryDir dir;
    const QString log = dir.filePath("trxsim.log");
    SimulatorProcess silent(log, {"--silent", "14074000", "USB"});
    QVERIFY(silent.device().startsWith("/dev/pts/"));
    QProcess cli;
    cli.start(KORVA3_CLI_PATH, QStringList{"trx"} + radio + QStringList{"--device", silent.device()});
    QTRY_COMPARE_WITH_TIMEOUT(fileText(log), QByteArray("received: 00 00 00 00 03\n"), 10000);
    QVERIFY(silent.stop());
    QVERIFY(cli.waitForFinished(15000));
    QCOMPARE(cli.readAllStandardError(), err);
    QCOMPARE(cli.readAllStandardOutput(), QByteArray());
    QCOMPARE(cli.exitCode(), 1);

    SimulatorProcess back(log, {"14074000", "USB"});
    QProcess again;
    again.start(KORVA3_CLI_PATH, QStringList{"trx"} + radio + QStringList{"--device", back.device()});
    QVERIFY(again.waitForFinished(15000));
    QCOMPARE(again.readAllStandardError(), QByteArray());
    QCOMPARE(again.readAllStandardOutput(),
             QByteArray(R"({"freq": "14.074.0", "band": "20", "mode": 1, "reports": "59"})" "\n"));
    QCOMPARE(again.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestTrxCli)
#include "tst_rig_cli.moc"
