#include "RigTestDoubles.h"
#include "rig/TrxDecoding.h"
#include "trxsim/TrxSimulator.h"

#include <QtTest>

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
    void simulatorAnswersOnlyTheReadCommands();
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

void TestTrxDecoding::simulatorAnswersOnlyTheReadCommands()
{
    QCOMPARE(TrxSimulator::ft897Reply(14234560, 0x0C), QByteArray::fromHex("014234560C"));
    QCOMPARE(TrxSimulator::ft1000mpReply(14012000, 5), QByteArray::fromHex("0001561700000005" "0000000000000000"));
    const TrxSimulator full(7012300, *TrxSimulator::modeByName("LSB"));
    QCOMPARE(full.answer(QByteArray::fromHex("0000000001")), QByteArray());
    QCOMPARE(full.answer(QByteArray::fromHex("0000000003")), QByteArray::fromHex("0070123000"));
    const TrxSimulator shortReply(7012300, *TrxSimulator::modeByName("LSB"), TrxSimulator::Reply::Short);
    QCOMPARE(shortReply.answer(QByteArray::fromHex("0000000003")), QByteArray::fromHex("00701230"));
    QCOMPARE(shortReply.answer(QByteArray::fromHex("0000000210")).size(), 15);
    const TrxSimulator silent(7012300, *TrxSimulator::modeByName("LSB"), TrxSimulator::Reply::None);
    QCOMPARE(silent.answer(QByteArray::fromHex("0000000003")), QByteArray());
    QVERIFY(!TrxSimulator::modeByName("SSTV"));
}

QTEST_GUILESS_MAIN(TestTrxDecoding)
#include "tst_rig_decoding.moc"
