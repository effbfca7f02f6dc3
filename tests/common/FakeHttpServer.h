#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <memory>

// A web service of the test's own on 127.0.0.1: plain HTTP, or HTTPS with a self-signed
// certificate that the test trusts explicitly. Each request is answered by the handler
// the test gives, and kept for the test to look at. HTTP/1.1, one request per
// connection ("Connection: close"), bodies by Content-Length.
class FakeHttpServer
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;         // without the query
        QUrlQuery query;         // of the address
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
        // The fields of a form post (application/x-www-form-urlencoded), else empty.
        QUrlQuery form() const { return QUrlQuery(QString::fromUtf8(body).replace(QLatin1Char('+'), QLatin1Char(' '))); }
    };
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/plain; charset=utf-8";
        // Never answers: the client's own timeout must end the wait.
        bool silent = false;
    };
    using Handler = std::function<Reply(const Request &)>;

    explicit FakeHttpServer(Handler handler)
        : m_handler(std::move(handler))
    {
    }
    ~FakeHttpServer() = default;
    FakeHttpServer(const FakeHttpServer &) = delete;
    FakeHttpServer &operator=(const FakeHttpServer &) = delete;

    bool listen()
    {
        m_server = std::make_unique<QTcpServer>();
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(),
                         [this] { acceptAll(); });
        return m_server->listen(QHostAddress::LocalHost);
    }

    // HTTPS with a certificate for 127.0.0.1 made in `folder` with the openssl command and
    // signed by a new authority of the test's own. That authority is certificate(): the
    // test adds it to the client's trusted ones; a client that does not must refuse.
    bool listenTls(const QString &folder)
    {
        const QDir dir(folder);
        const QString caKey = dir.filePath(QStringLiteral("fake-ca-key.pem"));
        const QString caCert = dir.filePath(QStringLiteral("fake-ca.pem"));
        const QString key = dir.filePath(QStringLiteral("fake-key.pem"));
        const QString request = dir.filePath(QStringLiteral("fake.csr"));
        const QString cert = dir.filePath(QStringLiteral("fake-cert.pem"));
        const QString extensions = dir.filePath(QStringLiteral("fake.ext"));
        QFile ext(extensions);
        if (!ext.open(QIODevice::WriteOnly) || ext.write("subjectAltName=IP:127.0.0.1\n") < 0)
            return false;
        ext.close();
        const auto run = [](const QStringList &arguments) {
            QProcess openssl;
            openssl.start(QStringLiteral("openssl"), arguments);
            return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit
                && openssl.exitCode() == 0;
        };
        const QString days = QStringLiteral("2");
        if (!run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", days, "-subj", "/CN=Korva3 test authority",
                  "-keyout", caKey, "-out", caCert})
            || !run({"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", request})
            || !run({"x509", "-req", "-in", request, "-CA", caCert, "-CAkey", caKey, "-CAcreateserial", "-days", days,
                     "-extfile", extensions, "-out", cert}))
            return false;
        const QList<QSslCertificate> authority = QSslCertificate::fromPath(caCert);
        const QList<QSslCertificate> leaf = QSslCertificate::fromPath(cert);
        QFile keyFile(key);
        if (authority.isEmpty() || leaf.isEmpty() || !keyFile.open(QIODevice::ReadOnly))
            return false;
        m_certificate = authority.first();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(leaf.first());
        configuration.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem));
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(configuration);
        m_server = std::move(server);
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(),
                         [this] { acceptAll(); });
        return m_server->listen(QHostAddress::LocalHost);
    }

    const QSslCertificate &certificate() const { return m_certificate; }
    quint16 port() const { return m_server ? m_server->serverPort() : 0; }
    // The address of `path` on this server, http or https as it listens.
    QUrl url(const QString &path = QString()) const
    {
        QUrl url;
        url.setScheme(m_certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https"));
        url.setHost(QStringLiteral("127.0.0.1"));
        url.setPort(port());
        url.setPath(path.isEmpty() ? QStringLiteral("/") : path);
        return url;
    }
    const QList<Request> &requests() const { return m_requests; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }

private:
    void acceptAll()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                serve(socket, *buffer);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    // Answers once the whole request is in.
    void serve(QTcpSocket *socket, QByteArray &buffer)
    {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        const QUrl target(QString::fromLatin1(first.value(1)));
        request.path = target.path().toLatin1();
        request.query = QUrlQuery(target);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() < headEnd + 4 + length)
            return;
        request.body = buffer.mid(headEnd + 4, length);
        buffer.clear();
        m_requests.append(request);
        const Reply reply = m_handler(request);
        if (reply.silent)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + " Fake\r\nContent-Type: " + reply.contentType
                       + "\r\nContent-Length: " + QByteArray::number(reply.body.size())
                       + "\r\nConnection: close\r\n\r\n" + reply.body;
        socket->write(out);
        socket->disconnectFromHost();
    }

    Handler m_handler;
    std::unique_ptr<QTcpServer> m_server;
    QSslCertificate m_certificate;
    QList<Request> m_requests;
};
