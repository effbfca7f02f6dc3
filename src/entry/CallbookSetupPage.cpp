#include "CallbookSetupPage.h"

#include "net/AppCredentials.h"
#include "net/CallbookSettings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

CallbookSetupPage::CallbookSetupPage(QWidget *parent)
    : QWidget(parent)
    , m_service(new QComboBox(this))
    , m_user(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_url(new QLineEdit(this))
{
    m_service->addItem(QStringLiteral("QRZ.com"), QStringLiteral("qrz"));
    m_service->addItem(QStringLiteral("HamQTH"), QStringLiteral("hamqth"));
    m_user->setPlaceholderText(QStringLiteral("empty: no lookups"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("left empty, the one kept stays"));
    m_url->setPlaceholderText(QStringLiteral("empty: the service's own address"));
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Service"), m_service);
    form->addRow(QStringLiteral("User"), m_user);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QStringLiteral("Address"), m_url);
}

void CallbookSetupPage::load()
{
    const CallbookSettings settings = CallbookSettings::load();
    m_service->setCurrentIndex(std::max(0, m_service->findData(settings.service)));
    m_user->setText(settings.user);
    m_password->clear();
    m_url->setText(settings.url.toString());
}

void CallbookSetupPage::store()
{
    CallbookSettings settings;
    settings.service = m_service->currentData().toString();
    settings.user = m_user->text().trimmed();
    settings.url = QUrl(m_url->text().trimmed());
    settings.save();
    if (!m_password->text().isEmpty() && !settings.user.isEmpty())
        AppCredentials::store().storePassword(AppCredentials::callbookAccount(settings), m_password->text(),
                                              [](bool) {});
}
