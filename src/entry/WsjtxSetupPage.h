#pragma once

#include "net/WsjtxSettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Setup's page of WSJT-X, JTDX and JS8Call: whether Korva3 listens, on which UDP port,
// multicast group and network interface, whether it also takes plain ADIF datagrams
// on a second port, whether the entry form follows the programs, and the logbook
// their QSOs go into: the active one, or a file chosen here.
class WsjtxSetupPage : public QWidget
{
    Q_OBJECT

public:
    static const QString kActiveLogbook;

    // `recentLogbooks` are offered besides the active logbook.
    WsjtxSetupPage(const QStringList &recentLogbooks, QWidget *parent = nullptr);

    void load(const WsjtxSettings &settings);
    WsjtxSettings settings() const;

    QCheckBox *enabledCheck() const { return m_enabled; }
    QSpinBox *portSpin() const { return m_port; }
    QLineEdit *groupEdit() const { return m_group; }
    QLineEdit *interfaceEdit() const { return m_interface; }
    QCheckBox *secondaryCheck() const { return m_secondary; }
    QSpinBox *secondaryPortSpin() const { return m_secondaryPort; }
    QCheckBox *followCheck() const { return m_follow; }
    QComboBox *logbookList() const { return m_logbook; }

private:
    void chooseLogbook();
    void enableFields();

    QCheckBox *m_enabled = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_group = nullptr;
    QLineEdit *m_interface = nullptr;
    QCheckBox *m_secondary = nullptr;
    QSpinBox *m_secondaryPort = nullptr;
    QCheckBox *m_follow = nullptr;
    QComboBox *m_logbook = nullptr;
    QPushButton *m_browse = nullptr;
};
