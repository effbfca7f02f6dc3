#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// Setup's page of the DX cluster: the node's host and port, the call that logs in, its
// password (for nodes that ask for one), the commands sent after login, one a line,
// and whether to connect when Korva3 starts. The password goes to the credential
// store, never to the settings: the field stays empty and a password typed into it
// replaces the one kept.
class ClusterSetupPage : public QWidget
{
    Q_OBJECT

public:
    explicit ClusterSetupPage(QWidget *parent = nullptr);

    // The settings in force.
    void load();
    // Writes the settings, and the password when one was typed.
    void store();

    QLineEdit *hostEdit() const { return m_host; }
    QSpinBox *portBox() const { return m_port; }
    QLineEdit *callEdit() const { return m_call; }
    QLineEdit *passwordEdit() const { return m_password; }
    QPlainTextEdit *commandsEdit() const { return m_commands; }
    QCheckBox *autoConnectBox() const { return m_autoConnect; }

private:
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_call;
    QLineEdit *m_password;
    QPlainTextEdit *m_commands;
    QCheckBox *m_autoConnect;
};
