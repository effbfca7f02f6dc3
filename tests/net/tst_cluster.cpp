#include "common/FakeCluster.h"
#include "net/ClusterClient.h"
#include "net/ClusterLineBuffer.h"
#include "net/DxSpotParser.h"
#include "net/SpotModeGuess.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using Kind = DxSpotParser::LineKind;

namespace {

const QByteArray kCommandsHeard = "set/dx/filter\r\nsh/dx 5\r\n";

// A client logged in to `cluster` through its login prompt and command prompt.
bool logIn(ClusterClient &client, FakeCluster &cluster)
{
    if (!QTest::qWaitFor([&] { return client.state() == ClusterClient::State::LoggingIn; }))
        return false;
    cluster.say("login: ");
    if (!QTest::qWaitFor([&] { return cluster.heard() == "K1ABC\r\n"; }))
        return false;
    cluster.say("K1ABC de FAKE >\r\n");
    return QTest::qWaitFor([&] { return client.state() == ClusterClient::State::Connected; });
}

} // namespace

class TestCluster : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("spotter");
        QTest::addColumn<double>("frequency");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("grid");

        const auto spot = [](const char *name, const char *line, const char *spotter, double frequency,
                             const char *call, const char *comment, const char *time, const char *grid) {
            QTest::newRow(name) << QString::fromLatin1(line) << Kind::Spot << QString::fromLatin1(spotter) << frequency
                                << QString::fromLatin1(call) << QString::fromLatin1(comment) << QString::fromLatin1(time)
                                << QString::fromLatin1(grid);
        };
        spot("dxspider columns", "DX de OH2BBT:    14025.0  JA1ABC       CW 599                         1234Z KP20",
             "OH2BBT", 14025.0, "JA1ABC", "CW 599", "12:34", "KP20");
        spot("no grid", "DX de DL1ABC:     7074.0  VK2XYZ       FT8 -12 dB 1234 Hz             0512Z", "DL1ABC", 7074.0,
             "VK2XYZ", "FT8 -12 dB 1234 Hz", "05:12", "");
        spot("long spotter against the frequency", "DX de VE7CC-1-#:14025.0  JA1ABC       CW 18 dB 25 WPM CQ             2359Z CN89",
             "VE7CC-1-#", 14025.0, "JA1ABC", "CW 18 dB 25 WPM CQ", "23:59", "CN89");
        spot("skimmer", "DX de W3LPL-#:   14025.0  JA1ABC       CQ 23 dB 24 WPM                1234Z", "W3LPL-#", 14025.0,
             "JA1ABC", "CQ 23 dB 24 WPM", "12:34", "");
        spot("10 GHz", "DX de G4ABC:   10368100.0  F6XYZ        JN18 tnx                       1415Z IO91", "G4ABC",
             10368100.0, "F6XYZ", "JN18 tnx", "14:15", "IO91");
        spot("241 GHz, nine digits", "DX de G4ABC: 241000000.0  G8XYZ        rain scatter                   0901Z io91wm",
             "G4ABC", 241000000.0, "G8XYZ", "rain scatter", "09:01", "io91wm");
        spot("over-long comment into the time",
             "DX de K1TTT:     14195.0  3Y0J         Bouvet up 5-10, big signal into New England0712Z FN32", "K1TTT",
             14195.0, "3Y0J", "Bouvet up 5-10, big signal into New England", "07:12", "FN32");
        spot("over-long comment ending in digits", "DX de K1TTT:     14195.0  3Y0J         listening up QSX 14205.01234Z",
             "K1TTT", 14195.0, "3Y0J", "listening up QSX 14205.0", "12:34", "");
        spot("a time in the comment", "DX de K1ABC:     14025.0  DL1XYZ       QRT at 2300Z                   2245Z", "K1ABC",
             14025.0, "DL1XYZ", "QRT at 2300Z", "22:45", "");
        spot("no locator after the time", "DX de K1ABC: 50110.0 EA8XYZ ES 0101Z <ES>", "K1ABC", 50110.0, "EA8XYZ", "ES",
             "01:01", "");

        const auto text = [](const char *name, const QString &line, Kind kind) {
            QTest::newRow(name) << line << kind << QString() << 0.0 << QString() << QString() << QString() << QString();
        };
        text("wwv", QStringLiteral("WWV de W0MU <18>:   SFI=68, A=5, K=1, No Storms -> No Storms"), Kind::Wwv);
        text("wcy", QStringLiteral("WCY de DK0WCY-1 <12> : K=2 expK=0 A=6 R=0 SFI=69 SA=qui GMF=qui Au=no"), Kind::Wcy);
        text("announcement", QStringLiteral("To ALL de K1ABC: contest this weekend"), Kind::Announcement);
        text("talk", QStringLiteral("To K1ABC de DL1XYZ: hi"), Kind::Text);
        text("prompt", QStringLiteral("K1ABC de GB7XYZ 14-Jan-2024 1234Z dxspider >"), Kind::Text);
        text("empty", QString(), Kind::Text);
        text("no call", QStringLiteral("DX de K1ABC: 14025.0"), Kind::Text);
        text("no time", QStringLiteral("DX de K1ABC: 14025.0 DL1XYZ cq cq"), Kind::Text);
        text("hour 25", QStringLiteral("DX de K1ABC: 14025.0 DL1XYZ test 2510Z"), Kind::Text);
        text("zero frequency", QStringLiteral("DX de K1ABC: 0.0 DL1XYZ test 1234Z"), Kind::Text);
        text("ten digits", QStringLiteral("DX de K1ABC: 1234567890.0 DL1XYZ test 1234Z"), Kind::Text);
        text("no digit in the call", QStringLiteral("DX de K1ABC: 14025.0 ????? test 1234Z"), Kind::Text);
        text("binary", QString::fromLatin1("\x01\x02" "DX de \xff\xfe: 1.0 \x7f 0000Z", 28), Kind::Text);
    }

    void lines()
    {
        QFETCH(QString, line);
        QFETCH(Kind, kind);
        QCOMPARE(DxSpotParser::kindOf(line), kind);
        const std::optional<DxSpot> spot = DxSpotParser::parse(line);
        QCOMPARE(spot.has_value(), kind == Kind::Spot);
        if (!spot)
            return;
        QTEST(spot->spotter, "spotter");
        QTEST(spot->frequencyKHz, "frequency");
        QTEST(spot->dxCall, "call");
        QTEST(spot->comment, "comment");
        QTEST(spot->time.toString(QStringLiteral("HH:mm")), "time");
        QTEST(spot->grid, "grid");
        QCOMPARE(spot->line, line);
    }

    void modeGuess_data()
    {
        QTest::addColumn<double>("frequency");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("band");
        QTest::newRow("20 m CW segment") << 14025.0 << "" << "CW" << "20";
        QTest::newRow("FT8 above the dial") << 14075.6 << "" << "FT8" << "20";
        QTest::newRow("FT4 above the dial") << 14081.2 << "" << "FT4" << "20";
        QTest::newRow("20 m data segment") << 14090.0 << "" << "RTTY" << "20";
        QTest::newRow("20 m phone") << 14195.0 << "" << "SSB" << "20";
        QTest::newRow("comment before the plan") << 14195.0 << "cw only" << "CW" << "20";
        QTest::newRow("skimmer in the phone segment") << 14200.0 << "CQ 23 dB 24 WPM" << "CW" << "20";
        QTest::newRow("FT8 in the CW segment") << 7010.0 << "FT8 -12dB" << "FT8" << "40";
        QTest::newRow("lsb") << 3790.0 << "lsb 59" << "SSB" << "80";
        QTest::newRow("first mode word counts") << 21074.0 << "#FT4/FT8" << "FT4" << "15";
        QTest::newRow("psk31") << 14070.5 << "psk31 cq" << "PSK31" << "20";
        QTest::newRow("js8call") << 7078.0 << "JS8Call heartbeat" << "JS8" << "40";
        QTest::newRow("no word inside a word") << 14195.0 << "CWOP SSBC" << "SSB" << "20";
        QTest::newRow("30 m has no phone") << 10145.0 << "" << "RTTY" << "30";
        QTest::newRow("30 m FT8") << 10136.5 << "" << "FT8" << "30";
        QTest::newRow("10 m FM") << 29600.0 << "" << "FM" << "10";
        QTest::newRow("2 m FM") << 145500.0 << "" << "FM" << "2";
        QTest::newRow("70 cm CW") << 432050.0 << "" << "CW" << "70";
        QTest::newRow("10 GHz outside the plan") << 10368100.0 << "" << "" << "";
        QTest::newRow("10 GHz CW by comment") << 10368100.0 << "CW 559" << "CW" << "";
        QTest::newRow("beyond int") << 1e12 << "" << "" << "";
    }

    void modeGuess()
    {
        QFETCH(double, frequency);
        QFETCH(QString, comment);
        QTEST(SpotModeGuess::mode(frequency, comment), "mode");
        QTEST(SpotModeGuess::band(frequency), "band");
    }

    void lineBuffer_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("pending");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << 100 << QByteArrayList{"a", "b"} << QByteArray();
        QTest::newRow("bells after spots") << QByteArray("DX 1\a\a\r\nDX 2\a\r\n\r\n\aDX 3\a") << 100
                                           << QByteArrayList{"DX 1", "DX 2", "DX 3"} << QByteArray();
        QTest::newRow("prompt waits") << QByteArray("Hello\r\nlogin: ") << 100 << QByteArrayList{"Hello"}
                                      << QByteArray("login: ");
        QTest::newRow("telnet options dropped")
            << QByteArray("\xff\xfb\x01\xff\xfd\x18lo\xff\xfa\x18\x01\xff\xff\x02\xff\xf0gi\xff\xf1n: ") << 100
            << QByteArrayList{} << QByteArray("login: ");
        QTest::newRow("doubled 255 is the byte") << QByteArray("a\xff\xff" "b\n") << 100 << QByteArrayList{"a\xff" "b"}
                                                 << QByteArray();
        QTest::newRow("endless line in pieces") << QByteArray("xxxxxxxxxx") << 4 << QByteArrayList{"xxxx", "xxxx"}
                                                << QByteArray("xx");
    }

    // Every way of cutting the stream in two, and byte by byte, gives the same lines.
    void lineBuffer()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, maxLength);
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArray, pending);
        for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
            ClusterLineBuffer buffer(maxLength);
            QByteArrayList got = buffer.feed(stream.left(cut));
            got += buffer.feed(stream.mid(cut));
            QVERIFY2(got == lines, qPrintable(QStringLiteral("cut at %1").arg(cut)));
            QCOMPARE(buffer.pending(), pending);
        }
        ClusterLineBuffer buffer(maxLength);
        QByteArrayList got;
        for (const char byte : stream)
            got += buffer.feed(QByteArray(1, byte));
        QCOMPARE(got, lines);
    }

    void login_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("quietMs");
        QTest::addColumn<QByteArrayList>("says");
        QTest::addColumn<QByteArrayList>("heard");
        const int never = 60000;
        QTest::newRow("login prompt") << QString() << never
                                      << QByteArrayList{"Welcome to FAKE\r\nlogin: ", "Hello K1ABC\r\nK1ABC de FAKE >"}
                                      << QByteArrayList{"K1ABC\r\n", "K1ABC\r\n" + kCommandsHeard};
        QTest::newRow("call prompt") << QString() << never
                                     << QByteArrayList{"Please enter your call: ", "K1ABC de FAKE >\r\n"}
                                     << QByteArrayList{"K1ABC\r\n", "K1ABC\r\n" + kCommandsHeard};
        QTest::newRow("password prompt") << QStringLiteral("s3cret") << never
                                         << QByteArrayList{"login: ", "Password: ", "Hello\r\nK1ABC de FAKE >"}
                                         << QByteArrayList{"K1ABC\r\n", "K1ABC\r\ns3cret\r\n",
                                                           "K1ABC\r\ns3cret\r\n" + kCommandsHeard};
        QTest::newRow("a spot ends the login")
            << QString() << never
            << QByteArrayList{"login: ", "DX de OH2BBT:    14025.0  JA1ABC       CW                             1234Z\r\n"}
            << QByteArrayList{"K1ABC\r\n", "K1ABC\r\n" + kCommandsHeard};
        QTest::newRow("silent node") << QString() << 100 << QByteArrayList{"", ""}
                                     << QByteArrayList{"K1ABC\r\n", "K1ABC\r\n" + kCommandsHeard};
    }

    void login()
    {
        QFETCH(QString, password);
        QFETCH(int, quietMs);
        QFETCH(QByteArrayList, says);
        QFETCH(QByteArrayList, heard);
        FakeCluster cluster;
        ClusterClient client;
        client.setLoginQuietTime(quietMs);
        client.connectToCluster(cluster.settings(), password);
        QTRY_COMPARE(client.state(), ClusterClient::State::LoggingIn);
        for (qsizetype i = 0; i < says.size(); ++i) {
            cluster.say(says[i]);
            QTRY_COMPARE(cluster.heard(), heard[i]);
        }
        QCOMPARE(client.state(), ClusterClient::State::Connected);
        QVERIFY(client.sendCommand(QStringLiteral("sh/wwv")));
        QTRY_COMPARE(cluster.heard(), heard.last() + "sh/wwv\r\n");
    }

    void spotsAndTextAcrossSegments()
    {
        FakeCluster cluster;
        ClusterClient client;
        client.setLoginQuietTime(60000);
        client.connectToCluster(cluster.settings());
        QVERIFY(logIn(client, cluster));
        QSignalSpy spots(&client, &ClusterClient::spotReceived);
        QSignalSpy texts(&client, &ClusterClient::textReceived);

        const QByteArray stream =
            "DX de OH2BBT:    14025.0  JA1ABC       CW 599                         1234Z KP20\a\a\r\n"
            "DX de W3LPL-#:   14074.0  VK2XYZ       FT8 -12 dB 1234 Hz             1235Z\a\r\n"
            "\aDX de DL1ABC:     7155.0  ZS6XYZ       ssb 59                         1236Z JO31\r\n\a\a"
            "DX de K1TTT:     14195.0  3Y0J         Bouvet up 5-10, big signal into New England0712Z FN32\r\n"
            "\x01\x02###\r\n"
            "DX de K1ABC: 14025.0\r\n"
            "WWV de W0MU <18>:   SFI=68, A=5, K=1\r\n"
            "To ALL de K1ABC: contest this weekend\r\n";
        // Cut where lines and bell runs do not end, so that every line spans segments.
        for (qsizetype at = 0; at < stream.size(); at += 37)
            cluster.say(stream.mid(at, 37));

        QTRY_COMPARE(texts.size(), 4);
        QCOMPARE(spots.size(), 4);
        QStringList calls;
        for (const QList<QVariant> &spot : std::as_const(spots))
            calls << spot.at(0).value<DxSpot>().dxCall;
        QCOMPARE(calls, (QStringList{"JA1ABC", "VK2XYZ", "ZS6XYZ", "3Y0J"}));
        QCOMPARE(spots.at(3).at(0).value<DxSpot>().comment, QStringLiteral("Bouvet up 5-10, big signal into New England"));
        QCOMPARE(texts.at(0).at(0).toString(), QStringLiteral("\x01\x02###"));
        QCOMPARE(texts.at(1).at(1).value<Kind>(), Kind::Text);
        QCOMPARE(texts.at(2).at(1).value<Kind>(), Kind::Wwv);
        QCOMPARE(texts.at(3).at(1).value<Kind>(), Kind::Announcement);
    }

    void droppedConnectionReconnectsWithGrowingPause()
    {
        FakeCluster cluster;
        ClusterClient client;
        client.setLoginQuietTime(60000);
        client.setFirstReconnectPause(50);
        QSignalSpy spots(&client, &ClusterClient::spotReceived);
        client.connectToCluster(cluster.settings());
        QVERIFY(logIn(client, cluster));

        cluster.hangUp();
        QTRY_COMPARE(client.state(), ClusterClient::State::WaitingToReconnect);
        QCOMPARE(client.lastError(), QStringLiteral("The remote host closed the connection"));
        QCOMPARE(client.reconnectPause(), 100);
        QTRY_COMPARE(cluster.connections(), 2);
        // Dropped again before the login: the pause keeps growing.
        QTRY_COMPARE(client.state(), ClusterClient::State::LoggingIn);
        cluster.hangUp();
        QTRY_COMPARE(client.state(), ClusterClient::State::WaitingToReconnect);
        QCOMPARE(client.reconnectPause(), 200);
        QTRY_COMPARE(cluster.connections(), 3);

        // A login again: the pause starts over, and spots come on the new connection.
        QVERIFY(logIn(client, cluster));
        QCOMPARE(client.reconnectPause(), 50);
        cluster.say("DX de OH2BBT:    14025.0  JA1ABC       CW                             1234Z\r\n");
        QTRY_COMPARE(spots.size(), 1);

        client.disconnectFromCluster();
        QCOMPARE(client.state(), ClusterClient::State::Disconnected);
        QVERIFY(!client.sendCommand(QStringLiteral("sh/dx")));
        QTest::qWait(300); // six first pauses: no new connection may come
        QCOMPARE(cluster.connections(), 3);
    }

    void refusedConnectionWaitsTheLongestPauseAtMost()
    {
        ClusterSettings settings = FakeCluster().settings(); // a port nobody listens on any more
        ClusterClient client;
        client.setFirstReconnectPause(100000);
        client.connectToCluster(settings);
        QTRY_COMPARE(client.state(), ClusterClient::State::WaitingToReconnect);
        QCOMPARE(client.lastError(), QStringLiteral("Connection refused"));
        QCOMPARE(client.reconnectPause(), 120000);
    }
};

QTEST_GUILESS_MAIN(TestCluster)
#include "tst_cluster.moc"
