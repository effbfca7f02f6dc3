#include "AccountsPage.h"

#include "net/CredentialStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

AccountsPage::AccountsPage(QWidget *parent)
    : QWidget(parent)
    , m_confirmed(new QComboBox(this))
    , m_tqsl(new QLineEdit(this))
    , m_clubLogCall(new QLineEdit(this))
    , m_clubLogKey(new QLineEdit(this))
{
    // In the order of ConfirmationSettings::ConfirmedMeans.
    m_confirmed->addItems({QStringLiteral("QSL card"), QStringLiteral("LoTW"), QStringLiteral("card or LoTW")});
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Confirmed means"), m_confirmed);
    for (int service = 0; service < ServiceCount; ++service) {
        m_user[service] = new QLineEdit(this);
        m_password[service] = new QLineEdit(this);
        m_password[service]->setEchoMode(QLineEdit::Password);
        m_password[service]->setPlaceholderText(QStringLiteral("kept in the secret store; type to change"));
        m_url[service] = new QLineEdit(this);
        const QString name = serviceName(static_cast<Service>(service));
        form->addRow(name + (service == ClubLog ? QStringLiteral(" e-mail") : QStringLiteral(" user")), m_user[service]);
        form->addRow(name + QStringLiteral(" password"), m_password[service]);
        form->addRow(name + QStringLiteral(" address"), m_url[service]);
        if (service == Lotw)
            form->addRow(QStringLiteral("TQSL program"), m_tqsl);
    }
    m_clubLogCall->setMaxLength(20);
    form->addRow(QStringLiteral("Club Log call"), m_clubLogCall);
    form->addRow(QStringLiteral("Club Log API key"), m_clubLogKey);
}

QString AccountsPage::serviceName(Service service)
{
    switch (service) {
    case Lotw: return QStringLiteral("LoTW");
    case Eqsl: return QStringLiteral("eQSL");
    case ClubLog:
    case ServiceCount: break;
    }
    return QStringLiteral("Club Log");
}

void AccountsPage::load(const ConfirmationSettings &settings)
{
    m_confirmed->setCurrentIndex(static_cast<int>(settings.confirmedMeans));
    m_user[Lotw]->setText(settings.lotwUser);
    m_url[Lotw]->setText(settings.lotwUrl);
    m_tqsl->setText(settings.tqslProgram);
    m_user[Eqsl]->setText(settings.eqslUser);
    m_url[Eqsl]->setText(settings.eqslUrl);
    m_user[ClubLog]->setText(settings.clubLogEmail);
    m_url[ClubLog]->setText(settings.clubLogUrl);
    m_clubLogCall->setText(settings.clubLogCallsign);
    m_clubLogKey->setText(settings.clubLogApiKey);
    for (QLineEdit *password : m_password)
        password->clear();
}

ConfirmationSettings AccountsPage::values() const
{
    // An emptied address or program returns to its default.
    const ConfirmationSettings defaults;
    const auto orDefault = [](const QLineEdit *edit, const QString &fallback) {
        const QString text = edit->text().trimmed();
        return text.isEmpty() ? fallback : text;
    };
    ConfirmationSettings settings;
    settings.confirmedMeans = static_cast<ConfirmationSettings::ConfirmedMeans>(m_confirmed->currentIndex());
    settings.lotwUser = m_user[Lotw]->text().trimmed();
    settings.lotwUrl = orDefault(m_url[Lotw], defaults.lotwUrl);
    settings.tqslProgram = orDefault(m_tqsl, defaults.tqslProgram);
    settings.eqslUser = m_user[Eqsl]->text().trimmed();
    settings.eqslUrl = orDefault(m_url[Eqsl], defaults.eqslUrl);
    settings.clubLogEmail = m_user[ClubLog]->text().trimmed();
    settings.clubLogUrl = orDefault(m_url[ClubLog], defaults.clubLogUrl);
    settings.clubLogCallsign = m_clubLogCall->text().trimmed().toUpper();
    settings.clubLogApiKey = m_clubLogKey->text().trimmed();
    return settings;
}

void AccountsPage::storePasswords(CredentialStore &store) const
{
    for (int service = 0; service < ServiceCount; ++service) {
        const QString password = m_password[service]->text();
        const QString user = m_user[service]->text().trimmed();
        if (!password.isEmpty() && !user.isEmpty())
            store.storePassword({serviceName(static_cast<Service>(service)), user}, password, [](bool) {});
    }
}
