#include "RigTestDoubles.h"
#include "rig/HamlibModels.h"
#include "rig/HamlibReading.h"
#include "rig/HamlibRigDriver.h"
#include "rig/HamlibTuning.h"
#include "rig/SerialRigDriver.h"
#include "rig/TrxDecoding.h"
#include "trxsim/PtyTransceiver.h"

#include <hamlib/rig.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWaitMs = 10000;
constexpr int kFt897 = 1023;
constexpr int kFt1000mp = 1024;

TrxSettings hamlibOn(int model, const QString &port)
{
    TrxSettings settings;
    settings.hamlibModel = model;
    settings.hamlibPort = port;
    return settings;
}

std::optional<TrxOutcome> readOnce(RigDriver &driver, int rig)
{
    return readOnce(driver, RigDriver::Request{rig, 1});
}

std::optional<TrxReading> readingOf(RigDriver &driver, int rig)
{
    const std::optional<TrxOutcome> outcome = readOnce(driver, rig);
    return outcome ? outcome->reading : std::nullopt;
}

// The mode as Hamlib itself names it, read straight through its API.
QString hamlibModeName(int model, const QString &device)
{
    HamlibModels::prepare();
    RIG *rig = rig_init(model);
    rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), QFile::encodeName(device).constData());
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    QString name;
    if (rig_open(rig) == RIG_OK && rig_get_mode(rig, RIG_VFO_CURR, &mode, &width) == RIG_OK)
        name = QString::fromLatin1(rig_strrmode(mode));
    rig_close(rig);
    rig_cleanup(rig);
    return name;
}

} // namespace

class TestHamlib : public QObject
{
    Q_OBJECT

private slots:
    void modePositions_data();
    void modePositions();
    void frequencyTexts_data();
    void frequencyTexts();
    void models();
    void dummyRadioInProcess();
    void dummyRadioTunes_data();
    void dummyRadioTunes();
    void refusedOpens_data();
    void refusedOpens();
    void agreesWithTheOwnPathForEveryMode_data();
    void agreesWithTheOwnPathForEveryMode();
    void unpluggedDeviceIsLetGoAndReopened();
};

void TestHamlib::modePositions_data()
{
    QTest::addColumn<quint64>("mode");
    QTest::addColumn<int>("position");
    const struct
    {
        const char *name;
        rmode_t mode;
        int position;
    } rows[] = {
        {"CW", RIG_MODE_CW, 0},           {"CWR", RIG_MODE_CWR, 0},         {"CWN", RIG_MODE_CWN, 0},
        {"USB", RIG_MODE_USB, 1},         {"LSB", RIG_MODE_LSB, 1},         {"ECSSUSB", RIG_MODE_ECSSUSB, 1},
        {"DSB", RIG_MODE_DSB, 1},         {"AM", RIG_MODE_AM, 4},           {"AMN", RIG_MODE_AMN, 4},
        {"SAM", RIG_MODE_SAM, 4},         {"SAL", RIG_MODE_SAL, 4},         {"AMS", RIG_MODE_AMS, 4},
        {"FM", RIG_MODE_FM, 3},           {"WFM", RIG_MODE_WFM, 3},         {"FMN", RIG_MODE_FMN, 3},
        {"RTTY", RIG_MODE_RTTY, 2},       {"RTTYR", RIG_MODE_RTTYR, 2},     {"PKTUSB", RIG_MODE_PKTUSB, 2},
        {"PKTLSB", RIG_MODE_PKTLSB, 2},   {"PKTFM", RIG_MODE_PKTFM, 2},     {"PKTFMN", RIG_MODE_PKTFMN, 2},
        {"PSK", RIG_MODE_PSK, 2},         {"FAX", RIG_MODE_FAX, 2},         {"DSTAR", RIG_MODE_DSTAR, 2},
        {"C4FM", RIG_MODE_C4FM, 2},       {"none", RIG_MODE_NONE, 0},       {"IQ", RIG_MODE_IQ, 0},
        {"two modes", RIG_MODE_USB | RIG_MODE_AM, 0},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << quint64(row.mode) << row.position;
}

void TestHamlib::modePositions()
{
    QFETCH(quint64, mode);
    QFETCH(int, position);
    QCOMPARE(HamlibReading::modePosition(mode), position);
}

// Below 1 GHz the text is the one the FT-897 path makes of the same frequency.
void TestHamlib::frequencyTexts_data()
{
    QTest::addColumn<qint64>("hz");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("band");
    QTest::newRow("20 m") << qint64(14234567) << "14.234.5" << "20";
    QTest::newRow("40 m") << qint64(7012399) << "7.012.3" << "40";
    QTest::newRow("6 m") << qint64(50313000) << "50.313.0" << "6";
    QTest::newRow("2 m, cut to 8") << qint64(144174000) << "144.174" << "2";
    QTest::newRow("70 cm") << qint64(432100000) << "432.100" << "70";
    QTest::newRow("23 cm") << qint64(1296200000) << "1296.200" << "23";
    QTest::newRow("630 m") << qint64(475500) << "475.5" << "";
    QTest::newRow("below 100 Hz") << qint64(99) << "" << "";
}

void TestHamlib::frequencyTexts()
{
    QFETCH(qint64, hz);
    QFETCH(QString, text);
    QFETCH(QString, band);
    QCOMPARE(TrxDecoding::frequencyTextOfHz(hz), text);
    if (hz < 1000000000)
        QCOMPARE(TrxDecoding::ft897FrequencyText(TrxSimulator::ft897Reply(hz, 0)), text);
    const TrxReading reading = HamlibReading::reading(double(hz), RIG_MODE_PKTUSB);
    QCOMPARE(reading, (TrxReading{text, band, 2, "599"}));
}

void TestHamlib::models()
{
    QCOMPARE(HamlibModels::find(kFt897), (HamlibModel{kFt897, "Yaesu", "FT-897"}));
    QCOMPARE(HamlibModels::find(kFt1000mp), (HamlibModel{kFt1000mp, "Yaesu", "FT-1000MP"}));
    QCOMPARE(HamlibModels::find(1), (HamlibModel{1, "Hamlib", "Dummy"}));
    QCOMPARE(HamlibModels::find(0), std::nullopt);
    const QList<HamlibModel> all = HamlibModels::all();
    QVERIFY(all.size() > 200);
    for (int i = 1; i < all.size(); ++i) {
        const int maker = all.at(i - 1).maker.compare(all.at(i).maker, Qt::CaseInsensitive);
        QVERIFY2(maker < 0 || (maker == 0 && all.at(i - 1).name.compare(all.at(i).name, Qt::CaseInsensitive) <= 0),
                 qPrintable(all.at(i).maker + ' ' + all.at(i).name));
    }
    QVERIFY2(HamlibModels::version().startsWith("Hamlib 4."), qPrintable(HamlibModels::version()));
}

// Hamlib's dummy radio starts on 145 MHz FM and needs no device.
void TestHamlib::dummyRadioInProcess()
{
    HamlibRigDriver driver(hamlibOn(1, QString()));
    QCOMPARE(driver.Open(), QList<TrxMessage>());
    QVERIFY(driver.IsOpen());
    QCOMPARE(readingOf(driver, TrxHamlib), (TrxReading{"145.000", "2", 3, "59"}));
    QCOMPARE(readingOf(driver, TrxFt897), (TrxReading{"", "", 0, "599"})); // not a Hamlib type
    driver.Close();
    QVERIFY(!driver.IsOpen());
    QCOMPARE(readingOf(driver, TrxHamlib), (TrxReading{"145.000", "2", 3, "59"})); // opened again
}

// A spot's frequency and mode set on the dummy radio read back as the form takes them;
// an empty mode leaves the radio's (FM, where the dummy starts). The FT-897 driver
// only reads.
void TestHamlib::dummyRadioTunes_data()
{
    QTest::addColumn<qint64>("hz");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<quint64>("hamlibMode");
    QTest::addColumn<TrxReading>("reading");
    QTest::newRow("CW") << qint64(14025000) << "CW" << quint64(RIG_MODE_CW) << TrxReading{"14.025.0", "20", 0, "599"};
    QTest::newRow("SSB below 10 MHz") << qint64(7150000) << "SSB" << quint64(RIG_MODE_LSB)
                                      << TrxReading{"7.150.0", "40", 1, "59"};
    QTest::newRow("SSB on 60 m") << qint64(5357000) << "SSB" << quint64(RIG_MODE_USB)
                                 << TrxReading{"5.357.0", "60", 1, "59"};
    QTest::newRow("SSB above") << qint64(14250000) << "SSB" << quint64(RIG_MODE_USB)
                               << TrxReading{"14.250.0", "20", 1, "59"};
    QTest::newRow("FT8 as data") << qint64(14074000) << "FT8" << quint64(RIG_MODE_PKTUSB)
                                 << TrxReading{"14.074.0", "20", 2, "599"};
    QTest::newRow("RTTY") << qint64(14085000) << "rtty" << quint64(RIG_MODE_RTTY) << TrxReading{"14.085.0", "20", 2, "599"};
    QTest::newRow("AM") << qint64(3885000) << "AM" << quint64(RIG_MODE_AM) << TrxReading{"3.885.0", "80", 4, "59"};
    QTest::newRow("no mode") << qint64(145500000) << "" << quint64(RIG_MODE_NONE) << TrxReading{"145.500", "2", 3, "59"};
}

void TestHamlib::dummyRadioTunes()
{
    QFETCH(qint64, hz);
    QFETCH(QString, mode);
    QFETCH(quint64, hamlibMode);
    QFETCH(TrxReading, reading);
    QCOMPARE(HamlibTuning::modeOf(mode, hz), hamlibMode);
    HamlibRigDriver driver(hamlibOn(1, QString()));
    QSignalSpy tuned(&driver, &RigDriver::tuned);
    driver.Tune(RigDriver::TuneRequest{hz, mode}); // opens the radio first
    QCOMPARE(tuned.count(), 1);
    const TrxOutcome outcome = tuned.first().first().value<TrxOutcome>();
    QCOMPARE(outcome.messages, QList<TrxMessage>());
    QCOMPARE(outcome.reading, std::optional<TrxReading>(reading));

    SerialRigDriver serial(1, QStringLiteral("/dev/null/none"));
    QSignalSpy serialTuned(&serial, &RigDriver::tuned);
    serial.Tune(RigDriver::TuneRequest{hz, mode});
    QCOMPARE(serialTuned.count(), 1);
    QVERIFY(!serialTuned.first().first().value<TrxOutcome>().reading);
    QVERIFY(!serial.IsOpen());
}

// A model Hamlib does not have (which would end the program inside Hamlib), no port, a
// missing device: each says the port is not found.
void TestHamlib::refusedOpens_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("port");
    QTest::newRow("no model") << 0 << "/dev/null";
    QTest::newRow("unknown model") << 999999 << "/dev/null";
    QTest::newRow("no port") << kFt897 << "";
    QTest::newRow("missing device") << kFt897 << "/dev/korva3-no-such-tty";
}

void TestHamlib::refusedOpens()
{
    QFETCH(int, model);
    QFETCH(QString, port);
    HamlibRigDriver driver(hamlibOn(model, port));
    QCOMPARE(driver.Open(), QList<TrxMessage>{TrxMessage::portNotFound()});
    QVERIFY(!driver.IsOpen());
}

// Hamlib's FT-897 and FT-1000MP drivers read the simulator as the logbook's own decoding
// does, in every mode it has; Hamlib itself names the modes as the radio means them.
void TestHamlib::agreesWithTheOwnPathForEveryMode_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("rig");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("hamlibMode");
    QTest::addColumn<int>("position");
    const struct
    {
        const char *mode;
        const char *ft897;
        const char *ft1000mp;
        int position;
    } rows[] = {
        {"LSB", "LSB", "LSB", 1},     {"USB", "USB", "USB", 1},       {"CW", "CW", "CW", 0},
        {"CWR", "CWR", "CWR", 0},     {"AM", "AM", "AM", 4},          {"FM", "FM", "FM", 3},
        {"FMN", "FM", "FM", 3},       {"DIG", "PKTUSB", "RTTY", 2},   {"PKT", "FM-D", "PKTLSB", 2},
        {"RTTY", "RTTY", "RTTY", 2},
    };
    QCOMPARE(int(std::size(rows)), TrxSimulator::modeNames().size());
    for (const auto &row : rows) {
        QTest::addRow("FT-897 %s", row.mode) << kFt897 << int(TrxFt897) << row.mode << row.ft897 << row.position;
        QTest::addRow("FT-1000MP %s", row.mode)
            << kFt1000mp << int(TrxFt1000mp) << row.mode << row.ft1000mp << row.position;
    }
}

void TestHamlib::agreesWithTheOwnPathForEveryMode()
{
    QFETCH(int, model);
    QFETCH(int, rig);
    QFETCH(QString, mode);
    QFETCH(QString, hamlibMode);
    QFETCH(int, position);
    PtyTransceiver transceiver(TrxSimulator(21074560, *TrxSimulator::modeByName(mode)));
    QVERIFY(transceiver.start());

    HamlibRigDriver hamlib(hamlibOn(model, transceiver.devicePath()));
    const std::optional<TrxReading> throughHamlib = readingOf(hamlib, TrxHamlib);
    hamlib.Close();
    SerialRigDriver own(1, transceiver.devicePath());
    const std::optional<TrxReading> ownReading = readingOf(own, rig);
    QVERIFY(throughHamlib && ownReading);
    QCOMPARE(*throughHamlib, *ownReading);
    QCOMPARE(*throughHamlib, (TrxReading{"21.074.5", "15", position, TrxDecoding::reportsForModePosition(position)}));
    own.Close();
    QCOMPARE(hamlibModeName(model, transceiver.devicePath()), hamlibMode);
}

// The device goes away under an open Hamlib radio: the read says so at once (Hamlib
// itself would never come back), the line is let go, the next read looks for the device
// again, and the one after the device is back reads the radio.
void TestHamlib::unpluggedDeviceIsLetGoAndReopened()
{
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyRADIO");
    PtyTransceiver transceiver(TrxSimulator(7012300, *TrxSimulator::modeByName("CW")));
    QVERIFY(transceiver.start());
    QVERIFY(QFile::link(transceiver.devicePath(), device));
    HamlibRigDriver driver(hamlibOn(kFt897, device));
    QCOMPARE(readingOf(driver, TrxHamlib), (TrxReading{"7.012.3", "40", 0, "599"}));

    transceiver.stop();
    QVERIFY(QFile::remove(device)); // as udev takes the adapter's name away
    std::optional<TrxOutcome> outcome = readOnce(driver, TrxHamlib);
    QVERIFY(outcome);
    QCOMPARE(outcome->messages, QList<TrxMessage>{TrxMessage::lineLost()});
    QCOMPARE(outcome->messages.first().icon(), Prompter::Icon::None);
    QVERIFY(outcome->messages.first().lineFailed());
    QVERIFY(!driver.IsOpen());
    outcome = readOnce(driver, TrxHamlib);
    QVERIFY(outcome);
    QCOMPARE(outcome->messages, QList<TrxMessage>{TrxMessage::portNotFound()});

    QVERIFY(transceiver.start());
    QVERIFY(QFile::link(transceiver.devicePath(), device));
    QCOMPARE(readingOf(driver, TrxHamlib), (TrxReading{"7.012.3", "40", 0, "599"}));
}

QTEST_GUILESS_MAIN(TestHamlib)
#include "tst_rig_hamlib.moc"
