#pragma once

#include "CallbookResult.h"
#include "CallbookService.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QTimer;

// Stands in front of a callbook service for the entry form: each call is looked up at
// most once while the program runs (found and not found are kept; a call asked again is
// answered from the cache at once), a call already on its way is not asked twice, and
// every lookup is answered within the timeout, with "no answer" when the service is
// silent (its request is then dropped, so nothing waits for it). Each answer comes with
// a one-line text for the status bar.
class CallbookLookup : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 2000;

    explicit CallbookLookup(std::unique_ptr<CallbookService> service, QObject *parent = nullptr);
    ~CallbookLookup() override;

    CallbookService &service() const { return *m_service; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // Looks the call up (blanks dropped, in capitals); `answered` follows, at once when
    // the call is cached. An empty call is ignored.
    void lookup(const QString &call);
    // The kept answer for the call, if any.
    std::optional<CallbookResult> cached(const QString &call) const;

    // "QRZ.com: K1ABC found", "... not found", "...: user name or password refused",
    // "...: no answer", or the failure's message.
    static QString statusText(const QString &serviceName, const QString &call, const CallbookResult &result);

signals:
    void answered(const QString &call, const CallbookResult &result, const QString &status);

private:
    void onFinished(const QString &call, const CallbookResult &result);
    void onTimeout(const QString &call);
    void answer(const QString &call, const CallbookResult &result);

    std::unique_ptr<CallbookService> m_service;
    QHash<QString, CallbookResult> m_cache;
    QHash<QString, QTimer *> m_waiting;
    int m_timeoutMs = kTimeoutMs;
};
