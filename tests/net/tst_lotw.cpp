#include "common/CapturedLog.h"
#include "common/FakeHttpServer.h"
#include "common/TestDir.h"
#include "net/LotwClient.h"
#include "net/TqslUpload.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(LotwReport)
Q_DECLARE_METATYPE(TqslUpload::Result)

namespace {

const QString kPassword = QStringLiteral("p&ss+w%rd é");

QByteArray field(const char *name, const QByteArray &value)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value + '\n';
}

QByteArray header(const QByteArray &numrec = "2")
{
    return "ARRL Logbook of the World Status Report\nGenerated at 2024-03-02 10:11:12\nfor k1abc\n\n"
         + field("PROGRAMID", "LoTW") + field("APP_LoTW_LASTQSL", "2024-03-02 10:11:12")
         + (numrec.isEmpty() ? QByteArray() : field("APP_LoTW_NUMREC", numrec)) + "<eoh>\n";
}

QByteArray firstRecord()
{
    return field("APP_LoTW_OWNCALL", "K1ABC") + field("CALL", "DL1XYZ") + field("BAND", "20M") + field("MODE", "FT8")
         + field("APP_LoTW_MODEGROUP", "DATA") + field("QSO_DATE", "20240301") + field("TIME_ON", "120000")
         + field("QSL_RCVD", "Y") + field("QSLRDATE", "20240302") + field("CREDIT_GRANTED", "DXCC,DXCC_BAND")
         + field("DXCC", "230") + field("CQZ", "14") + field("ITUZ", "28") + field("GRIDSQUARE", "JO62QM") + "<eor>\n";
}

QByteArray secondRecord()
{
    return field("STATION_CALLSIGN", "K1ABC/P") + field("CALL", "JA1AA") + field("BAND", "2M") + field("MODE", "SSB")
         + field("QSO_DATE", "20240301") + field("TIME_ON", "1315") + field("SAT_NAME", "AO-7")
         + field("PROP_MODE", "SAT") + field("QSL_RCVD", "Y") + "<eor>\n";
}

// What a confirmation holds, in one line.
QString summary(const Confirmation &c)
{
    return QStringList({c.call, c.band, c.mode, c.modeGroup, c.start.toString(Qt::ISODate), c.qslReceived,
                        c.qslReceivedDate, c.creditGranted, c.cqZone, c.ituZone, c.gridsquare, c.stationCallsign,
                        c.isSatellite() ? c.satellite + ' ' + c.propagation : QStringLiteral("no"),
                        QString::number(c.fields.size()), "fields DXCC=" + c.field("DXCC")})
        .join(' ');
}

QByteArray report()
{
    return header() + firstRecord() + secondRecord() + "\n<APP_LoTW_EOF>\n";
}

} // namespace

// LoTW's report read as a whole or not at all, the queries against a local HTTPS fake,
// and TQSL's exit codes through a fake program of the same name.
class TestLotw : public QObject
{
    Q_OBJECT

private:
    // One report from a client pointed at `server`.
    static LotwReport download(LotwClient &client, const std::function<void()> &start)
    {
        QSignalSpy finished(&client, &LotwClient::finished);
        start();
        if (!finished.wait(20000))
            return LotwReport::failed(QStringLiteral("no finished signal"));
        return finished.takeFirst().at(0).value<LotwReport>();
    }

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("records");
        QTest::newRow("two confirmations") << report() << QString() << 2;
        QTest::newRow("count behind the records")
            << header("") + firstRecord() + secondRecord() + field("APP_LoTW_NUMREC", "2") + "<APP_LoTW_EOF>" << QString() << 2;
        QTest::newRow("bad password")
            << QByteArray("<html><body><B>Username/password incorrect</B></body></html>")
            << "LoTW refused the user name or password (\"Username/password incorrect\")" << 0;
        QTest::newRow("cut before the end mark")
            << header() + firstRecord() + secondRecord()
            << "LoTW's reply ends before its end mark <APP_LoTW_EOF>: it was cut, nothing of it was taken" << 0;
        QTest::newRow("cut inside a record")
            << header() + firstRecord() + field("CALL", "JA1AA") + "<APP_LoTW_EOF>"
            << "LoTW's reply ends inside a record: nothing of it was taken" << 0;
        QTest::newRow("fewer records than announced")
            << header("3") + firstRecord() + secondRecord() + "<APP_LoTW_EOF>"
            << "LoTW announced 3 records but sent 2: nothing of it was taken" << 0;
        QTest::newRow("other web page") << QByteArray("<!DOCTYPE html><html><title>Maintenance</title></html>")
                                        << "LoTW answered with a web page instead of a report" << 0;
    }
    void parse()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, error);
        QFETCH(int, records);
        const LotwReport parsed = LotwReport::parse(reply);
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.ok, error.isEmpty());
        QCOMPARE(parsed.records.size(), records);
        if (records == 0)
            return;
        QCOMPARE(parsed.lastQsl, QStringLiteral("2024-03-02 10:11:12"));
        QCOMPARE(summary(parsed.records.at(0)), QStringLiteral("DL1XYZ 20M FT8 DATA 2024-03-01T12:00:00Z Y 20240302 "
                                                               "DXCC,DXCC_BAND 14 28 JO62QM K1ABC no 14 fields DXCC=230"));
        QCOMPARE(summary(parsed.records.at(1)), QStringLiteral("JA1AA 2M SSB  2024-03-01T13:15:00Z Y      K1ABC/P AO-7 SAT "
                                                               "9 fields DXCC="));
    }

    // Two downloads over HTTPS with the test's authority trusted: the second asks from
    // the first one's APP_LoTW_LASTQSL on. No log line holds the password.
    void downloadsIncrementally()
    {
        TestDir dir;
        FakeHttpServer server([](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{200, report()}; });
        QVERIFY(server.listenTls(dir.path()));
        CapturedLog log;
        LotwClient client;
        client.http().addTrustedAuthority(server.certificate());
        client.setBaseUrl(server.url(QStringLiteral("/lotwuser/")));

        const LotwReport first = download(client, [&] { client.downloadConfirmations("k1abc", kPassword, QString()); });
        QVERIFY2(first.ok, qPrintable(first.error));
        QCOMPARE(first.records.size(), 2);
        const LotwReport second =
            download(client, [&] { client.downloadConfirmations("k1abc", kPassword, first.lastQsl, "K1ABC"); });
        QVERIFY2(second.ok, qPrintable(second.error));
        const LotwReport own = download(client, [&] { client.downloadOwnRecords("k1abc", kPassword, "2024-02-01"); });
        QVERIFY2(own.ok, qPrintable(own.error));

        QCOMPARE(server.requests().size(), 3);
        const auto query = [&](int request) {
            QStringList items;
            for (const auto &item : server.requests().at(request).query.queryItems(QUrl::FullyDecoded))
                items.append(item.first + '=' + item.second);
            return items.join('&');
        };
        QCOMPARE(server.requests().at(0).path, QByteArray("/lotwuser/lotwreport.adi"));
        QCOMPARE(query(0), "login=k1abc&password=" + kPassword + "&qso_query=1&qso_qsl=yes&qso_qsldetail=yes");
        QCOMPARE(query(1), "login=k1abc&password=" + kPassword
                               + "&qso_query=1&qso_qsl=yes&qso_qsldetail=yes&qso_qslsince=2024-03-02 10:11:12"
                                 "&qso_owncall=K1ABC");
        QCOMPARE(query(2), "login=k1abc&password=" + kPassword + "&qso_query=1&qso_qsl=no&qso_qsorxsince=2024-02-01");
        QVERIFY(!log.containing(QStringLiteral("lotwreport.adi")).isEmpty());
        const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(kPassword));
        QCOMPARE(log.containing(kPassword), QStringList());
        QCOMPARE(log.containing(encoded), QStringList());
    }

    void refusesWhatItMayNotTrust_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("error");
        QTest::newRow("untrusted certificate") << "tls" << "LoTW: no answer from 127.0.0.1: SSL handshake failed";
        QTest::newRow("plain HTTP elsewhere")
            << "http://lotw.example.invalid/lotwuser/"
            << "LoTW: http://lotw.example.invalid/lotwuser/lotwreport.adi is no HTTPS address: the password is not sent there";
        QTest::newRow("no answer in time") << "silent" << "LoTW: 127.0.0.1 gave no answer within 0.3 s";
    }
    void refusesWhatItMayNotTrust()
    {
        QFETCH(QString, base);
        QFETCH(QString, error);
        TestDir dir;
        FakeHttpServer server([](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{200, report(), "text/plain", true}; });
        QVERIFY(base == QLatin1String("tls") ? server.listenTls(dir.path()) : server.listen());
        CapturedLog log;
        LotwClient client;
        client.http().setTimeout(base == QLatin1String("silent") ? 300 : 20000);
        client.setBaseUrl(base.startsWith(QLatin1String("http")) ? QUrl(base) : server.url(QStringLiteral("/lotwuser/")));
        const LotwReport report = download(client, [&] { client.downloadConfirmations("k1abc", kPassword, QString()); });
        QVERIFY2(report.error.startsWith(error), qPrintable(report.error));
        QVERIFY(report.records.isEmpty());
        QCOMPARE(server.requests().size(), base == QLatin1String("silent") ? 1 : 0);
        QCOMPARE(log.containing(kPassword), QStringList());
    }

    void tqsl_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("reachedLotw");
        QTest::newRow("done") << 0 << "success: all QSOs submitted were signed and uploaded (0)" << true;
        QTest::newRow("cancelled") << 1 << "cancelled by user (1)" << false;
        QTest::newRow("rejected") << 2 << "rejected by LoTW (2)" << false;
        QTest::newRow("all duplicates")
            << 8 << "no QSOs were processed since some QSOs were already uploaded or out of date range (8)" << true;
        QTest::newRow("some duplicates") << 9
                                         << "some QSOs were processed, and some QSOs were ignored because they were "
                                            "already uploaded or out of date range (9)"
                                         << true;
        QTest::newRow("no connection") << 11 << "LoTW connection error (no network or LoTW is unreachable) (11)" << false;
        QTest::newRow("unknown") << 99 << "TQSL ended with exit code 99" << false;
        QTest::newRow("not installed") << -1 << "TQSL could not be started as \"tqsl\" (is the trustedqsl package "
                                                "installed?): execvp: No such file or directory"
                                       << false;
    }
    void tqsl()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, words);
        QFETCH(bool, reachedLotw);
        TestDir dir;
        const QString bin = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString script = bin + QStringLiteral("/tqsl");
        if (exitCode >= 0) {
            QVERIFY(TestDir::writeFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"%1/arguments\"\n"
                                                              "echo \"10:00:00 AM: Final Status: status (%2)\" >&2\n"
                                                              "exit %2\n")
                                                   .arg(dir.path())
                                                   .arg(exitCode)
                                                   .toUtf8()));
            QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + (exitCode >= 0 ? ':' + path : QByteArray()));
        TqslUpload upload;
        QSignalSpy finished(&upload, &TqslUpload::finished);
        QVERIFY(upload.start(QStringLiteral("Home QTH"), QStringLiteral("/tmp/my log.adi")));
        QVERIFY(!upload.start(QStringLiteral("Home QTH"), QStringLiteral("/tmp/my log.adi")));
        const bool ended = finished.wait(20000);
        qputenv("PATH", path);
        QVERIFY(ended);
        const auto result = finished.takeFirst().at(0).value<TqslUpload::Result>();
        QCOMPARE(result.words, words);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.reachedLotw(), reachedLotw);
        QVERIFY(!upload.isRunning());
        if (exitCode < 0)
            return;
        QCOMPARE(result.finalStatus, QStringLiteral("status (%1)").arg(exitCode));
        QCOMPARE(TestDir::readFile(dir.filePath(QStringLiteral("arguments"))),
                 QByteArray("-d\n-u\n-a\ncompliant\n-l\nHome QTH\n-x\n/tmp/my log.adi\n"));
    }
};

QTEST_GUILESS_MAIN(TestLotw)
#include "tst_lotw.moc"
