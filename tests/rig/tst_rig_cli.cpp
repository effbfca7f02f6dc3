#include "cli/CliRunner.h"
#include "platform/AppSettings.h"
#include "platform/ScriptedPrompter.h"
#include "trxsim/PtyTransceiver.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
}

void TestTrxCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Result result = runCli(arguments);
    QCOMPARE(result.exit, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith("korva3-cli: trx"), qPrintable(result.err));
    QVERIFY(result.err.contains("  trx --rig 1|2 (--port N | --device PATH)\n"));
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

    for (const QString &rig : {QStringLiteral("1"), QStringLiteral("2")}) {
        QProcess cli;
        cli.start(KORVA3_CLI_PATH, {"trx", "--rig", rig, "--device", device});
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

QTEST_GUILESS_MAIN(TestTrxCli)
#include "tst_rig_cli.moc"
