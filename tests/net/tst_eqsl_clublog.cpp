#include "common/CapturedLog.h"
#include "common/FakeHttpServer.h"
#include "net/ClubLogClient.h"
#include "net/ClubLogOutbox.h"
#include "net/EqslClient.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(EqslReply::Upload)
Q_DECLARE_METATYPE(EqslClient::Inbox)
Q_DECLARE_METATYPE(ClubLogAnswer)

namespace {

const QString kPassword = QStringLiteral("s3cret pw");
const ClubLogClient::Account kAccount{QStringLiteral("op@example.org"), kPassword, QStringLiteral("K1ABC"),
                                      QStringLiteral("0123abcd")};

QByteArray inboxFile(bool complete)
{
    const QByteArray second = "<CALL:5>JA1AA<QSO_DATE:8>20240301<TIME_ON:4>1315<BAND:3>40M<MODE:3>SSB";
    return "ADIF export from eQSL.cc\n<PROGRAMID:4>eQSL<EOH>\n"
           "<CALL:6>DL1XYZ<QSO_DATE:8>20240301<TIME_ON:4>1200<BAND:3>20M<MODE:3>FT8<QSL_SENT:1>Y<EOR>\n"
         + (complete ? second + "<EOR>\n" : second);
}

// The value of a field of a multipart/form-data body; the file's bytes for a file part.
QByteArray multipartField(const QByteArray &body, const QByteArray &name)
{
    const QByteArray marker = "name=\"" + name + '"';
    const qsizetype at = body.indexOf(marker);
    if (at < 0)
        return QByteArray();
    const qsizetype start = body.indexOf("\r\n\r\n", at) + 4;
    return body.mid(start, body.indexOf("\r\n--", start) - start);
}

// The fields of a form post as "name=value&...", values decoded.
QString formFields(const FakeHttpServer::Request &request)
{
    QStringList fields;
    for (const auto &item : request.form().queryItems(QUrl::FullyDecoded))
        fields.append(item.first + '=' + item.second);
    return fields.join('&');
}

} // namespace

// eQSL's upload and two-step inbox download, Club Log's answers, against local fakes;
// and the Club Log outbox's policy on a clock of the test's own.
class TestEqslClubLog : public QObject
{
    Q_OBJECT

private slots:
    void eqslUpload_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<QString>("error");
        QTest::newRow("added") << QByteArray("<HTML><BODY>Result: 2 out of 2 records added<BR></BODY></HTML>") << 2 << 0
                               << QString();
        QTest::newRow("duplicate") << QByteArray("<HTML><BODY>Result: 0 out of 1 records added<BR>\nWarning: Y=2024 M=03 "
                                                 "D=01 DL1XYZ 20M FT8 Bad record: Duplicate<BR></BODY></HTML>")
                                   << 0 << 1 << QString();
        QTest::newRow("bad login") << QByteArray("<HTML><BODY>Error: No match on eQSL_User/eQSL_Pswd for date "
                                                 "20240301<BR></BODY></HTML>")
                                   << -1 << 0 << "Error: No match on eQSL_User/eQSL_Pswd for date 20240301";
        QTest::newRow("odd page") << QByteArray("<html><h1>Down for maintenance</h1></html>") << -1 << 0
                                  << "eQSL's reply holds no result line";
    }
    void eqslUpload()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, added);
        QFETCH(int, duplicates);
        QFETCH(QString, error);
        FakeHttpServer server([&](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{200, page, "text/html"}; });
        QVERIFY(server.listen());
        EqslClient client;
        client.setBaseUrl(server.url(QStringLiteral("/qslcard/")));
        QSignalSpy uploaded(&client, &EqslClient::uploaded);
        client.upload(QStringLiteral("K1ABC"), kPassword, inboxFile(true));
        QVERIFY(uploaded.wait(10000));
        const auto result = uploaded.takeFirst().at(0).value<EqslReply::Upload>();
        QCOMPARE(result.added, added);
        QCOMPARE(result.duplicates, duplicates);
        QCOMPARE(result.error, error);
        QCOMPARE(result.ok, added >= 0);
        const FakeHttpServer::Request &request = server.requests().at(0);
        QCOMPARE(request.method + ' ' + request.path, QByteArray("POST /qslcard/ImportADIF.cfm"));
        QCOMPARE(multipartField(request.body, "EQSL_USER"), QByteArray("K1ABC"));
        QCOMPARE(multipartField(request.body, "EQSL_PSWD"), kPassword.toUtf8());
        QCOMPARE(multipartField(request.body, "Filename"), inboxFile(true));
    }

    void eqslInbox_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("records");
        const QByteArray named = "<HTML><BODY>Your ADIF log file has been built.<BR><LI><A "
                                 "HREF=\"../downloadedfiles/k1abc123.adi\">.ADI file</A></BODY></HTML>";
        QTest::newRow("two steps") << named << inboxFile(true) << QString() << 2;
        QTest::newRow("file cut") << named << inboxFile(false)
                                  << "eQSL's inbox file ends inside a record: nothing of it was taken" << 0;
        QTest::newRow("bad login") << QByteArray("<HTML><BODY>Error: No such Username/Password found</BODY></HTML>")
                                   << QByteArray() << "eQSL: Error: No such Username/Password found" << 0;
        QTest::newRow("odd page") << QByteArray("<HTML><BODY>Please try again later</BODY></HTML>") << QByteArray()
                                  << "eQSL's inbox page names no .adi file" << 0;
        QTest::newRow("a fragment after .adi") << QByteArray("<A HREF=\"../downloadedfiles/k1abc#123.adi\">x</A>")
                                               << QByteArray() << "eQSL's inbox page names no .adi file" << 0;
        QTest::newRow("file elsewhere") << QByteArray("<A HREF=\"https://files.example.org/x.adi\">x</A>") << QByteArray()
                                        << "eQSL's inbox page names a file elsewhere: files.example.org" << 0;
    }
    void eqslInbox()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(int, records);
        FakeHttpServer server([&](const FakeHttpServer::Request &request) {
            return FakeHttpServer::Reply{200, request.path.endsWith(".adi") ? file : page, "text/html"};
        });
        QVERIFY(server.listen());
        CapturedLog log;
        EqslClient client;
        client.setBaseUrl(server.url(QStringLiteral("/qslcard/")));
        QSignalSpy downloaded(&client, &EqslClient::downloaded);
        client.downloadInbox(QStringLiteral("K1ABC"), kPassword, QStringLiteral("202403010000"));
        QVERIFY(downloaded.wait(10000));
        const auto inbox = downloaded.takeFirst().at(0).value<EqslClient::Inbox>();
        QCOMPARE(inbox.error, error);
        QCOMPARE(inbox.records.size(), records);
        const QUrlQuery &query = server.requests().at(0).query;
        QCOMPARE(server.requests().at(0).path, QByteArray("/qslcard/DownloadInBox.cfm"));
        QCOMPARE(query.queryItemValue("UserName") + ' ' + query.queryItemValue("Password", QUrl::FullyDecoded) + ' '
                     + query.queryItemValue("RcvdSince"),
                 "K1ABC " + kPassword + " 202403010000");
        QCOMPARE(server.requests().size(), file.isEmpty() ? 1 : 2);
        if (!file.isEmpty())
            QCOMPARE(server.requests().at(1).path, QByteArray("/downloadedfiles/k1abc123.adi"));
        if (records > 0)
            QCOMPARE(inbox.records.at(1).call + ' ' + inbox.records.at(1).band, QStringLiteral("JA1AA 40M"));
        QCOMPARE(log.containing(kPassword), QStringList());
        QCOMPARE(log.containing(QStringLiteral("s3cret%20pw")), QStringList());
    }

    void clubLogRealtime_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("words");
        QTest::newRow("200 taken") << 200 << QByteArray("OK") << "Club Log took it (200): OK";
        QTest::newRow("200 duplicate") << 200 << QByteArray("Dupe")
                                       << "Club Log took it (200): Dupe";
        QTest::newRow("400 rejected") << 400 << QByteArray("<p>Rejected: callsign has no DXCC</p>")
                                     
                                      << "Club Log rejected the QSO (400): Rejected: callsign has no DXCC";
        QTest::newRow("403 stop") << 403 << QByteArray("Login rejected")
                                  << "Club Log refused the account (403): Login rejected; nothing more is sent until "
                                     "the account settings are fixed";
        QTest::newRow("500 later") << 500 << QByteArray("Parser unavailable")
                                   << "Club Log failed (500): Parser unavailable; sent again later";
        QTest::newRow("no connection") << 0 << QByteArray()
                                       << "no answer from Club Log: no answer from 127.0.0.1: Connection refused; sent "
                                          "again later";
    }
    void clubLogRealtime()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, words);
        FakeHttpServer server([&](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{status, body}; });
        QVERIFY(server.listen());
        QUrl base = server.url();
        if (status == 0)
            base.setPort(1); // nothing listens there
        ClubLogClient client;
        client.setBaseUrl(base);
        QSignalSpy answered(&client, &ClubLogClient::answered);
        client.sendQso(7, kAccount, "<CALL:6>DL1XYZ<EOR>");
        QVERIFY(answered.wait(10000));
        QCOMPARE(answered.at(0).at(0).toLongLong(), 7);
        QCOMPARE(answered.at(0).at(1).value<ClubLogAnswer>().words(), words);
        if (status == 0)
            return;
        QCOMPARE(server.requests().at(0).path, QByteArray("/realtime.php"));
        QCOMPARE(formFields(server.requests().at(0)),
                 "email=op@example.org&password=" + kPassword + "&callsign=K1ABC&api=0123abcd&adif=<CALL:6>DL1XYZ<EOR>");
    }

    void clubLogDeleteAndWholeLog()
    {
        FakeHttpServer server([](const FakeHttpServer::Request &request) {
            return FakeHttpServer::Reply{request.path == "/delete.php" ? 404 : 200, "QSO not found"};
        });
        QVERIFY(server.listen());
        ClubLogClient client;
        client.setBaseUrl(server.url());
        QSignalSpy answered(&client, &ClubLogClient::answered);
        client.deleteQso(1, kAccount, QStringLiteral("DL1XYZ"), QDateTime(QDate(2024, 3, 1), QTime(12, 0, 5), QTimeZone::utc()),
                         QStringLiteral("70cm"));
        client.uploadLog(2, kAccount, inboxFile(true), QStringLiteral("log.adi"), true);
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 2, 10000);
        QCOMPARE(answered.at(0).at(1).value<ClubLogAnswer>().kind, ClubLogAnswer::Done);
        QCOMPARE(answered.at(1).at(1).value<ClubLogAnswer>().kind, ClubLogAnswer::Done);
        QCOMPARE(formFields(server.requests().at(0)), "email=op@example.org&password=" + kPassword
                                                          + "&callsign=K1ABC&api=0123abcd&dxcall=DL1XYZ"
                                                            "&datetime=2024-03-01 12:00:05&bandid=70");
        const QByteArray body = server.requests().at(1).body;
        QCOMPARE(server.requests().at(1).path, QByteArray("/putlogs.php"));
        QCOMPARE(multipartField(body, "file"), inboxFile(true));
        QCOMPARE(multipartField(body, "clear") + ' ' + multipartField(body, "api"), QByteArray("1 0123abcd"));
    }

    // A script of steps on the outbox holding entries 1, 2 and 3:
    // "take@T=N" takes entry N at time T ("-" for none), "done@T", "rejected@T",
    // "stop@T", "retry@T" answer the entry out, "wait@T=MS" is the wait at T, "resume".
    void outbox_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("left");
        QTest::newRow("in order, one at a time") << "take@0=1 take@0=- done@5 take@5=2 rejected@6 take@6=3 done@7 take@7=- wait@7=-1"
                                                 << "";
        QTest::newRow("500 retries with a growing pause")
            << "take@0=1 retry@0 wait@0=60000 take@59999=- take@60000=1 retry@60000 wait@60000=120000 "
               "take@180000=1 retry@180000 wait@180000=240000 take@420000=1 done@420001 take@420001=2"
            << "2 3";
        QTest::newRow("the pause stops growing at an hour")
            << "take@0=1 retry@0 take@60000=1 retry@0 take@120000=1 retry@0 take@240000=1 retry@0 take@480000=1 retry@0 "
               "take@960000=1 retry@0 take@1920000=1 retry@0 wait@0=3600000 take@3600000=1 retry@0 wait@0=3600000"
            << "1 2 3";
        QTest::newRow("403 stops until resumed")
            << "take@0=1 stop@0 wait@0=-1 take@99999999=- resume take@5=1 done@5 take@5=2" << "2 3";
        QTest::newRow("a stale answer changes nothing") << "take@0=1 done@0 take@0=2 retry@0 wait@0=60000 done@1 wait@1=59999" << "2 3";
    }
    void outbox()
    {
        QFETCH(QString, script);
        QFETCH(QString, left);
        ClubLogOutbox outbox;
        for (qint64 id : {1, 2, 3})
            outbox.append(id);
        qint64 out = -1;
        for (const QString &step : script.split(' ')) {
            const QStringList parts = step.split(QRegularExpression(QStringLiteral("[@=]")));
            const QString verb = parts.at(0);
            const qint64 at = parts.value(1).toLongLong();
            if (verb == QLatin1String("take")) {
                const std::optional<qint64> taken = outbox.takeNext(at);
                QCOMPARE(taken ? QString::number(*taken) : QStringLiteral("-"), parts.at(2));
                out = taken.value_or(out);
            } else if (verb == QLatin1String("wait")) {
                QCOMPARE(outbox.waitMs(at), parts.at(2).toLongLong());
            } else if (verb == QLatin1String("resume")) {
                outbox.resume();
            } else {
                const auto kind = verb == QLatin1String("done")       ? ClubLogAnswer::Done
                                : verb == QLatin1String("rejected")   ? ClubLogAnswer::Rejected
                                : verb == QLatin1String("stop")       ? ClubLogAnswer::Stop
                                                                      : ClubLogAnswer::RetryLater;
                // "done@1" after a retry answers an entry that is no longer out.
                outbox.answered(out, kind, at);
                out = -1;
            }
        }
        QStringList ids;
        for (qint64 id : outbox.entries())
            ids.append(QString::number(id));
        QCOMPARE(ids.join(' '), left);
    }
};

QTEST_GUILESS_MAIN(TestEqslClubLog)
#include "tst_eqsl_clublog.moc"
