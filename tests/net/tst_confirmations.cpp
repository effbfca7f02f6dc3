#include "common/CapturedLog.h"
#include "common/FakeHttpServer.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "document/CKorva3Doc.h"
#include "net/ClubLogSender.h"
#include "net/EqslSync.h"
#include "net/LotwSync.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(ServiceOutcome)

namespace {

const QString kPassword = QStringLiteral("p&ss w%rd");

QByteArray field(const char *name, const QByteArray &value)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value;
}

QByteArray qsl(const QByteArray &call, const QByteArray &time, const QByteArray &mode, const QByteArray &rxTime = {})
{
    return field("CALL", call) + field("BAND", "20M") + field("MODE", mode) + field("QSO_DATE", "20240301")
         + field("TIME_ON", time) + field("QSL_RCVD", "Y") + field("QSLRDATE", "20240302") + field("CQZ", "14")
         + field("GRIDSQUARE", "JO62QM") + field("CREDIT_GRANTED", "DXCC")
         + (rxTime.isEmpty() ? QByteArray() : field("APP_LoTW_RXQSO", rxTime)) + "<EOR>\n";
}

// A LoTW report of the records, its preamble and header as LoTW writes them.
QByteArray lotwReport(const QByteArray &records, int count, const QByteArray &last, bool ended = true)
{
    return "ARRL Logbook of the World Status Report\n" + field("APP_LoTW_LASTQSL", last)
         + field("APP_LoTW_LASTQSORX", last) + field("APP_LoTW_NUMREC", QByteArray::number(count)) + "<EOH>\n"
         + records + (ended ? "<APP_LoTW_EOF>\n" : "");
}

// A logbook of three QSOs: DL1XYZ FT8 of entity 230 with the operator's own CQ zone, G4AAA CW and
// JA1AA SSB, all on 20 m on 2024-03-01.
QString makeLogbook(const TestDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("log.sqlite3"));
    if (!Sqlite3DB().CreateLogbook(path))
        return QString();
    CKorva3Doc doc(path);
    const QByteArray qsos[] = {"<CALL:6>DL1XYZ<QSO_DATE:8>20240301<TIME_ON:4>1220<BAND:3>20m<MODE:3>FT8<CQZ:2>15<DXCC:3>230<EOR>",
                               "<CALL:5>G4AAA<QSO_DATE:8>20240301<TIME_ON:4>1300<BAND:3>20m<MODE:2>CW<EOR>",
                               "<CALL:5>JA1AA<QSO_DATE:8>20240301<TIME_ON:4>1400<BAND:3>20m<MODE:3>SSB<EOR>"};
    for (const QByteArray &qso : qsos) {
        if (doc.AddAdifRecord(qso).added != 1)
            return QString();
    }
    return path;
}

// LOTW_QSL_RCVD, LOTW_QSL_SENT, EQSL_QSL_RCVD, EQSL_QSL_SENT of each QSO, "-" for none.
QString states(CKorva3Doc &doc)
{
    const QHash<int, QStringList> read = doc.ReadQslStates({1, 2, 3});
    QStringList rows;
    for (int row = 1; row <= 3; ++row) {
        QStringList values = read.value(row);
        for (QString &value : values)
            value = value.isEmpty() ? QStringLiteral("-") : value;
        rows.append(values.join(QLatin1Char(' ')));
    }
    return rows.join(QStringLiteral(", "));
}

ServiceOutcome outcomeOf(QSignalSpy &finished)
{
    if (finished.isEmpty() && !finished.wait(20000))
        return ServiceOutcome::failed(QStringLiteral("no finished signal"));
    return finished.takeFirst().at(0).value<ServiceOutcome>();
}

} // namespace

// The services' exchanges written into a logbook through its document, against local
// fakes: what a download confirms and lists, what an upload marks and when, where the
// next download goes on from, and the Club Log outbox across answers and restarts.
class TestConfirmations : public QObject
{
    Q_OBJECT

private slots:
    void lotwDownload_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QByteArray>("unmatched");
        const QByteArray two = qsl("DL1XYZ", "1200", "DATA") + qsl("K9ZZZ", "1200", "FT8");
        QTest::newRow("20 minutes off and DATA; one unmatched")
            << 200 << lotwReport(two, 2, "2024-03-02 10:11:12")
            << "matched 1 (1 newly confirmed), unmatched 1, sent 0, refused 0" << "Y - - -, - - - -, - - - -"
            << QByteArray("LoTW|K9ZZZ|2024-03-01 12:00:00|20M|FT8");
        QTest::newRow("a QSL not yet granted confirms nothing")
            << 200 << lotwReport(qsl("G4AAA", "1300", "CW").replace("<QSL_RCVD:1>Y", "<QSL_RCVD:1>N"), 1, "2024-03-02")
            << "matched 0 (0 newly confirmed), unmatched 0, sent 0, refused 0" << "- - - -, - - - -, - - - -"
            << QByteArray();
        QTest::newRow("bad password")
            << 200 << QByteArray("<html><body>Username/password incorrect</body></html>")
            << "LoTW refused the user name or password (\"Username/password incorrect\")" << "- - - -, - - - -, - - - -"
            << QByteArray();
        QTest::newRow("cut before the end mark")
            << 200 << lotwReport(two, 2, "2024-03-02 10:11:12", false)
            << "LoTW's reply ends before its end mark <APP_LoTW_EOF>: it was cut, nothing of it was taken"
            << "- - - -, - - - -, - - - -" << QByteArray();
        QTest::newRow("server error") << 503 << QByteArray("busy") << "LoTW answered with HTTP status 503"
                                      << "- - - -, - - - -, - - - -" << QByteArray();
    }
    // A download written into the logbook; what it cannot take changes nothing, not even
    // the date the next one goes on from. LoTW's details become kept fields where the
    // operator has none (CQ zone 15 stays), and no log line holds the password.
    void lotwDownload()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, outcome);
        QFETCH(QString, states);
        QFETCH(QByteArray, unmatched);
        TestDir dir;
        const QString path = makeLogbook(dir);
        QVERIFY(!path.isEmpty());
        FakeHttpServer server([&](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{status, reply}; });
        QVERIFY(server.listen());
        CapturedLog log;
        CKorva3Doc doc(path);
        QSignalSpy confirmationsChanged(&doc, &CKorva3Doc::confirmationsChanged);
        LotwSync sync(doc);
        sync.client().setBaseUrl(server.url(QStringLiteral("/lotwuser/")));
        QSignalSpy finished(&sync, &LotwSync::finished);

        sync.download({QStringLiteral("K1ABC"), kPassword, QString()});
        const ServiceOutcome result = outcomeOf(finished);
        QCOMPARE(result.ok ? result.words() : result.error, outcome);
        QCOMPARE(::states(doc), states);
        QCOMPARE(confirmationsChanged.size(), result.ok ? 1 : 0);
        // The statistics follow: under "card or LoTW" the LoTW QSL confirms entity 230.
        QCOMPARE(SqlHelpers::rows(path, "SELECT SUM(COUNTW), SUM(COUNTC) FROM DXCCREPORT WHERE DXCC = 230"),
                 QByteArray(result.confirmed == 1 ? "1|1" : "1|0"));
        QStringList listed;
        for (const QslStore::Unmatched &u : doc.UnmatchedConfirmations())
            listed.append(QStringList{u.service, u.call, u.start, u.band, u.mode}.join('|'));
        QCOMPARE(listed.join('\n').toUtf8(), unmatched);
        QCOMPARE(doc.LogbookValue(LotwSync::lastQslName(QStringLiteral("k1abc"))).has_value(), result.ok);
        if (result.matched == 1) {
            QCOMPARE(SqlHelpers::rows(path, "SELECT NAME || '=' || VALUE FROM QSOFIELDS WHERE QSO = 1 ORDER BY NAME"),
                     QByteArray("CREDIT_GRANTED=DXCC\nLOTW_QSLRDATE=20240302\nLOTW_QSL_RCVD=Y\nMODE=FT8"));
            QCOMPARE(SqlHelpers::rows(path, "SELECT CQZONE, GRID FROM QSOS WHERE ROWID = 1"), QByteArray("15|JO62QM"));
        }
        QCOMPARE(log.containing(kPassword), QStringList());
        QCOMPARE(log.containing(QString::fromLatin1(QUrl::toPercentEncoding(kPassword))), QStringList());
    }

    // The second download asks from the first one's newest QSL on; the QSL LoTW sends
    // again is matched again but confirms nothing new.
    void lotwDownloadsOnFromTheLastQsl()
    {
        TestDir dir;
        const QString path = makeLogbook(dir);
        QVERIFY(!path.isEmpty());
        FakeHttpServer server([](const FakeHttpServer::Request &) {
            return FakeHttpServer::Reply{200, lotwReport(qsl("DL1XYZ", "1200", "FT8"), 1, "2024-03-02 10:11:12")};
        });
        QVERIFY(server.listen());
        CKorva3Doc doc(path);
        LotwSync sync(doc);
        sync.client().setBaseUrl(server.url(QStringLiteral("/lotwuser/")));
        QSignalSpy finished(&sync, &LotwSync::finished);
        QStringList outcomes;
        for (int run = 0; run < 2; ++run) {
            sync.download({QStringLiteral("K1ABC"), kPassword, QStringLiteral("K1ABC")});
            outcomes.append(outcomeOf(finished).words());
        }
        QCOMPARE(outcomes, QStringList({"matched 1 (1 newly confirmed), unmatched 0, sent 0, refused 0",
                                        "matched 1 (0 newly confirmed), unmatched 0, sent 0, refused 0"}));
        QCOMPARE(server.requests().size(), 2);
        QCOMPARE(server.requests().at(0).query.hasQueryItem(QStringLiteral("qso_qslsince")), false);
        QCOMPARE(server.requests().at(1).query.queryItemValue(QStringLiteral("qso_qslsince"), QUrl::FullyDecoded),
                 QStringLiteral("2024-03-02 10:11:12"));
        QCOMPARE(server.requests().at(1).query.queryItemValue(QStringLiteral("qso_owncall")), QStringLiteral("K1ABC"));
    }

    void lotwUpload_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("afterUpload");
        QTest::addColumn<QString>("afterReadBack");
        QTest::newRow("uploaded, one not yet seen")
            << 0 << "matched 0 (0 newly confirmed), unmatched 0, sent 3, refused 0; TQSL: success: all QSOs submitted "
                    "were signed and uploaded (0)"
            << "- Q - -, - Q - -, - Q - -" << "- Y - -, - Q - -, - Y - -";
        // LoTW's own records also show QSOs another program uploaded: those are sent.
        QTest::newRow("rejected") << 2 << "TQSL: rejected by LoTW (2)" << "- - - -, - - - -, - - - -"
                                  << "- Y - -, - - - -, - Y - -";
        QTest::newRow("no connection") << 11 << "TQSL: LoTW connection error (no network or LoTW is unreachable) (11)"
                                       << "- - - -, - - - -, - - - -" << "- Y - -, - - - -, - Y - -";
    }
    // TQSL (a script of the same name on PATH) uploads the QSOs due; only those it
    // delivered are "uploaded, not yet seen" (Q), and only those the read-back of the
    // account's own records shows become sent (Y): G4AAA, missing there, stays Q.
    void lotwUpload()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, outcome);
        QFETCH(QString, afterUpload);
        QFETCH(QString, afterReadBack);
        TestDir dir;
        const QString path = makeLogbook(dir);
        QVERIFY(!path.isEmpty());
        const QString bin = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(TestDir::writeFile(bin + QStringLiteral("/tqsl"),
                                   QStringLiteral("#!/bin/sh\ncp \"$8\" \"%1/sent.adi\"\nexit %2\n").arg(dir.path()).arg(exitCode).toUtf8()));
        QVERIFY(QFile::setPermissions(bin + QStringLiteral("/tqsl"), QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray pathVariable = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ':' + pathVariable);
        const QByteArray own = lotwReport(qsl("DL1XYZ", "1220", "FT8", "2024-03-01 13:00:00")
                                              + qsl("JA1AA", "1400", "SSB", "2024-03-01 13:00:00"),
                                          2, "2024-03-01 13:00:00");
        FakeHttpServer server([&](const FakeHttpServer::Request &) { return FakeHttpServer::Reply{200, own}; });
        QVERIFY(server.listen());
        CKorva3Doc doc(path);
        LotwSync sync(doc);
        sync.client().setBaseUrl(server.url(QStringLiteral("/lotwuser/")));
        QSignalSpy finished(&sync, &LotwSync::finished);

        sync.upload(QStringLiteral("Home"), QStringLiteral("K1ABC"));
        const ServiceOutcome uploaded = outcomeOf(finished);
        qputenv("PATH", pathVariable);
        QCOMPARE(uploaded.ok ? uploaded.words() : uploaded.error, outcome);
        QCOMPARE(TestDir::readFile(dir.filePath(QStringLiteral("sent.adi"))).count("<EOR>"), 3);
        QCOMPARE(states(doc), afterUpload);

        sync.readBack({QStringLiteral("K1ABC"), kPassword, QString()});
        QVERIFY(outcomeOf(finished).ok);
        QCOMPARE(states(doc), afterReadBack);
        QCOMPARE(server.requests().at(0).query.queryItemValue(QStringLiteral("qso_qsl")), QStringLiteral("no"));
        // What LoTW does not show yet is not due again before a day has passed.
        QCOMPARE(doc.QsosDueForUpload(ConfirmationWriter::Service::Lotw, QStringLiteral("K1ABC")).size(),
                 exitCode == 0 ? 0 : 1);
    }

    // eQSL: the upload marks the QSOs sent only when eQSL reports no error; the inbox
    // confirms its matches and lists the rest.
    void eqsl()
    {
        TestDir dir;
        const QString path = makeLogbook(dir);
        QVERIFY(!path.isEmpty());
        const QByteArray inbox = "<PROGRAMID:4>eQSL<EOH>\n" + qsl("G4AAA", "1310", "CW") + qsl("VK9AA", "1310", "CW");
        QByteArray uploadPage = "<HTML>Error: Bad record<BR>Result: 2 out of 3 records added</HTML>";
        FakeHttpServer server([&](const FakeHttpServer::Request &request) {
            if (request.path.endsWith("ImportADIF.cfm"))
                return FakeHttpServer::Reply{200, uploadPage, "text/html"};
            if (request.path.endsWith(".adi"))
                return FakeHttpServer::Reply{200, inbox};
            return FakeHttpServer::Reply{200, "<A HREF=\"../downloadedfiles/k1abc.adi\">.ADI file</A>", "text/html"};
        });
        QVERIFY(server.listen());
        CKorva3Doc doc(path);
        EqslSync sync(doc);
        sync.client().setBaseUrl(server.url(QStringLiteral("/qslcard/")));
        QSignalSpy finished(&sync, &EqslSync::finished);
        QStringList outcomes;
        const auto run = [&](const std::function<void()> &start) {
            start();
            const ServiceOutcome outcome = outcomeOf(finished);
            outcomes.append((outcome.ok ? outcome.words() : outcome.error) + " / " + states(doc));
        };
        const EqslSync::Account account{QStringLiteral("K1ABC"), kPassword, QString()};
        run([&] { sync.upload(account); });
        uploadPage = "<HTML>Result: 3 out of 3 records added</HTML>";
        run([&] { sync.upload(account); });
        run([&] { sync.upload(account); });
        run([&] { sync.download(account); });
        QCOMPARE(outcomes,
                 QStringList({"eQSL refused 1 of 3 QSOs: Error: Bad record / - - - -, - - - -, - - - -",
                              "matched 0 (0 newly confirmed), unmatched 0, sent 3, refused 0 / - - - Y, - - - Y, - - - Y",
                              "matched 0 (0 newly confirmed), unmatched 0, sent 0, refused 0; no QSO waits for eQSL / "
                              "- - - Y, - - - Y, - - - Y",
                              "matched 1 (1 newly confirmed), unmatched 1, sent 0, refused 0 / - - - Y, - - Y Y, - - - Y"}));
        QCOMPARE(doc.UnmatchedConfirmations().size(), 1);
        QCOMPARE(doc.UnmatchedConfirmations().at(0).call, QStringLiteral("VK9AA"));
        QVERIFY(doc.LogbookValue(EqslSync::lastInboxName(QStringLiteral("K1ABC"))).has_value());
    }

    void clubLogOutbox_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("leftInLogbook");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("taken") << QList<int>{200} << "0" << 0 << false;
        QTest::newRow("rejected leaves the outbox") << QList<int>{400} << "1" << 0 << false;
        QTest::newRow("500 is sent again after a pause") << QList<int>{500, 200} << "3 0" << 0 << false;
        QTest::newRow("403 stops, the entry stays") << QList<int>{403} << "2" << 1 << true;
    }
    // A QSO the operator adds goes to Club Log at once; the logbook keeps it until Club
    // Log took or refused it, so a new sender (after a restart) finds what is left.
    void clubLogOutbox()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(QString, answers);
        QFETCH(int, leftInLogbook);
        QFETCH(bool, stopped);
        TestDir dir;
        const QString path = makeLogbook(dir);
        QVERIFY(!path.isEmpty());
        int request = 0;
        FakeHttpServer server([&](const FakeHttpServer::Request &) {
            const int status = statuses.value(request++, 200);
            return FakeHttpServer::Reply{status, status == 200 ? QByteArray("OK") : QByteArray("Failed")};
        });
        QVERIFY(server.listen());
        CapturedLog log;
        CKorva3Doc doc(path);
        doc.setClubLogOutbox(true);
        qint64 now = 0;
        QStringList seen;
        {
            ClubLogSender sender(doc);
            sender.client().setBaseUrl(server.url(QStringLiteral("/")));
            sender.setAccount({QStringLiteral("op@example.org"), kPassword, QStringLiteral("K1ABC"), QStringLiteral("key")});
            sender.setClock([&now] { return now; });
            QSignalSpy answered(&sender, &ClubLogSender::answered);
            sender.start();
            QVERIFY(doc.AddAdifRecord("<CALL:5>F5ABC<QSO_DATE:8>20240302<TIME_ON:4>0900<BAND:3>40m<MODE:2>CW<EOR>").added == 1);
            for (int i = 0; i < statuses.size(); ++i) {
                QTRY_COMPARE_WITH_TIMEOUT(answered.size(), i + 1, 10000);
                seen.append(QString::number(answered.at(i).at(1).value<ClubLogAnswer>().kind));
                now += sender.policy().pauseMs();
                sender.sendDue();
            }
            QCOMPARE(sender.isStopped(), stopped);
        }
        QCOMPARE(seen.join(' '), answers);
        QCOMPARE(doc.ReadOutbox().size(), leftInLogbook);
        const QString adif = server.requests().at(0).form().queryItemValue(QStringLiteral("adif"), QUrl::FullyDecoded);
        QVERIFY2(adif.startsWith("<QSO_DATE:8>20240302 ") && adif.contains("<CALL:5>F5ABC ") && adif.endsWith("<EOR>"),
                 qPrintable(adif));
        if (stopped) {
            ClubLogSender restarted(doc);
            restarted.client().setBaseUrl(server.url(QStringLiteral("/")));
            QSignalSpy empty(&restarted, &ClubLogSender::empty);
            restarted.start();
            QVERIFY(empty.wait(10000));
            QCOMPARE(doc.ReadOutbox().size(), 0);
        }
        QCOMPARE(log.containing(kPassword), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConfirmations)
#include "tst_confirmations.moc"
