#pragma once

#include "net/ConfirmationSettings.h"

#include <QWidget>

class CredentialStore;
class QComboBox;
class QLineEdit;

// Setup's page of the confirmation services: what counts as confirmed ("QSL card",
// "LoTW", "card or LoTW"), and the LoTW, eQSL and Club Log accounts with their base
// addresses. TQSL's station location belongs to the station profile. A password typed
// here goes to the CredentialStore, never to the settings; the fields show none, so an
// empty field keeps the password stored.
class AccountsPage : public QWidget
{
    Q_OBJECT

public:
    enum Service { Lotw, Eqsl, ClubLog, ServiceCount };

    explicit AccountsPage(QWidget *parent = nullptr);

    void load(const ConfirmationSettings &settings);
    ConfirmationSettings values() const;
    // The passwords typed, each into `store` under its service and user.
    void storePasswords(CredentialStore &store) const;

    QComboBox *confirmedList() const { return m_confirmed; }
    QLineEdit *userEdit(Service service) const { return m_user[service]; }
    QLineEdit *urlEdit(Service service) const { return m_url[service]; }
    QLineEdit *passwordEdit(Service service) const { return m_password[service]; }
    QLineEdit *clubLogCallEdit() const { return m_clubLogCall; }

    static QString serviceName(Service service);

private:
    QComboBox *m_confirmed;
    QLineEdit *m_user[ServiceCount];
    QLineEdit *m_password[ServiceCount];
    QLineEdit *m_url[ServiceCount];
    QLineEdit *m_tqsl;
    QLineEdit *m_clubLogCall;
    QLineEdit *m_clubLogKey;
};
