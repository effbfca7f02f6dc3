#include "common/TestDir.h"
#include "net/ConfirmationSettings.h"
#include "net/CredentialStore.h"
#include "platform/AppSettings.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const CredentialStore::Account kLotw{QStringLiteral("LoTW"), QStringLiteral("k1abc")};

// The password the store reads for the account, "(none)" when it knows none.
QString readBack(CredentialStore &store, const CredentialStore::Account &account)
{
    QString read;
    bool answered = false;
    store.readPassword(account, [&](const std::optional<QString> &password) {
        read = password.value_or(QStringLiteral("(none)"));
        answered = true;
    });
    return QTest::qWaitFor([&] { return answered; }, 30000) ? read : QStringLiteral("(no answer)");
}

bool store(CredentialStore &credentials, const QString &password)
{
    std::optional<bool> kept;
    credentials.storePassword(kLotw, password, [&](bool inSecretStore) { kept = inSecretStore; });
    return QTest::qWaitFor([&] { return kept.has_value(); }, 30000) ? *kept : true;
}

} // namespace

// Passwords for the session where no secret store answers, and the settings that hold
// everything but them.
class TestCredentialStore : public QObject
{
    Q_OBJECT

private slots:
    void sessionMemory()
    {
        CredentialStore credentials(CredentialStore::Backend::SessionMemory);
        QVERIFY(credentials.sessionOnly());
        QCOMPARE(readBack(credentials, kLotw), QStringLiteral("(none)"));
        QVERIFY(!store(credentials, QStringLiteral("secret")));
        QCOMPARE(readBack(credentials, kLotw), QStringLiteral("secret"));
        QCOMPARE(readBack(credentials, {QStringLiteral("eQSL"), QStringLiteral("k1abc")}), QStringLiteral("(none)"));
        credentials.forgetPassword(kLotw);
        QCOMPARE(readBack(credentials, kLotw), QStringLiteral("(none)"));
    }

    // With no session bus to reach, the desktop's store fails and the session's memory
    // takes over, saying so.
    void noSecretStoreAnswers()
    {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/korva3-test-bus");
        CredentialStore credentials(CredentialStore::Backend::SecretStore);
        QVERIFY(!credentials.sessionOnly());
        const bool inSecretStore = store(credentials, QStringLiteral("secret"));
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        QVERIFY(!inSecretStore);
        QVERIFY(credentials.sessionOnly());
        QVERIFY2(credentials.lastError().startsWith(QLatin1String("the desktop's secret store cannot be used (")),
                 qPrintable(credentials.lastError()));
        QCOMPARE(readBack(credentials, kLotw), QStringLiteral("secret"));
    }

    // The values under their names in section "Confirmations", and none of them a password.
    void settings()
    {
        TestDir dir;
        AppSettings::useFolder(dir.path());
        ConfirmationSettings changed{"k1abc", "https://127.0.0.1:1/", "/opt/tqsl", "K1ABC", "https://127.0.0.1:2/",
                                     "op@example.org", "K1ABC/P", "0123abcd", "https://127.0.0.1:3/",
                                     ConfirmationSettings::Lotw};
        changed.save();
        QCOMPARE(ConfirmationSettings::load(), changed);
        auto raw = AppSettings::open();
        QStringList values;
        for (const QString &key : raw->allKeys())
            values.append(key.section('/', 1) + '=' + raw->value(key).toString());
        QCOMPARE(values.join(' '), QStringLiteral("ClubLogApiKey=0123abcd ClubLogCallsign=K1ABC/P ClubLogEmail=op@example.org "
                                                  "ClubLogUrl=https://127.0.0.1:3/ ConfirmedMeans=1 EqslUrl=https://127.0.0.1:2/ "
                                                  "EqslUser=K1ABC LotwUrl=https://127.0.0.1:1/ LotwUser=k1abc TqslProgram=/opt/tqsl"));
        raw->setValue(QStringLiteral("Confirmations/ConfirmedMeans"), 7);
        raw->sync();
        QCOMPARE(ConfirmationSettings::load().confirmedMeans, ConfirmationSettings::CardOrLotw);
        AppSettings::useFolder(QString());
    }
};

QTEST_GUILESS_MAIN(TestCredentialStore)
#include "tst_credentialstore.moc"
