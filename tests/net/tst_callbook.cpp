#include "common/FakeCallbook.h"
#include "common/FakeHttpServer.h"
#include "common/TestDir.h"
#include "net/CallbookLookup.h"
#include "net/CallbookSettings.h"
#include "net/CallbookXml.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using Kind = CallbookReply::Kind;

namespace {

// Every message logged while a test runs.
QStringList g_logged;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_logged.append(message);
}

const QString &kUser = FakeCallbook::kUser;
const QString &kPassword = FakeCallbook::kPassword;

} // namespace

class TestCallbook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("korva3.*=true")); }
    void cleanupTestCase() { QLoggingCategory::setFilterRules(QString()); }
    void replies_data();
    void replies();
    void lookups_data();
    void lookups();
    void settingsChooseTheService();
};

void TestCallbook::replies_data()
{
    QTest::addColumn<bool>("qrz");
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message");
    QTest::addColumn<CallbookRecord>("record");
    const QByteArray qrzHead = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<QRZDatabase version=\"1.34\" "
                               "xmlns=\"http://xmldata.qrz.com\">\n";
    const QByteArray hamQthHead = "<?xml version=\"1.0\"?>\n<HamQTH version=\"2.7\" xmlns=\"https://www.hamqth.com\">\n";

    CallbookRecord aa7bq{"AA7BQ", "FRED L", "FRED L LLOYD", "Phoenix", "DM33xm", "via QRZ", "United States",
                         "AZ", "", "aa7bq@example.com", 291, 3, 6};
    QTest::newRow("qrz record")
        << true
        << qrzHead + "<Callsign>\n <call>AA7BQ</call>\n <fname>FRED L</fname>\n <name>LLOYD</name>\n"
                     " <addr1>8711 E Pinnacle Peak Rd 159</addr1>\n <addr2> Phoenix </addr2>\n <state>AZ</state>\n"
                     " <country>USA</country>\n <land>United States</land>\n <grid>DM33xm</grid>\n"
                     " <qslmgr>via QRZ</qslmgr>\n <email>aa7bq@example.com</email>\n <dxcc>291</dxcc>\n"
                     " <cqzone>3</cqzone>\n <ituzone>6</ituzone>\n</Callsign>\n"
                     "<Session><Key>abc</Key><Count>124</Count></Session>\n</QRZDatabase>"
        << Kind::Record << "abc" << "" << aa7bq;
    CallbookRecord nick{"G4ABC", "Bob", "Robert Smith", "", "", "", "England", "", "EU-005", "", 0, 0, 0};
    QTest::newRow("qrz nickname, mailing country")
        << true
        << qrzHead + "<Callsign><call>g4abc</call><fname>Robert</fname><name>Smith</name><nickname>Bob</nickname>"
                     "<country>England</country><iota>EU-005</iota></Callsign></QRZDatabase>"
        << Kind::Record << "" << "" << nick;
    QTest::newRow("qrz invalid key") << true
                                     << qrzHead + "<Session><Error>Invalid session key</Error></Session></QRZDatabase>"
                                     << Kind::SessionExpired << "" << "Invalid session key" << CallbookRecord();
    CallbookRecord ok7an{"OK7AN", "Petr", "Petr Hlozek", "Neratovice", "jo70gg", "OK1XYZ", "Czech Republic",
                         "", "EU-999", "petr@example.com", 503, 15, 28};
    QTest::newRow("hamqth record")
        << false
        << hamQthHead + "<search>\n<callsign>ok7an</callsign>\n<nick>Petr</nick>\n<qth>Neratovice</qth>\n"
                        "<country>Czech Republic</country>\n<adif>503</adif>\n<itu>28</itu>\n<cq>15</cq>\n"
                        "<grid>jo70gg</grid>\n<adr_name>Petr Hlozek</adr_name>\n<adr_city>Praha</adr_city>\n"
                        "<qsl_via>OK1XYZ</qsl_via>\n<iota>EU-999</iota>\n<email>petr@example.com</email>\n"
                        "</search>\n</HamQTH>"
        << Kind::Record << "" << "" << ok7an;
    CallbookRecord city{"DL1XYZ", "", "", "Berlin", "", "", "", "", "", "", 0, 0, 0};
    QTest::newRow("hamqth city for the qth, old namespace")
        << false
        << QByteArray("<HamQTH xmlns=\"http://www.hamqth.com\"><search><callsign>DL1XYZ</callsign>"
                      "<adr_city>Berlin</adr_city></search></HamQTH>")
        << Kind::Record << "" << "" << city;
    QTest::newRow("empty") << true << QByteArray() << Kind::Unreadable << "" << "" << CallbookRecord();
    QTest::newRow("cut short") << true << qrzHead + "<Session><Key>abc</Key>" << Kind::Unreadable << "" << ""
                               << CallbookRecord();
}

void TestCallbook::replies()
{
    QFETCH(bool, qrz);
    QFETCH(QByteArray, xml);
    const CallbookReply reply = qrz ? CallbookXml::parseQrz(xml) : CallbookXml::parseHamQth(xml);
    QTEST(reply.kind, "kind");
    QTEST(reply.sessionKey, "key");
    QTEST(reply.message, "message");
    QTEST(reply.record, "record");
}

void TestCallbook::lookups_data()
{
    using Keys = FakeCallbook::Keys;
    QTest::addColumn<bool>("qrz");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("password");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<int>("silentRequests");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("logins");
    for (const bool qrz : {true, false}) {
        const QString name = qrz ? QStringLiteral("QRZ.com") : QStringLiteral("HamQTH");
        const auto row = [&](const char *what) -> QTestData & { return QTest::addRow("%s: %s", qrz ? "qrz" : "hamqth", what) << qrz; };
        const QString found = name + ": K1ABC found";
        const QString notFound = name + ": DL1XYZ not found";
        const QString refused = name + ": user name or password refused";
        // The second lookup of K1ABC comes from the cache.
        row("session, then records") << false << kPassword << Keys::Valid << 0 << 200 << QString()
                                     << QStringList{"K1ABC", "dl1xyz", " k1abc"} << QStringList{found, notFound, found}
                                     << 3 << 1;
        row("over https") << true << kPassword << Keys::Valid << 0 << 200 << QString() << QStringList{"K1ABC"}
                          << QStringList{found} << 2 << 1;
        row("expired session renewed once") << false << kPassword << Keys::ExpireOnce << 0 << 200 << QString()
                                            << QStringList{"K1ABC", "DL1XYZ"} << QStringList{found, notFound} << 5 << 2;
        row("expired again: no loop") << false << kPassword << Keys::ExpireAlways << 0 << 200 << QString()
                                      << QStringList{"K1ABC", "DL1XYZ"}
                                      << QStringList{found, name + ": The session expired again"} << 5 << 2;
        row("bad login, asked once") << false << QStringLiteral("wrong") << Keys::Valid << 0 << 200 << QString()
                                     << QStringList{"K1ABC", "DL1XYZ"} << QStringList{refused, refused} << 1 << 1;
        row("silence, then an answer") << false << kPassword << Keys::Valid << 1 << 200 << QString()
                                       << QStringList{"K1ABC", "DL1XYZ"} << QStringList{name + ": no answer", notFound}
                                       << 3 << 2;
        row("http error") << false << kPassword << Keys::Valid << 0 << 500 << QString() << QStringList{"K1ABC"}
                          << QStringList{name + ": The service answered HTTP 500"} << 1 << 1;
        row("plain http elsewhere") << false << kPassword << Keys::Valid << 0 << 200
                                    << QStringLiteral("http://callbook.example/xml.php") << QStringList{"K1ABC"}
                                    << QStringList{name + ": http://callbook.example/xml.php is no HTTPS address: "
                                                          "the password is not sent there"}
                                    << 0 << 0;
    }
}

void TestCallbook::lookups()
{
    QFETCH(bool, qrz);
    QFETCH(bool, tls);
    QFETCH(QString, password);
    QFETCH(QString, url);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, statuses);
    TestDir dir;
    FakeCallbook callbook;
    callbook.qrz = qrz;
    QFETCH(FakeCallbook::Keys, keys);
    QFETCH(int, silentRequests);
    QFETCH(int, status);
    callbook.keys = keys;
    callbook.silentRequests = silentRequests;
    callbook.status = status;
    FakeHttpServer server([&callbook](const FakeHttpServer::Request &request) { return callbook.answer(request); });
    QVERIFY(tls ? server.listenTls(dir.path()) : server.listen());

    CallbookSettings settings;
    settings.service = qrz ? QStringLiteral("qrz") : QStringLiteral("hamqth");
    settings.user = kUser;
    settings.url = url.isEmpty() ? server.url(QStringLiteral("/xml/current/")) : QUrl(url);
    std::unique_ptr<CallbookService> service = settings.createService(password);
    if (tls) {
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificate(server.certificate());
        service->setSslConfiguration(trusting);
    }
    CallbookLookup lookup(std::move(service));
    // Short where the fake stays silent, ample where an answer must come (TLS under the sanitizers).
    const int timeoutMs = silentRequests > 0 ? 500 : 5000;
    lookup.setTimeout(timeoutMs);
    QSignalSpy answers(&lookup, &CallbookLookup::answered);

    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    QStringList got;
    for (const QString &call : calls) {
        QElapsedTimer clock;
        clock.start();
        lookup.lookup(call);
        QTRY_COMPARE(answers.size(), got.size() + 1);
        const CallbookResult result = answers.last().at(1).value<CallbookResult>();
        got << answers.last().at(2).toString();
        if (result.outcome == CallbookResult::Outcome::NoAnswer)
            QVERIFY(clock.elapsed() >= timeoutMs); // never said before its time
        if (result.outcome == CallbookResult::Outcome::Found) {
            const CallbookRecord &record = result.record;
            QCOMPARE(QStringList({record.call, record.name, record.qth, record.grid, record.qslManager, record.country}),
                     QStringList({"K1ABC", "Fred", "Newington", "FN31pr", "W1XYZ", "United States"}));
        }
    }
    qInstallMessageHandler(previous);

    QCOMPARE(got, statuses);
    QTEST(int(server.requests().size()), "requests");
    QTEST(callbook.logins, "logins");
    // What each request carried, and that no secret reached a log line.
    for (const FakeHttpServer::Request &request : server.requests()) {
        const QString raw = request.query.query(QUrl::FullyEncoded);
        const bool login = request.query.hasQueryItem(QLatin1String(qrz ? "username" : "u"));
        const bool program = raw.contains(QLatin1String(qrz ? "agent=Korva3" : "prg=Korva3"));
        QVERIFY2(!raw.contains(QLatin1Char('+')) && program == (qrz ? login : !login), qPrintable(raw));
    }
    QVERIFY(!g_logged.isEmpty());
    const QStringList secrets =
        callbook.issuedKeys + QStringList{password, QString::fromLatin1(QUrl::toPercentEncoding(password))};
    for (const QString &line : std::as_const(g_logged)) {
        for (const QString &secret : secrets)
            QVERIFY2(!line.contains(secret), qPrintable(line));
    }
}

void TestCallbook::settingsChooseTheService()
{
    CallbookSettings settings;
    settings.service = QStringLiteral("hamqth");
    const std::unique_ptr<CallbookService> hamQth = settings.createService(QString());
    QCOMPARE(hamQth->name(), QStringLiteral("HamQTH"));
    QCOMPARE(hamQth->baseUrl(), QUrl(QStringLiteral("https://www.hamqth.com/xml.php")));
    settings.service = QStringLiteral("qrz");
    settings.url = QUrl(QStringLiteral("https://qrz.example/xml/"));
    QCOMPARE(settings.createService(QString())->baseUrl(), settings.url);
    settings.service = QStringLiteral("callook");
    QVERIFY(!settings.createService(QString()));
}

QTEST_GUILESS_MAIN(TestCallbook)
#include "tst_callbook.moc"
