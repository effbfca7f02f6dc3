#include "WsjtxSetupPage.h"

#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

const QString WsjtxSetupPage::kActiveLogbook = QStringLiteral("The active logbook");

namespace {

QSpinBox *makePortSpin(QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(1, 65535);
    return spin;
}

} // namespace

WsjtxSetupPage::WsjtxSetupPage(const QStringList &recentLogbooks, QWidget *parent)
    : QWidget(parent)
    , m_enabled(new QCheckBox(QStringLiteral("Log QSOs from WSJT-X, JTDX and JS8Call"), this))
    , m_port(makePortSpin(this))
    , m_group(new QLineEdit(this))
    , m_interface(new QLineEdit(this))
    , m_secondary(new QCheckBox(QStringLiteral("Also take ADIF datagrams on port"), this))
    , m_secondaryPort(makePortSpin(this))
    , m_follow(new QCheckBox(QStringLiteral("Follow WSJT-X"), this))
    , m_logbook(new QComboBox(this))
    , m_browse(new QPushButton(QStringLiteral("..."), this))
{
    m_group->setPlaceholderText(QStringLiteral("none, e.g. 239.255.0.1"));
    m_interface->setPlaceholderText(QStringLiteral("every interface"));
    m_follow->setToolTip(QStringLiteral("An empty entry form shows the DX call, frequency and mode of WSJT-X"));
    // Any path may be typed; the list offers the active logbook and those used lately.
    m_logbook->setEditable(true);
    m_logbook->setInsertPolicy(QComboBox::NoInsert);
    m_logbook->addItem(kActiveLogbook);
    m_logbook->addItems(recentLogbooks);
    m_logbook->setMinimumContentsLength(40);

    auto *secondaryRow = new QHBoxLayout;
    secondaryRow->addWidget(m_secondary);
    secondaryRow->addWidget(m_secondaryPort);
    secondaryRow->addStretch();
    auto *logbookRow = new QHBoxLayout;
    logbookRow->addWidget(m_logbook, 1);
    logbookRow->addWidget(m_browse);
    auto *form = new QFormLayout(this);
    form->addRow(m_enabled);
    form->addRow(QStringLiteral("UDP port"), m_port);
    form->addRow(QStringLiteral("Multicast group"), m_group);
    form->addRow(QStringLiteral("Interface"), m_interface);
    form->addRow(secondaryRow);
    form->addRow(m_follow);
    form->addRow(QStringLiteral("Logbook"), logbookRow);

    connect(m_enabled, &QCheckBox::toggled, this, [this] { enableFields(); });
    connect(m_secondary, &QCheckBox::toggled, this, [this] { enableFields(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { chooseLogbook(); });
    load(WsjtxSettings());
}

void WsjtxSetupPage::load(const WsjtxSettings &settings)
{
    m_enabled->setChecked(settings.enabled);
    m_port->setValue(settings.port);
    m_group->setText(settings.multicastGroup);
    m_interface->setText(settings.interfaceName);
    m_secondary->setChecked(settings.secondaryEnabled);
    m_secondaryPort->setValue(settings.secondaryPort);
    m_follow->setChecked(settings.follow);
    if (settings.logbook.isEmpty())
        m_logbook->setCurrentIndex(0);
    else
        m_logbook->setEditText(settings.logbook);
    enableFields();
}

WsjtxSettings WsjtxSetupPage::settings() const
{
    WsjtxSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.port = m_port->value();
    settings.multicastGroup = m_group->text().trimmed();
    settings.interfaceName = m_interface->text().trimmed();
    settings.secondaryEnabled = m_secondary->isChecked();
    settings.secondaryPort = m_secondaryPort->value();
    settings.follow = m_follow->isChecked();
    const QString logbook = m_logbook->currentText().trimmed();
    settings.logbook = logbook == kActiveLogbook ? QString() : logbook;
    return settings;
}

void WsjtxSetupPage::chooseLogbook()
{
    Prompter::FileRequest request;
    request.title = QStringLiteral("Logbook for WSJT-X");
    request.filter = QStringLiteral("Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||");
    request.defaultExtension = QStringLiteral("sqlite3");
    request.mustExist = true;
    const QString path = Prompter::current().chooseFile(request);
    if (!path.isEmpty())
        m_logbook->setEditText(path);
}

// The Status messages that the form follows come to the listener too.
void WsjtxSetupPage::enableFields()
{
    const bool listening = m_enabled->isChecked();
    for (QWidget *field : {static_cast<QWidget *>(m_port), static_cast<QWidget *>(m_group),
                           static_cast<QWidget *>(m_interface), static_cast<QWidget *>(m_secondary),
                           static_cast<QWidget *>(m_follow),
                           static_cast<QWidget *>(m_logbook), static_cast<QWidget *>(m_browse)})
        field->setEnabled(listening);
    m_secondaryPort->setEnabled(listening && m_secondary->isChecked());
}
