#include "CClusterView.h"

#include "ClusterSpotFilter.h"
#include "ClusterSpotModel.h"
#include "net/AppCredentials.h"
#include "platform/CommandIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The bands of the band filter, as the statuses label them.
const char *const kBands[] = {"160", "80", "60", "40", "30", "20", "17", "15", "12", "10", "6", "4", "2", "70", "23"};
const char *const kContinents[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
constexpr int kTextLines = 500;

QString describe(const ClusterSettings &settings)
{
    return QStringLiteral("%1:%2 as %3").arg(settings.host).arg(settings.port).arg(settings.call);
}

} // namespace

CClusterView::CClusterView(QWidget *parent)
    : QWidget(parent)
    , m_spots(new ClusterSpotModel(this))
    , m_filter(new ClusterSpotFilter(m_spots, this))
    , m_restatus(new QTimer(this))
{
    auto *top = new QHBoxLayout;
    m_connect = new QPushButton(QStringLiteral("Connect"), this);
    m_disconnect = new QPushButton(QStringLiteral("Disconnect"), this);
    m_state = new QLabel(this);
    top->addWidget(m_connect);
    top->addWidget(m_disconnect);
    top->addWidget(m_state, 1);

    m_table = new QTableView(this);
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSectionResizeMode(ClusterSpotModel::Comment, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(ClusterSpotModel::Spotter, QHeaderView::Interactive);
    const int digit = m_table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto &[column, characters] : {std::pair{ClusterSpotModel::Time, 6}, std::pair{ClusterSpotModel::Frequency, 10},
                                              std::pair{ClusterSpotModel::Call, 11}, std::pair{ClusterSpotModel::Entity, 18},
                                              std::pair{ClusterSpotModel::Status, 15}})
        m_table->setColumnWidth(column, digit * characters);

    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setMaximumBlockCount(kTextLines);
    m_commandLine = new QLineEdit(this);
    m_commandLine->setPlaceholderText(QStringLiteral("Cluster command, e.g. sh/dx 20 (Enter sends it)"));
    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_text, 1);
    lowerLayout->addWidget(m_commandLine);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_table);
    split->addWidget(lower);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildFilters());
    layout->addWidget(split, 1);
    layout->addWidget(buildLegend());

    connect(m_connect, &QPushButton::clicked, this, &CClusterView::connectToCluster);
    connect(m_disconnect, &QPushButton::clicked, this, &CClusterView::disconnectFromCluster);
    connect(m_commandLine, &QLineEdit::returnPressed, this, &CClusterView::sendCommand);
    // Double-click and Enter both activate a row.
    connect(m_table, &QAbstractItemView::activated, this, &CClusterView::chooseSpot);
    connect(&m_client, &ClusterClient::spotReceived, this, &CClusterView::addSpot);
    connect(&m_client, &ClusterClient::textReceived, this, [this](const QString &line) { addText(line); });
    connect(&m_client, &ClusterClient::stateChanged, this, [this] {
        showState();
        emit commandsChanged();
    });
    // The logbook's signals come in bursts (a QSO and its statistics): the statuses
    // are computed again once the burst is over.
    m_restatus->setSingleShot(true);
    m_restatus->setInterval(0);
    connect(&m_statuses, &SpotStatusCalculator::statusesChanged, m_restatus, qOverload<>(&QTimer::start));
    connect(m_restatus, &QTimer::timeout, this,
            [this] { m_spots->restatus([this](const DxSpot &spot) { return m_statuses.statusOf(spot); }); });
    showState();
}

CClusterView::~CClusterView()
{
    disconnect(&m_client, nullptr, this, nullptr);
}

QWidget *CClusterView::buildFilters()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_band = new QComboBox(row);
    m_band->addItem(QStringLiteral("All bands"), QString());
    for (const char *band : kBands)
        m_band->addItem(QString::fromLatin1(band), QString::fromLatin1(band));
    m_mode = new QComboBox(row);
    m_mode->addItem(QStringLiteral("All modes"), -2);
    m_mode->addItem(QStringLiteral("CW"), static_cast<int>(SpotStatus::ModeClass::Cw));
    m_mode->addItem(QStringLiteral("Phone"), static_cast<int>(SpotStatus::ModeClass::Phone));
    m_mode->addItem(QStringLiteral("Digital"), static_cast<int>(SpotStatus::ModeClass::Digital));
    m_continent = new QComboBox(row);
    m_continent->addItem(QStringLiteral("All continents"), QString());
    for (const char *continent : kContinents)
        m_continent->addItem(QString::fromLatin1(continent), QString::fromLatin1(continent));
    m_neededOnly = new QCheckBox(QStringLiteral("Needed only"), row);
    layout->addWidget(new QLabel(QStringLiteral("Band"), row));
    layout->addWidget(m_band);
    layout->addWidget(new QLabel(QStringLiteral("Mode"), row));
    layout->addWidget(m_mode);
    layout->addWidget(new QLabel(QStringLiteral("Continent"), row));
    layout->addWidget(m_continent);
    layout->addWidget(m_neededOnly);
    layout->addStretch(1);
    for (QComboBox *list : {m_band, m_mode, m_continent})
        connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this, &CClusterView::applyFilters);
    connect(m_neededOnly, &QCheckBox::toggled, this, &CClusterView::applyFilters);
    return row;
}

// Each status in its colour, and what italics mean.
QWidget *CClusterView::buildLegend()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    using Kind = SpotStatus::Kind;
    for (Kind kind : {Kind::NewEntity, Kind::NewBand, Kind::NewMode, Kind::Worked, Kind::Confirmed}) {
        auto *swatch = new QLabel(SpotStatus::text(kind), row);
        swatch->setObjectName(QStringLiteral("legend ") + SpotStatus::code(kind));
        swatch->setMargin(2);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, ClusterSpotModel::colourOf(kind));
        palette.setColor(QPalette::WindowText, Qt::black);
        swatch->setPalette(palette);
        layout->addWidget(swatch);
    }
    auto *before = new QLabel(QStringLiteral("italic, b4: call worked before on this band and mode"), row);
    QFont italic = before->font();
    italic.setItalic(true);
    before->setFont(italic);
    layout->addWidget(before);
    layout->addStretch(1);
    return row;
}

void CClusterView::applyFilters()
{
    m_filter->setBand(m_band->currentData().toString());
    const int modeClass = m_mode->currentData().toInt();
    m_filter->setModeClass(modeClass < -1 ? std::nullopt
                                          : std::optional<SpotStatus::ModeClass>(SpotStatus::ModeClass(modeClass)));
    m_filter->setContinent(m_continent->currentData().toString());
    m_filter->setNeededOnly(m_neededOnly->isChecked());
}

void CClusterView::setLogbook(CKorva3Doc *logbook)
{
    m_statuses.setLogbook(logbook);
}

void CClusterView::connectToCluster()
{
    const ClusterSettings settings = ClusterSettings::load();
    if (settings.host.isEmpty() || settings.call.isEmpty()) {
        m_settingsProblem = QStringLiteral("Set the cluster's host and your call in Setup, page \"DX Cluster\"");
        showState();
        return;
    }
    m_settingsProblem.clear();
    const QPointer<CClusterView> self(this);
    AppCredentials::store().readPassword(AppCredentials::clusterAccount(settings),
                                         [self, settings](const std::optional<QString> &password) {
                                             if (self)
                                                 self->m_client.connectToCluster(settings, password.value_or(QString()));
                                         });
}

void CClusterView::disconnectFromCluster()
{
    m_client.disconnectFromCluster();
}

void CClusterView::addSpot(const DxSpot &spot)
{
    m_spots->addSpot(spot, m_statuses.statusOf(spot));
}

void CClusterView::addText(const QString &line)
{
    m_text->appendPlainText(line);
}

void CClusterView::sendCommand()
{
    const QString command = m_commandLine->text().trimmed();
    if (command.isEmpty())
        return;
    if (!m_client.sendCommand(command)) {
        m_state->setText(QStringLiteral("Not connected: \"%1\" was not sent").arg(command));
        return;
    }
    addText(QStringLiteral("> ") + command);
    m_commandLine->clear();
}

void CClusterView::showState()
{
    const ClusterSettings settings = ClusterSettings::load();
    using State = ClusterClient::State;
    QString text;
    switch (m_client.state()) {
    case State::Disconnected:
        text = m_settingsProblem.isEmpty() ? QStringLiteral("Not connected") : m_settingsProblem;
        break;
    case State::Connecting: text = QStringLiteral("Connecting to %1").arg(describe(settings)); break;
    case State::LoggingIn: text = QStringLiteral("Logging in to %1").arg(describe(settings)); break;
    case State::Connected: text = QStringLiteral("Connected to %1").arg(describe(settings)); break;
    case State::WaitingToReconnect:
        text = QStringLiteral("%1; trying again in %2 s").arg(m_client.lastError()).arg(m_client.reconnectPause() / 1000);
        break;
    }
    m_state->setText(text);
    const bool idle = m_client.state() == State::Disconnected;
    m_connect->setEnabled(idle);
    m_disconnect->setEnabled(!idle);
}

void CClusterView::chooseSpot(const QModelIndex &index)
{
    const QModelIndex source = m_filter->mapToSource(index);
    if (source.isValid())
        emit spotChosen(m_spots->spotAt(source.row()), m_spots->statusAt(source.row()));
}

bool CClusterView::handlesCommand(int id) const
{
    return id == ID_CLUSTER_CONNECT || id == ID_CLUSTER_DISCONNECT || id == ID_CLUSTER_CLEAR;
}

bool CClusterView::commandEnabled(int id) const
{
    const bool idle = m_client.state() == ClusterClient::State::Disconnected;
    switch (id) {
    case ID_CLUSTER_CONNECT: return idle;
    case ID_CLUSTER_DISCONNECT: return !idle;
    default: return true;
    }
}

void CClusterView::onCommand(int id)
{
    switch (id) {
    case ID_CLUSTER_CONNECT: connectToCluster(); break;
    case ID_CLUSTER_DISCONNECT: disconnectFromCluster(); break;
    case ID_CLUSTER_CLEAR: m_spots->clear(); break;
    default: break;
    }
}
