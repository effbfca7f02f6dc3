#pragma once

#include "net/ServiceOutcome.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CKorva3Doc;
class CredentialStore;
class EqslSync;
class LotwSync;
class ClubLogSender;
class QProgressDialog;

// The LogBook menu's exchanges with LoTW, eQSL and Club Log for one document, and the
// list of confirmations that matched no QSO. Each exchange runs without blocking the
// window: a progress dialog shows how far it is, and its Cancel ends it (nothing of a
// download is written then). The outcome goes to the status bar; a failure is also told
// once. Passwords come from the secret store; where it has none the operator is asked
// once, and the answer is kept there (or for this session).
class CConfirmationCommands : public QObject
{
    Q_OBJECT

public:
    explicit CConfirmationCommands(CKorva3Doc *document);
    ~CConfirmationCommands() override;

    static bool handles(int id);
    bool isRunning() const;
    void run(int id);

    // The progress dialog of the exchange running, or null.
    QProgressDialog *progressDialog() const;

private:
    void withPassword(const QString &service, const QString &user, std::function<void(const QString &)> start);
    void begin(const QString &title, std::function<void()> cancel);
    void finished(const QString &title, const ServiceOutcome &outcome);
    void showUnmatched();

    CKorva3Doc *m_document;
    std::unique_ptr<LotwSync> m_lotw;
    std::unique_ptr<EqslSync> m_eqsl;
    std::unique_ptr<ClubLogSender> m_clubLog;
    QPointer<QProgressDialog> m_progress;
    bool m_running = false;
};
