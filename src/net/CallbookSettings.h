#pragma once

#include <QString>
#include <QUrl>

#include <memory>

class CallbookService;
class QSettings;

// The callbook settings kept in the per-user settings store, section "Callbook". The
// password is no setting: the caller takes it from the credential store.
struct CallbookSettings
{
    QString service = QStringLiteral("qrz"); // "Service": "qrz" or "hamqth"
    QString user;                            // "User"
    QUrl url;                                // "Url": empty for the service's own address

    static CallbookSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    // The same in the program's settings store.
    static CallbookSettings load();
    void save() const;

    // The service these settings name, with the user, the address and `password`; none
    // for a service name that is not known.
    std::unique_ptr<CallbookService> createService(const QString &password) const;

    bool operator==(const CallbookSettings &other) const
    {
        return service == other.service && user == other.user && url == other.url;
    }
    bool operator!=(const CallbookSettings &other) const { return !(*this == other); }
};
