#include "ClusterSetupPage.h"

#include "net/AppCredentials.h"
#include "net/ClusterSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace {
const char kPasswordHint[] = "only for nodes that ask; left empty, the one kept stays";
} // namespace

ClusterSetupPage::ClusterSetupPage(QWidget *parent)
    : QWidget(parent)
    , m_host(new QLineEdit(this))
    , m_port(new QSpinBox(this))
    , m_call(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_commands(new QPlainTextEdit(this))
    , m_autoConnect(new QCheckBox(QStringLiteral("Connect when Korva3 starts"), this))
{
    m_host->setPlaceholderText(QStringLiteral("dxc.example.org"));
    m_port->setRange(1, 65535);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QLatin1String(kPasswordHint));
    m_commands->setPlaceholderText(QStringLiteral("one command a line, e.g. set/dx/filter"));
    m_commands->setTabChangesFocus(true);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Host"), m_host);
    form->addRow(QStringLiteral("Port"), m_port);
    form->addRow(QStringLiteral("Call"), m_call);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QStringLiteral("Commands after login"), m_commands);
    form->addRow(QString(), m_autoConnect);
}

void ClusterSetupPage::load()
{
    const ClusterSettings settings = ClusterSettings::load();
    m_host->setText(settings.host);
    m_port->setValue(settings.port);
    m_call->setText(settings.call);
    m_password->clear();
    m_commands->setPlainText(settings.commands.join(QLatin1Char('\n')));
    m_autoConnect->setChecked(settings.autoConnect);
}

void ClusterSetupPage::store()
{
    ClusterSettings settings;
    settings.host = m_host->text().trimmed();
    settings.port = static_cast<quint16>(m_port->value());
    settings.call = m_call->text().trimmed().toUpper();
    for (const QString &line : m_commands->toPlainText().split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            settings.commands.append(line.trimmed());
    }
    settings.autoConnect = m_autoConnect->isChecked();
    settings.save();
    if (!m_password->text().isEmpty())
        AppCredentials::store().storePassword(AppCredentials::clusterAccount(settings), m_password->text(),
                                              [](bool) {});
}
