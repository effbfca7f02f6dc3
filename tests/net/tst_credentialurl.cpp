#include "common/FakeHttpServer.h"
#include "common/TestDir.h"
#include "net/CredentialUrl.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

// Where credentials may go, and the local HTTPS fake every service test builds on: its
// certificate is refused until the client trusts it, so the checks stay on.
class TestCredentialUrl : public QObject
{
    Q_OBJECT

private slots:
    void addresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("https") << "https://lotw.arrl.org/lotwuser/lotwreport.adi" << true;
        QTest::newRow("http elsewhere") << "http://www.hamqth.com/xml.php" << false;
        QTest::newRow("http loopback") << "http://127.0.0.1:8080/xml.php" << true;
        QTest::newRow("http loopback 127/8") << "http://127.1.2.3/" << true;
        QTest::newRow("http localhost") << "http://LOCALHOST:99/" << true;
        QTest::newRow("http ipv6 loopback") << "http://[::1]:99/" << true;
        QTest::newRow("http lookalike") << "http://127.0.0.1.example.com/" << false;
        QTest::newRow("ftp") << "ftp://127.0.0.1/" << false;
        QTest::newRow("no host") << "https:///path" << false;
    }
    void addresses()
    {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        QString why;
        QCOMPARE(CredentialUrl::mayCarryCredentials(QUrl(url + QStringLiteral("?password=secret")), &why), allowed);
        QVERIFY(!why.contains(QLatin1String("secret")));
        if (!allowed)
            QVERIFY2(why.endsWith(QLatin1String("is no HTTPS address: the password is not sent there")), qPrintable(why));
    }

    void selfSignedCertificateIsTrustedOnlyWhenTheTestSaysSo()
    {
        TestDir dir;
        FakeHttpServer server([](const FakeHttpServer::Request &request) {
            return FakeHttpServer::Reply{200, "hello " + request.query.queryItemValue(QStringLiteral("u")).toUtf8(), "text/plain", false};
        });
        QVERIFY(server.listenTls(dir.path()));
        QNetworkAccessManager manager;
        QUrl url = server.url(QStringLiteral("/x"));
        url.setQuery(QStringLiteral("u=K1ABC"));

        QNetworkReply *refused = manager.get(QNetworkRequest(url));
        QSignalSpy refusedDone(refused, &QNetworkReply::finished);
        QVERIFY(refusedDone.wait(10000));
        QCOMPARE(refused->error(), QNetworkReply::SslHandshakeFailedError);
        refused->deleteLater();

        QNetworkRequest trusting(url);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificate(server.certificate());
        trusting.setSslConfiguration(tls);
        // A manager of its own: one keeps the refused connection's TLS state for the address.
        QNetworkAccessManager trustingManager;
        QNetworkReply *accepted = trustingManager.get(trusting);
        QSignalSpy acceptedDone(accepted, &QNetworkReply::finished);
        QVERIFY(acceptedDone.wait(10000));
        QCOMPARE(accepted->error(), QNetworkReply::NoError);
        QCOMPARE(accepted->readAll(), QByteArray("hello K1ABC"));
        QCOMPARE(server.requests().size(), 1);
        accepted->deleteLater();
    }
};

QTEST_GUILESS_MAIN(TestCredentialUrl)
#include "tst_credentialurl.moc"
