#include "CConfirmationCommands.h"

#include "document/CKorva3Doc.h"
#include "document/ImportProgress.h"
#include "net/ClubLogSender.h"
#include "net/ConfirmationSettings.h"
#include "net/CredentialStore.h"
#include "net/EqslSync.h"
#include "net/LotwSync.h"
#include "platform/CommandIds.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QProgressDialog>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The program's one store of passwords: its answers come later than the call.
CredentialStore &credentials()
{
    static CredentialStore *const store = new CredentialStore(CredentialStore::Backend::SecretStore, qApp);
    return *store;
}

} // namespace

CConfirmationCommands::CConfirmationCommands(CKorva3Doc *document)
    : m_document(document)
{
}

CConfirmationCommands::~CConfirmationCommands()
{
    delete m_progress;
}

bool CConfirmationCommands::handles(int id)
{
    return id >= ID_LOTW_DOWNLOAD && id <= ID_UNMATCHED_QSLS;
}

QProgressDialog *CConfirmationCommands::progressDialog() const
{
    return m_progress;
}

bool CConfirmationCommands::isRunning() const
{
    return m_running;
}

void CConfirmationCommands::run(int id)
{
    if (id == ID_UNMATCHED_QSLS) {
        showUnmatched();
        return;
    }
    if (m_running)
        return;
    const ConfirmationSettings settings = ConfirmationSettings::load();
    const std::optional<StationProfile> profile = m_document->ActiveStationProfile();
    const QString call = profile ? profile->value("STATION_CALLSIGN") : QString();
    if (!m_lotw) {
        m_lotw = std::make_unique<LotwSync>(*m_document);
        m_eqsl = std::make_unique<EqslSync>(*m_document);
        m_clubLog = std::make_unique<ClubLogSender>(*m_document);
        const auto showProgress = [this](int percent, const QString &stage) {
            if (m_progress) {
                m_progress->setLabelText(stage);
                m_progress->setValue(percent);
            }
        };
        connect(m_lotw.get(), &LotwSync::progress, this, showProgress);
        connect(m_eqsl.get(), &EqslSync::progress, this, showProgress);
    }
    m_lotw->client().setBaseUrl(QUrl(settings.lotwUrl));
    m_lotw->tqsl().setProgram(settings.tqslProgram);
    m_eqsl->client().setBaseUrl(QUrl(settings.eqslUrl));
    m_clubLog->client().setBaseUrl(QUrl(settings.clubLogUrl));
    const auto once = [this](auto *sync, auto signal, const QString &title) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(sync, signal, this, [this, connection, title](const ServiceOutcome &outcome) {
            disconnect(*connection);
            finished(title, outcome);
        });
    };
    switch (id) {
    case ID_LOTW_UPLOAD: {
        const QString location = profile ? profile->value("APP_KORVA3_LOTW_LOCATION") : QString();
        once(m_lotw.get(), &LotwSync::finished, QStringLiteral("LoTW upload"));
        begin(QStringLiteral("LoTW upload"), [this] { m_lotw->cancel(); });
        m_lotw->upload(location, call);
        break;
    }
    case ID_LOTW_DOWNLOAD:
        withPassword(QStringLiteral("LoTW"), settings.lotwUser, [this, settings, call, once](const QString &password) {
            once(m_lotw.get(), &LotwSync::finished, QStringLiteral("LoTW download"));
            begin(QStringLiteral("LoTW download"), [this] { m_lotw->cancel(); });
            m_lotw->download({settings.lotwUser, password, call});
        });
        break;
    case ID_EQSL_DOWNLOAD:
    case ID_EQSL_UPLOAD:
        withPassword(QStringLiteral("eQSL"), settings.eqslUser, [this, settings, id, once](const QString &password) {
            const QString title = id == ID_EQSL_UPLOAD ? QStringLiteral("eQSL upload") : QStringLiteral("eQSL download");
            once(m_eqsl.get(), &EqslSync::finished, title);
            begin(title, [this] { m_eqsl->cancel(); });
            const EqslSync::Account account{settings.eqslUser, password, QString()};
            id == ID_EQSL_UPLOAD ? m_eqsl->upload(account) : m_eqsl->download(account);
        });
        break;
    case ID_CLUBLOG_UPLOAD:
        withPassword(QStringLiteral("Club Log"), settings.clubLogEmail, [this, settings, once](const QString &password) {
            m_clubLog->setAccount({settings.clubLogEmail, password, settings.clubLogCallsign, settings.clubLogApiKey});
            once(m_clubLog.get(), &ClubLogSender::finished, QStringLiteral("Club Log upload"));
            begin(QStringLiteral("Club Log upload"), [this] { m_clubLog->client().cancel(); });
            m_clubLog->uploadLog();
        });
        break;
    default: break;
    }
}

// The password the secret store keeps for the account, else the one the operator types
// (kept then); nothing starts without an account or when the operator cancels.
void CConfirmationCommands::withPassword(const QString &service, const QString &user,
                                         std::function<void(const QString &)> start)
{
    if (user.isEmpty()) {
        Prompter::current().error(QStringLiteral("No %1 account: enter it on Setup's Accounts page.").arg(service));
        return;
    }
    m_running = true;
    const CredentialStore::Account account{service, user};
    credentials().readPassword(account, [this, service, user, account, start = std::move(start)](
                                            const std::optional<QString> &stored) {
        m_running = false;
        if (stored) {
            start(*stored);
            return;
        }
        bool given = false;
        const QString typed = QInputDialog::getText(QApplication::activeWindow(), service,
                                                    QStringLiteral("%1 password of %2:").arg(service, user),
                                                    QLineEdit::Password, QString(), &given);
        if (!given || typed.isEmpty())
            return;
        credentials().storePassword(account, typed, [](bool) {});
        start(typed);
    });
}

void CConfirmationCommands::begin(const QString &title, std::function<void()> cancel)
{
    m_running = true;
    m_progress = new QProgressDialog(title, QStringLiteral("Cancel"), 0, 100, QApplication::activeWindow());
    m_progress->setWindowTitle(title);
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    connect(m_progress, &QProgressDialog::canceled, this, [cancel = std::move(cancel)] { cancel(); });
    m_progress->show();
}

void CConfirmationCommands::finished(const QString &title, const ServiceOutcome &outcome)
{
    m_running = false;
    delete m_progress;
    ImportProgress::current().setStatusText(QStringLiteral("%1: %2").arg(title, outcome.ok ? outcome.words() : outcome.error));
    if (!outcome.ok)
        Prompter::current().error(QStringLiteral("%1: %2").arg(title, outcome.error));
}

// The confirmations that matched no QSO, as the logbook keeps them, in a list that
// follows each download.
void CConfirmationCommands::showUnmatched()
{
    auto *dialog = new QDialog(QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Unmatched confirmations - %1").arg(m_document->title()));
    auto *table = new QTableWidget(dialog);
    table->setObjectName(QStringLiteral("unmatchedList"));
    table->setColumnCount(6);
    table->setHorizontalHeaderLabels({QStringLiteral("Service"), QStringLiteral("Call"), QStringLiteral("QSO start (UTC)"),
                                      QStringLiteral("Band"), QStringLiteral("Mode"), QStringLiteral("Received")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    const auto fill = [this, table] {
        const QList<QslStore::Unmatched> list = m_document->UnmatchedConfirmations();
        table->setRowCount(static_cast<int>(list.size()));
        for (int row = 0; row < list.size(); ++row) {
            const QslStore::Unmatched &u = list.at(row);
            const QStringList cells{u.service, u.call, u.start, u.band, u.mode, u.received};
            for (int column = 0; column < cells.size(); ++column)
                table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        }
    };
    fill();
    connect(m_document, &CKorva3Doc::confirmationsChanged, table, fill);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    dialog->resize(640, 360);
    dialog->show();
}
