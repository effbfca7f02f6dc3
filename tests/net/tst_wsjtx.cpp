#include "common/TestDir.h"
#include "net/WsjtxListener.h"
#include "net/WsjtxMessage.h"
#include "net/WsjtxRecord.h"
#include "net/WsjtxSettings.h"
#include "platform/AppSettings.h"
#include "wsjtxsim/WsjtxEncoder.h"

#include <QDataStream>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QTimeZone>
#include <QUdpSocket>
#include <QtTest>

#include <ctime>
#include <memory>

Q_DECLARE_METATYPE(WsjtxMessage)
Q_DECLARE_METATYPE(WsjtxMessage::QsoLogged)

namespace {

using Kind = WsjtxMessage::Kind;

// Around midnight UTC: a time read through Tokyo's zone lands on another day.
const QDateTime kOn(QDate(2024, 3, 9), QTime(23, 58, 30), Qt::UTC);
const QDateTime kOff(QDate(2024, 3, 10), QTime(0, 0, 5), Qt::UTC);

WsjtxMessage::QsoLogged fullQso()
{
    return {kOff, "K1ABC", "FN42", 14081500, "FT4", "-09", "+02", "50", "tnx <73> QSO", QString::fromUtf8("Jürgen"),
            kOn, "DL2OP", "DL1XYZ/P", "JO62QM", "599 001", "599 DL", "ES"};
}

// A QSO of a few fields, the rest empty.
WsjtxMessage::QsoLogged qsoOf(const QDateTime &timeOff, const QString &call, quint64 hz, const QString &mode,
                              const QDateTime &timeOn = QDateTime())
{
    WsjtxMessage::QsoLogged qso;
    qso.timeOff = timeOff;
    qso.dxCall = call;
    qso.txFrequencyHz = hz;
    qso.mode = mode;
    qso.timeOn = timeOn;
    return qso;
}

// The record WsjtxRecord builds of fullQso(), and WSJT-X's own of the same QSO.
const QByteArray kBuiltRecord = "<CALL:5>K1ABC <GRIDSQUARE:4>FN42 <MODE:4>MFSK <SUBMODE:3>FT4 <FREQ:7>14.0815 "
                                "<BAND:3>20m <QSO_DATE:8>20240309 <TIME_ON:6>235830 <QSO_DATE_OFF:8>20240310 "
                                "<TIME_OFF:6>000005 <RST_SENT:3>-09 <RST_RCVD:3>+02 <TX_PWR:2>50 <COMMENT:12>tnx <73> QSO "
                                "<NAME:7>Jürgen <OPERATOR:5>DL2OP <STATION_CALLSIGN:8>DL1XYZ/P <MY_GRIDSQUARE:6>JO62QM "
                                "<STX_STRING:7>599 001 <SRX_STRING:6>599 DL <PROP_MODE:2>ES <EOR>";
const QByteArray kAdifRecord = "<call:5>K1ABC <gridsquare:4>FN42 <mode:4>MFSK <submode:3>FT4 <rst_sent:3>-09 "
                               "<rst_rcvd:3>+02 <qso_date:8>20240309 <time_on:6>235830 <qso_date_off:8>20240310 "
                               "<time_off:6>000005 <band:3>20m <freq:9>14.081500 <station_callsign:8>DL1XYZ/P "
                               "<my_gridsquare:6>JO62QM <comment:12>tnx <73> QSO <name:7>Jürgen <EOR>";
const QByteArray kAdifHeader = "\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n";

WsjtxMessage messageOf(Kind kind, quint32 schema = 3, const QString &id = QStringLiteral("WSJT-X"))
{
    WsjtxMessage message = WsjtxEncoder::message(kind, id, schema);
    if (kind == Kind::Heartbeat)
        message.heartbeat = {3, "2.7.0", "a1b2c3"};
    if (kind == Kind::Status)
        message.status = {id, 14074000, "FT8", "K1ABC", "-10", "FT8", true, false, true, 1200, 1500, "DL1XYZ", "JO62", "FN42"};
    if (kind == Kind::QsoLogged)
        message.qso = fullQso();
    if (kind == Kind::LoggedAdif)
        message.adif = kAdifHeader + kAdifRecord;
    return message;
}

QByteArray datagramOf(Kind kind, const QString &id = QStringLiteral("WSJT-X"),
                      WsjtxEncoder::Times times = WsjtxEncoder::Times::Utc)
{
    return WsjtxEncoder(times).encode(messageOf(kind, 3, id));
}

// A QSO Logged datagram as Qt's own QDataStream writes one, its times as given.
QByteArray qtWrittenQso(quint32 schema, const QDateTime &timeOff)
{
    QByteArray datagram;
    QDataStream out(&datagram, QIODevice::WriteOnly);
    out.setVersion(schema == 2 ? QDataStream::Qt_5_2 : QDataStream::Qt_5_4);
    out << WsjtxMessage::kMagic << schema << WsjtxMessage::kQsoLogged << QByteArray("JTDX") << timeOff
        << QByteArray("K1ABC") << QByteArray("FN42") << quint64(14081500);
    for (const char *text : {"FT4", "-09", "+02", "50", "tnx", "Joe"})
        out << QByteArray(text);
    out << timeOff;
    return datagram;
}

QByteArray noise(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char &byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

// A listener on free ports of this machine, its Logged ADIF wait short.
std::unique_ptr<WsjtxListener> startedListener(bool secondary)
{
    auto listener = std::make_unique<WsjtxListener>();
    listener->setAdifWait(100);
    WsjtxSettings settings;
    settings.port = 0;
    settings.secondaryEnabled = secondary;
    settings.secondaryPort = 0;
    return listener->start(settings) ? std::move(listener) : nullptr;
}

} // namespace

class TestWsjtx : public QObject
{
    Q_OBJECT

private slots:
    // Far from UTC, so that a time read as local shows (CTest sets TZ too).
    void initTestCase()
    {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        QCOMPARE(QDateTime(kOn.date(), kOn.time(), Qt::LocalTime).offsetFromUtc(), 9 * 3600);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<WsjtxMessage>("expected");
        QTest::addColumn<QString>("why");
        const WsjtxEncoder encoder;
        for (const quint32 schema : {2u, 3u}) {
            for (const Kind kind : {Kind::Heartbeat, Kind::Status, Kind::QsoLogged, Kind::Close, Kind::LoggedAdif}) {
                const WsjtxMessage message = messageOf(kind, schema);
                QTest::addRow("schema %u type %u", schema, message.type) << encoder.encode(message) << message << QString();
            }
        }
        const WsjtxMessage unknown = messageOf(Kind::Unknown);
        QTest::newRow("unknown type 99") << encoder.encode(unknown) + "payload" << unknown << QString();
        const WsjtxMessage nullId = messageOf(Kind::Close, 3, QString());
        QTest::newRow("null Id") << encoder.encode(nullId) << nullId << QString();
        WsjtxMessage oldSender = messageOf(Kind::QsoLogged);
        oldSender.qso.timeOn = QDateTime();
        for (QString *later : {&oldSender.qso.operatorCall, &oldSender.qso.myCall, &oldSender.qso.myGrid,
                               &oldSender.qso.exchangeSent, &oldSender.qso.exchangeReceived, &oldSender.qso.propagationMode})
            *later = QString();
        // Without time on (13 bytes) and the six texts after it (null: 4 bytes each).
        QTest::newRow("old sender stops after Name") << encoder.encode(oldSender).chopped(37) << oldSender << QString();
        const QByteArray status = encoder.encode(messageOf(Kind::Status));
        QTest::newRow("later Status fields") << status + QByteArray("\x01\0\0\0\x01" "A", 6) << messageOf(Kind::Status) << QString();

        const QByteArray qso = encoder.encode(messageOf(Kind::QsoLogged));
        const auto refused = [](const char *name, const QByteArray &datagram, const QString &why) {
            QTest::newRow(name) << datagram << WsjtxMessage() << why;
        };
        refused("empty", QByteArray(), "shorter than a WSJT-X header (0 bytes)");
        refused("cut in magic", qso.left(3), "shorter than a WSJT-X header (3 bytes)");
        refused("cut in Id", qso.left(20), "shorter than a WSJT-X header (20 bytes)");
        refused("cut in time off", qso.left(30), "a QSO Logged message of 30 bytes: cut short");
        refused("cut in DX call", qso.left(41), "a QSO Logged message of 41 bytes: cut short");
        refused("cut before Name", qso.left(103), "a QSO Logged message of 103 bytes: cut short");
        refused("cut in time on", qso.left(120), "a QSO Logged message of 120 bytes: cut short");
        refused("one byte short", qso.chopped(1), "a QSO Logged message of 184 bytes: cut short");
        refused("Status without DX call", status.left(37), "a Status message of 37 bytes: cut short");
        refused("Logged ADIF without text", datagramOf(Kind::LoggedAdif).left(22), "a Logged ADIF message of 22 bytes: cut short");
        QByteArray badSpec = qso;
        badSpec[22 + 12] = 9; // header 22 bytes, then Julian day and milliseconds
        refused("time spec 9", badSpec, "a QSO Logged message of 185 bytes: a time of unknown time spec 9");
        refused("wrong magic", QByteArray(qso).replace(0, 1, "\xae"), "not a WSJT-X datagram (magic 0xaebccbda)");
        refused("schema 1", QByteArray(qso).replace(7, 1, "\x01"), "WSJT-X schema 1 is not known");
        refused("schema 4", QByteArray(qso).replace(7, 1, "\x04"), "WSJT-X schema 4 is not known");
        const QByteArray bytes = noise(65536);
        refused("64 KB of noise", bytes, QStringLiteral("not a WSJT-X datagram (magic 0x%1)").arg(QString::fromLatin1(bytes.left(4).toHex())));
    }
    void decode()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(WsjtxMessage, expected);
        QFETCH(QString, why);
        QString reason;
        const std::optional<WsjtxMessage> message = WsjtxMessage::decode(datagram, &reason);
        QCOMPARE(reason, why);
        QCOMPARE(message.has_value(), why.isEmpty());
        if (message)
            QVERIFY(*message == expected);
    }

    // Times as Qt's QDataStream writes them in each time spec, all read as UTC.
    void times_data()
    {
        QTest::addColumn<quint32>("schema");
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("UTC") << 3u << kOn << kOn;
        QTest::newRow("UTC schema 2") << 2u << kOn << kOn;
        QTest::newRow("JTDX: UTC marked local") << 3u << QDateTime(kOn.date(), kOn.time(), Qt::LocalTime) << kOn;
        QTest::newRow("offset +1 h") << 3u << QDateTime(kOff.date(), QTime(0, 58, 30), Qt::OffsetFromUTC, 3600) << kOn;
        QTest::newRow("zone New York") << 3u << QDateTime(kOn.date(), QTime(18, 58, 30), QTimeZone("America/New_York")) << kOn;
        QTest::newRow("zone +05:30") << 3u << QDateTime(kOff.date(), QTime(5, 28, 30), QTimeZone(19800)) << kOn;
        QTest::newRow("null") << 3u << QDateTime() << QDateTime();
    }
    void times()
    {
        QFETCH(quint32, schema);
        QFETCH(QDateTime, written);
        QFETCH(QDateTime, expected);
        const std::optional<WsjtxMessage> message = WsjtxMessage::decode(qtWrittenQso(schema, written));
        QVERIFY(message);
        QCOMPARE(message->qso.timeOff, expected);
        QCOMPARE(message->qso.timeOn, expected);
        QCOMPARE(message->qso.mode, QStringLiteral("FT4"));
        QCOMPARE(message->qso.name, QStringLiteral("Joe"));
        QCOMPARE(message->qso.txFrequencyHz, quint64(14081500));
    }

    void record_data()
    {
        QTest::addColumn<WsjtxMessage::QsoLogged>("qso");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("every field, FT4") << fullQso() << kBuiltRecord;
        WsjtxMessage::QsoLogged blanks = qsoOf(kOff, " K1ABC ", 7074000, "ft8", kOn);
        blanks.dxGrid = "  ";
        blanks.comments = " \r\n";
        blanks.name = "Bob\r\nSmith\t";
        QTest::newRow("FT8, blanks left out, one line") << blanks
            << QByteArray("<CALL:5>K1ABC <MODE:3>FT8 <FREQ:5>7.074 <BAND:3>40m <QSO_DATE:8>20240309 <TIME_ON:6>235830 "
                          "<QSO_DATE_OFF:8>20240310 <TIME_OFF:6>000005 <NAME:10>Bob  Smith <EOR>");
        QTest::newRow("JS8 on 2 m, old sender without time on")
            << qsoOf(kOff, "W1AW", 144174000, "JS8")
            << QByteArray("<CALL:4>W1AW <MODE:4>MFSK <SUBMODE:3>JS8 <FREQ:7>144.174 <BAND:2>2m <QSO_DATE:8>20240310 "
                          "<TIME_ON:6>000005 <QSO_DATE_OFF:8>20240310 <TIME_OFF:6>000005 <EOR>");
        QTest::newRow("Q65 on 70 cm, no times")
            << qsoOf(QDateTime(), "W1AW", 432065123, "Q65")
            << QByteArray("<CALL:4>W1AW <MODE:4>MFSK <SUBMODE:3>Q65 <FREQ:10>432.065123 <BAND:4>70cm <EOR>");
    }
    void record()
    {
        QFETCH(WsjtxMessage::QsoLogged, qso);
        QFETCH(QByteArray, record);
        QCOMPARE(WsjtxRecord::fromQsoLogged(qso), record);
    }

    void records_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("records");
        QTest::newRow("Logged ADIF") << kAdifHeader + kAdifRecord + "\n" << QByteArrayList{kAdifRecord};
        QTest::newRow("whole datagram") << datagramOf(Kind::LoggedAdif) << QByteArrayList{kAdifRecord};
        QTest::newRow("header starting with <")
            << QByteArray("<ADIF_VER:5>3.1.4<eoh><CALL:4>W1AW<EOR>") << QByteArrayList{"<CALL:4>W1AW <EOR>"};
        QTest::newRow("two records, the last without EOR")
            << QByteArray(" <call:4>W1AW <EOR>\r\n<call:5>K1ABC<mode:3>FT8")
            << QByteArrayList{"<call:4>W1AW <EOR>", "<call:5>K1ABC <mode:3>FT8 <EOR>"};
        QTest::newRow("nothing but empty values") << QByteArray("<EOR><CALL:0><eor>text") << QByteArrayList{};
    }
    void records()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, records);
        QCOMPARE(WsjtxRecord::recordsOf(text), records);
    }

    void stationFields_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("none of its own") << QByteArray("<CALL:4>W1AW <EOR>")
                                         << QByteArray("<CALL:4>W1AW <STATION_CALLSIGN:6>DL1XYZ <MY_GRIDSQUARE:6>JO62QM <EOR>");
        QTest::newRow("its own grid stays") << QByteArray("<call:4>W1AW <my_gridsquare:4>JO62<eor>")
                                            << QByteArray("<call:4>W1AW <my_gridsquare:4>JO62 <STATION_CALLSIGN:6>DL1XYZ <eor>");
        QTest::newRow("the station's call in small letters")
            << QByteArray("<station_callsign:6>dl1xyz <EOR>")
            << QByteArray("<station_callsign:6>dl1xyz <MY_GRIDSQUARE:6>JO62QM <EOR>");
        QTest::newRow("another station's call") << QByteArray("<CALL:4>W1AW <STATION_CALLSIGN:8>DL1XYZ/P <EOR>")
                                                << QByteArray("<CALL:4>W1AW <STATION_CALLSIGN:8>DL1XYZ/P <EOR>");
        QTest::newRow("without EOR") << QByteArray("<CALL:4>W1AW")
                                     << QByteArray("<CALL:4>W1AW <STATION_CALLSIGN:6>DL1XYZ <MY_GRIDSQUARE:6>JO62QM <EOR>");
    }
    void stationFields()
    {
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, expected);
        const QList<Sqlite3DB::UM_QSOFIELD> station{{0, "STATION_CALLSIGN", "DL1XYZ"}, {0, "MY_GRIDSQUARE", "JO62QM"}};
        QCOMPARE(WsjtxRecord::withMissingFields(record, station), expected);
        QCOMPARE(WsjtxRecord::withMissingFields(record, {}), record);
    }

    void identity_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("identity");
        QTest::newRow("built from QSO Logged") << kBuiltRecord << "K1ABC|20240309|2358|20|FT4";
        QTest::newRow("WSJT-X's Logged ADIF") << kAdifRecord << "K1ABC|20240309|2358|20|FT4";
        QTest::newRow("BAND without FREQ")
            << QByteArray("<call:5>k1abc <band:3>20M <mode:3>ft8 <qso_date:8>20240309 <time_on:4>2358") << "K1ABC|20240309|2358|20|FT8";
        QTest::newRow("FREQ decides the band") << QByteArray("<CALL:4>W1AW <FREQ:6>70.154 <BAND:2>4m <EOR><CALL:2>XX")
                                               << "W1AW|||6|";
    }
    void identity()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, identity);
        QCOMPARE(WsjtxRecord::identity(record), identity);
    }

    void programName_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("WSJT-X") << "WSJT-X" << "WSJT-X";
        QTest::newRow("WSJT-X with a rig name") << "WSJT-X - IC-7300" << "WSJT-X";
        QTest::newRow("JTDX") << "jtdx" << "JTDX";
        QTest::newRow("JS8Call") << "JS8Call" << "JS8Call";
        QTest::newRow("another") << "MSHV" << "MSHV";
        QTest::newRow("none") << "" << "UDP";
    }
    void programName()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QCOMPARE(WsjtxListener::programName(id), name);
    }

    void settingsKeepTheirNames()
    {
        TestDir dir;
        AppSettings::useFolder(dir.path());
        const std::unique_ptr<void, void (*)(void *)> backToTheUsersStore(&dir, [](void *) { AppSettings::useFolder(QString()); });
        WsjtxSettings settings{true, 2238, "239.255.0.1", "eth0", true, 2334, true, "/logs/ft8.sqlite3"};
        settings.save();
        std::unique_ptr<QSettings> store = AppSettings::open();
        QCOMPARE(store->childGroups(), QStringList{"WSJT-X"});
        store->beginGroup("WSJT-X");
        QCOMPARE(store->childKeys(), (QStringList{"Enabled", "Follow", "Interface", "Logbook", "MulticastGroup", "Port",
                                                  "SecondaryEnabled", "SecondaryPort"}));
        store->setValue("Port", 70000); // out of range: the default
        store->endGroup();
        store.reset();
        settings.port = 2237;
        QVERIFY(WsjtxSettings::load() == settings);
    }

    // Each row's datagrams, then a QSO Logged of another QSO whose record comes after
    // every earlier one has had its wait: the records before it are all there were.
    void listenerLogsEachQsoOnce_data()
    {
        QTest::addColumn<QByteArrayList>("datagrams");
        QTest::addColumn<QByteArrayList>("adifDatagrams");
        QTest::addColumn<QByteArrayList>("records");
        QTest::addColumn<QStringList>("programs");
        const QByteArray qso = datagramOf(Kind::QsoLogged);
        const QByteArray adif = datagramOf(Kind::LoggedAdif);
        QTest::newRow("5 then 12") << QByteArrayList{qso, adif} << QByteArrayList{} << QByteArrayList{kAdifRecord}
                                   << QStringList{"WSJT-X"};
        QTest::newRow("12 then 5") << QByteArrayList{adif, qso} << QByteArrayList{} << QByteArrayList{kAdifRecord}
                                   << QStringList{"WSJT-X"};
        QTest::newRow("5 alone, JTDX times") << QByteArrayList{datagramOf(Kind::QsoLogged, "JTDX", WsjtxEncoder::Times::MarkedLocal)}
                                             << QByteArrayList{} << QByteArrayList{kBuiltRecord} << QStringList{"JTDX"};
        QTest::newRow("resent") << QByteArrayList{qso, adif, qso, adif, adif, qso} << QByteArrayList{}
                                << QByteArrayList{kAdifRecord} << QStringList{"WSJT-X"};
        QTest::newRow("two programs on a group")
            << QByteArrayList{qso, datagramOf(Kind::QsoLogged, "JS8Call"), adif, datagramOf(Kind::LoggedAdif, "JS8Call")}
            << QByteArrayList{} << QByteArrayList{kAdifRecord} << QStringList{"WSJT-X"};
        QTest::newRow("noise, then a QSO") << QByteArrayList{noise(65507), adif} << QByteArrayList{}
                                           << QByteArrayList{kAdifRecord} << QStringList{"WSJT-X"};
        QTest::newRow("secondary ADIF of the same QSO")
            << QByteArrayList{qso} << QByteArrayList{kAdifHeader + kAdifRecord} << QByteArrayList{kAdifRecord}
            << QStringList{"ADIF UDP"};
        QTest::newRow("secondary ADIF of two QSOs")
            << QByteArrayList{} << QByteArrayList{"<call:4>W1AW <EOR><call:5>K1ABC <eor>", "no ADIF", noise(2000)}
            << QByteArrayList{"<call:4>W1AW <EOR>", "<call:5>K1ABC <EOR>"} << QStringList{"ADIF UDP", "ADIF UDP"};
    }
    void listenerLogsEachQsoOnce()
    {
        QFETCH(QByteArrayList, datagrams);
        QFETCH(QByteArrayList, adifDatagrams);
        QFETCH(QByteArrayList, records);
        QFETCH(QStringList, programs);
        const std::unique_ptr<WsjtxListener> listener = startedListener(true);
        QVERIFY(listener);
        QSignalSpy logged(listener.get(), &WsjtxListener::qsoLogged);
        QUdpSocket sender;
        for (const QByteArray &datagram : datagrams)
            QCOMPARE(sender.writeDatagram(datagram, QHostAddress::LocalHost, listener->port()), datagram.size());
        for (const QByteArray &datagram : adifDatagrams)
            QCOMPARE(sender.writeDatagram(datagram, QHostAddress::LocalHost, listener->secondaryPort()), datagram.size());
        WsjtxMessage last = messageOf(Kind::QsoLogged);
        last.qso.dxCall = "LAST";
        QVERIFY(sender.writeDatagram(WsjtxEncoder().encode(last), QHostAddress::LocalHost, listener->port()) > 0);
        QTRY_VERIFY(!logged.isEmpty() && logged.last().at(0).toByteArray().startsWith("<CALL:4>LAST "));
        QByteArrayList gotRecords;
        QStringList gotPrograms;
        for (const QList<QVariant> &arguments : logged.first(logged.size() - 1)) {
            gotRecords.append(arguments.at(0).toByteArray());
            gotPrograms.append(arguments.at(1).toString());
        }
        QCOMPARE(gotRecords, records);
        QCOMPARE(gotPrograms, programs);
    }

    void listenerAnnouncesTheOtherMessages()
    {
        const std::unique_ptr<WsjtxListener> listener = startedListener(false);
        QVERIFY(listener);
        QSignalSpy heartbeats(listener.get(), &WsjtxListener::heartbeatReceived);
        QSignalSpy statuses(listener.get(), &WsjtxListener::statusReceived);
        QSignalSpy closed(listener.get(), &WsjtxListener::programClosed);
        QSignalSpy logged(listener.get(), &WsjtxListener::qsoLogged);
        QUdpSocket sender;
        for (const Kind kind : {Kind::Heartbeat, Kind::Status, Kind::Unknown, Kind::Close})
            sender.writeDatagram(datagramOf(kind, "JTDX"), QHostAddress::LocalHost, listener->port());
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(closed.first().first().toString(), QStringLiteral("JTDX"));
        QCOMPARE(heartbeats.size(), 1);
        QCOMPARE(heartbeats.first().first().toString(), QStringLiteral("JTDX"));
        QCOMPARE(statuses.size(), 1);
        QVERIFY(statuses.first().first().value<WsjtxStatus>() == messageOf(Kind::Status, 3, "JTDX").status);
        QVERIFY(logged.isEmpty());
    }

    void portInUse_data()
    {
        QTest::addColumn<bool>("secondary");
        QTest::newRow("port") << false;
        QTest::newRow("secondary port") << true;
    }
    void portInUse()
    {
        QFETCH(bool, secondary);
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
        WsjtxSettings settings;
        settings.port = secondary ? 0 : other.localPort();
        settings.secondaryEnabled = secondary;
        settings.secondaryPort = other.localPort();
        WsjtxListener listener;
        QVERIFY(!listener.start(settings));
        QCOMPARE(listener.lastError(), QStringLiteral("UDP port %1 is in use by another program").arg(other.localPort()));
        QVERIFY(!listener.isListening());
        settings.port = 0;
        settings.secondaryPort = 0;
        QVERIFY(listener.start(settings));
        QVERIFY(listener.lastError().isEmpty());
    }

    void multicastOnLoopback()
    {
        const QHostAddress group(QStringLiteral("239.255.0.1"));
        WsjtxListener listener;
        WsjtxSettings settings;
        settings.port = 0;
        settings.multicastGroup = group.toString();
        settings.interfaceName = "lo";
        if (!listener.start(settings))
            QSKIP(qPrintable("This kernel does not join a multicast group on lo: " + listener.lastError()));
        QSignalSpy logged(&listener, &WsjtxListener::qsoLogged);
        QUdpSocket sender;
        QVERIFY(sender.bind(QHostAddress::AnyIPv4, 0));
        sender.setMulticastInterface(QNetworkInterface::interfaceFromName("lo"));
        const QByteArray datagram = datagramOf(Kind::LoggedAdif);
        if (sender.writeDatagram(datagram, group, listener.port()) != datagram.size())
            QSKIP(qPrintable("This machine sends no multicast on lo: " + sender.errorString()));
        QTRY_COMPARE(logged.size(), 1);
        QCOMPARE(logged.first().first().toByteArray(), kAdifRecord);
    }
};

QTEST_GUILESS_MAIN(TestWsjtx)
#include "tst_wsjtx.moc"
