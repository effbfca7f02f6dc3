#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

// Setup's page of the callbook: the service (QRZ.com or HamQTH), the user name, its
// password and the service's address (empty: its own). The password goes to the
// credential store, never to the settings: the field stays empty and a password typed
// into it replaces the one kept.
class CallbookSetupPage : public QWidget
{
    Q_OBJECT

public:
    explicit CallbookSetupPage(QWidget *parent = nullptr);

    void load();
    void store();

    QComboBox *serviceList() const { return m_service; }
    QLineEdit *userEdit() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }
    QLineEdit *urlEdit() const { return m_url; }

private:
    QComboBox *m_service;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLineEdit *m_url;
};
