#include "RigTestDoubles.h"
#include "rig/TrxDecoding.h"
#include "trxsim/PtyTransceiver.h"
#include "trxsim/TrxSimulator.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The client end of a simulator's device, in raw mode.
class PtyClient
{
public:
    explicit PtyClient(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY))
    {
        termios raw{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~PtyClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool write(const QByteArray &bytes) { return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size(); }
    // Reads until `count` bytes have come or 5 seconds pass without one.
    QByteArray read(int count)
    {
        QByteArray bytes;
        pollfd fd{m_fd, POLLIN, 0};
        char buffer[64];
        while (bytes.size() < count && ::poll(&fd, 1, 5000) > 0) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            bytes.append(buffer, static_cast<int>(got));
        }
        return bytes;
    }

private:
    int m_fd;
};

} // namespace

class TestTrxDecoding : public QObject
{
    Q_OBJECT

private slots:
    void commandFramesAndReplyLengths();
    void ft897Replies_data();
    void ft897Replies();
    void ft897ModeTable();
    void ft1000mpReplies_data();
    void ft1000mpReplies();
    void ft1000mpModeTableUsesOnlyTheLowBits();
    void unknownTypeGivesAnEmptyReading();
    void simulatorEncodesWhatTheDecodingReads_data();
    void simulatorEncodesWhatTheDecodingReads();
    void simulatorAnswersTheReadCommands_data();
    void simulatorAnswersTheReadCommands();
    void simulatorShortOrSilent();
    void simulatorSkipsAStrayByteAndLogs();
};

void TestTrxDecoding::commandFramesAndReplyLengths()
{
    QCOMPARE(TrxDecoding::commandFrame(TrxFt897), QByteArray::fromHex("0000000003"));
    QCOMPARE(TrxDecoding::commandFrame(TrxFt1000mp), QByteArray::fromHex("0000000210"));
    QCOMPARE(TrxDecoding::commandFrame(TrxNone), QByteArray());
    QCOMPARE(TrxDecoding::commandFrame(3), QByteArray());
    QCOMPARE(TrxDecoding::replyLength(TrxFt897), 5);
    QCOMPARE(TrxDecoding::replyLength(TrxFt1000mp), 16);
    QCOMPARE(TrxDecoding::replyLength(3), 0);
}

void TestTrxDecoding::ft897Replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<TrxReading>("expected");
    QTest::newRow("RTTY on 20 m") << QByteArray::fromHex("014234560C") << TrxReading{"14.234.5", "20", 2, "599"};
    QTest::newRow("cut to 8 characters") << QByteArray::fromHex("1440000008") << TrxReading{"144.000", "2", 3, "59"};
    QTest::newRow("LSB on 40 m") << QByteArray::fromHex("0070123401") << TrxReading{"7.012.3", "40", 1, "59"};
    QTest::newRow("CW on 160 m") << QByteArray::fromHex("0018250002") << TrxReading{"1.825.0", "160", 0, "599"};
    QTest::newRow("AM on 80 m") << QByteArray::fromHex("0036500004") << TrxReading{"3.650.0", "80", 4, "59"};
    QTest::newRow("FM narrow is FM") << QByteArray::fromHex("1450000088") << TrxReading{"145.000", "2", 3, "59"};
    QTest::newRow("430 MHz") << QByteArray::fromHex("4339750008") << TrxReading{"433.975", "70", 3, "59"};
    QTest::newRow("zero") << QByteArray::fromHex("0000000001") << TrxReading{"", "", 1, "59"};
}

void TestTrxDecoding::ft897Replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(TrxReading, expected);
    QCOMPARE(TrxDecoding::decodeReply(TrxFt897, reply), expected);
}

void TestTrxDecoding::ft897ModeTable()
{
    const QMap<int, int> known{{0x00, 1}, {0x01, 1}, {0x02, 0}, {0x03, 0}, {0x04, 4},
                               {0x06, 3}, {0x08, 3}, {0x0A, 2}, {0x0C, 2}};
    for (int code = 0; code < 256; ++code) {
        const int plain = code & 0x7F;
        const int expected = known.value(plain, 0);
        QVERIFY2(TrxDecoding::ft897ModePosition(static_cast<unsigned char>(code)) == expected,
                 qPrintable(QStringLiteral("code %1").arg(code, 2, 16, QLatin1Char('0'))));
    }
}

void TestTrxDecoding::ft1000mpReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<TrxReading>("expected");
    // 22419200 units of 0.625 Hz, mode byte with low bits 5
    QTest::newRow("RTTY on 20 m") << QByteArray::fromHex("0001561700000005" "0000000000000000")
                                  << TrxReading{"14.012.0", "20", 2, "599"};
    // 160000000 units: 100 MHz keeps all 9 characters
    QTest::newRow("100 MHz") << QByteArray::fromHex("0009896800000004" "0000000000000000")
                             << TrxReading{"100.000.0", "", 3, "59"};
    // 11360000 units = 7.1 MHz; the upper bits of byte 7 are flags, not the mode
    QTest::newRow("flags beside the mode") << QByteArray::fromHex("FF00AD5700FFFFF9" "FFFFFFFFFFFFFFFF")
                                           << TrxReading{"7.100.0", "40", 1, "59"};
    // 5800 units = 3625 Hz: too few digits for the second point, which goes in front
    QTest::newRow("below 10 kHz") << QByteArray::fromHex("00000016A8000002" "00000000000000AA")
                                  << TrxReading{".3.6", "", 0, "599"};
}

void TestTrxDecoding::ft1000mpReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(TrxReading, expected);
    QCOMPARE(TrxDecoding::decodeReply(TrxFt1000mp, reply), expected);
}

void TestTrxDecoding::ft1000mpModeTableUsesOnlyTheLowBits()
{
    const int positions[8] = {1, 1, 0, 4, 3, 2, 2, 0};
    for (int code = 0; code < 256; ++code)
        QCOMPARE(TrxDecoding::ft1000mpModePosition(static_cast<unsigned char>(code)), positions[code & 7]);
}

void TestTrxDecoding::unknownTypeGivesAnEmptyReading()
{
    QCOMPARE(TrxDecoding::decodeReply(3, QByteArray::fromHex("014234560C")), (TrxReading{"", "", 0, "599"}));
    QCOMPARE(TrxDecoding::decodeReply(TrxFt1000mp, QByteArray::fromHex("014234560C")), (TrxReading{"", "", 0, "599"}));
}

void TestTrxDecoding::simulatorEncodesWhatTheDecodingReads_data()
{
    QTest::addColumn<qint64>("hz");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<TrxReading>("ft897");
    QTest::addColumn<TrxReading>("ft1000mp");
    QTest::newRow("USB 14.2345") << qint64(14234567) << "USB" << TrxReading{"14.234.5", "20", 1, "59"}
                                 << TrxReading{"14.234.5", "20", 1, "59"};
    QTest::newRow("PKT 50.1") << qint64(50100000) << "PKT" << TrxReading{"50.100.0", "6", 2, "599"}
                              << TrxReading{"50.100.0", "6", 2, "599"};
    QTest::newRow("FMN 145.5") << qint64(145500000) << "fmn" << TrxReading{"145.500", "2", 3, "59"}
                               << TrxReading{"145.500.0", "2", 3, "59"};
}

void TestTrxDecoding::simulatorEncodesWhatTheDecodingReads()
{
    QFETCH(qint64, hz);
    QFETCH(QString, mode);
    QFETCH(TrxReading, ft897);
    QFETCH(TrxReading, ft1000mp);
    const std::optional<TrxMode> codes = TrxSimulator::modeByName(mode);
    QVERIFY(codes);
    const TrxSimulator simulator(hz, *codes);
    const QByteArray ft897Reply = simulator.answer(TrxDecoding::commandFrame(TrxFt897));
    const QByteArray ft1000mpReply = simulator.answer(TrxDecoding::commandFrame(TrxFt1000mp));
    QCOMPARE(ft897Reply.size(), 5);
    QCOMPARE(ft1000mpReply.size(), 16);
    QCOMPARE(TrxDecoding::decodeReply(TrxFt897, ft897Reply), ft897);
    QCOMPARE(TrxDecoding::decodeReply(TrxFt1000mp, ft1000mpReply), ft1000mp);
}

// The commands the logbook and Hamlib's FT-897 and FT-1000MP drivers send.
void TestTrxDecoding::simulatorAnswersTheReadCommands_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("known");
    const QByteArray cw = QByteArray::fromHex("0001561700000002" "8000000000000000");
    const QByteArray cwr = QByteArray::fromHex("0001561700000002" "0000000000000000");
    QTest::newRow("FT-897 read") << "LSB" << QByteArray::fromHex("0000000003") << QByteArray::fromHex("0140120000") << true;
    QTest::newRow("digital sub-mode USER-U") << "DIG" << QByteArray::fromHex("00780000BB") << QByteArray::fromHex("A000") << true;
    QTest::newRow("digital sub-mode RTTY-L") << "RTTY" << QByteArray::fromHex("00780000BB") << QByteArray::fromHex("0000") << true;
    QTest::newRow("other memory") << "DIG" << QByteArray::fromHex("00550000BB") << QByteArray::fromHex("0000") << true;
    QTest::newRow("transmit status") << "USB" << QByteArray::fromHex("00000000F7") << QByteArray::fromHex("80") << true;
    QTest::newRow("FT-1000mp CW") << "CW" << QByteArray::fromHex("0000000210") << cw << true;
    QTest::newRow("FT-1000mp CW reverse") << "CWR" << QByteArray::fromHex("0000000210") << cwr << true;
    QTest::newRow("FT-1000mp both VFOs") << "CW" << QByteArray::fromHex("0000000310") << cw + cw << true;
    QTest::newRow("FT-1000mp flags") << "CW" << QByteArray::fromHex("00000000FA") << QByteArray::fromHex("0000000000") << true;
    QTest::newRow("pacing") << "CW" << QByteArray::fromHex("000000000E") << QByteArray() << true;
    QTest::newRow("unknown opcode") << "LSB" << QByteArray::fromHex("0000000001") << QByteArray() << false;
    QTest::newRow("parameters of no command") << "LSB" << QByteArray::fromHex("0000000410") << QByteArray() << false;
    QTest::newRow("out of step") << "LSB" << QByteArray::fromHex("0000000300") << QByteArray() << false;
}

void TestTrxDecoding::simulatorAnswersTheReadCommands()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, reply);
    QFETCH(bool, known);
    const TrxSimulator simulator(14012000, *TrxSimulator::modeByName(mode));
    QCOMPARE(simulator.answer(frame).toHex(), reply.toHex());
    QCOMPARE(TrxSimulator::knows(frame), known);
}

void TestTrxDecoding::simulatorShortOrSilent()
{
    QCOMPARE(TrxSimulator::ft897Reply(14234560, 0x0C), QByteArray::fromHex("014234560C"));
    QCOMPARE(TrxSimulator::ft1000mpReply(14012000, 5), QByteArray::fromHex("0001561700000005" "0000000000000000"));
    const TrxSimulator shortReply(7012300, *TrxSimulator::modeByName("LSB"), TrxSimulator::Reply::Short);
    QCOMPARE(shortReply.answer(QByteArray::fromHex("0000000003")), QByteArray::fromHex("00701230"));
    QCOMPARE(shortReply.answer(QByteArray::fromHex("0000000210")).size(), 15);
    QCOMPARE(shortReply.answer(QByteArray::fromHex("00000000F7")), QByteArray());
    const TrxSimulator silent(7012300, *TrxSimulator::modeByName("LSB"), TrxSimulator::Reply::None);
    QCOMPARE(silent.answer(QByteArray::fromHex("0000000003")), QByteArray());
    QCOMPARE(silent.answer(QByteArray::fromHex("00780000BB")), QByteArray());
    QVERIFY(!TrxSimulator::modeByName("SSTV"));
}

// A byte ahead of a command (line noise, a text written to the port) is skipped, and the
// command behind it is answered.
void TestTrxDecoding::simulatorSkipsAStrayByteAndLogs()
{
    QTemporaryDir dir;
    PtyTransceiver radio(TrxSimulator(7012300, *TrxSimulator::modeByName("USB")));
    QVERIFY(radio.setLogFile(dir.filePath("trx.log")));
    QVERIFY(radio.start());
    PtyClient client(radio.devicePath());
    QVERIFY(client.write(QByteArray::fromHex("55") + QByteArray::fromHex("0000000003")));
    QCOMPARE(client.read(5).toHex(), QByteArray("0070123001"));
    QVERIFY(client.write(QByteArray::fromHex("0000000000") + QByteArray::fromHex("0000000210")));
    QCOMPARE(client.read(16).toHex(), QByteArray("0000ab32e0000001" "0000000000000000"));
    radio.stop();

    QFile log(dir.filePath("trx.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("skipped: 55\n"
                                       "received: 00 00 00 00 03\n"
                                       "sent: 00 70 12 30 01\n"
                                       "skipped: 00\nskipped: 00\nskipped: 00\nskipped: 00\nskipped: 00\n"
                                       "received: 00 00 00 02 10\n"
                                       "sent: 00 00 ab 32 e0 00 00 01 00 00 00 00 00 00 00 00\n"));
}

QTEST_GUILESS_MAIN(TestTrxDecoding)
#include "tst_rig_decoding.moc"
