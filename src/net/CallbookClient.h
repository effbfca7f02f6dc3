#pragma once

#include "CallbookLookup.h"
#include "CallbookSettings.h"

#include <QObject>
#include <QStringList>

#include <memory>

// The callbook of the settings for the windows: the service, user and address of
// CallbookSettings with the password from the credential store, behind one
// CallbookLookup for the whole run, so that its cache serves every logbook window.
// reload() takes changed settings; lookups asked while the password is still being
// read wait for it. Without a user name nothing is looked up and nothing is said.
class CallbookClient : public QObject
{
    Q_OBJECT

public:
    explicit CallbookClient(QObject *parent = nullptr);
    ~CallbookClient() override;

    void reload();
    bool isSetUp() const { return !m_settings.user.isEmpty(); }
    // "QRZ.com" or "HamQTH".
    QString serviceName() const;

    // Each call set up ends with one `answered`; one not set up is ignored.
    void lookup(const QString &call);

signals:
    void answered(const QString &call, const CallbookResult &result, const QString &status);

private:
    void passwordRead(const std::optional<QString> &password);
    void answerAll(const QStringList &calls, const CallbookResult &result, const QString &status);

    CallbookSettings m_settings;
    std::unique_ptr<CallbookLookup> m_lookup;
    QStringList m_waiting;
    bool m_reading = false;
    int m_generation = 0;
};
