#pragma once

#include "net/ClusterClient.h"
#include "net/SpotStatusCalculator.h"
#include "platform/CommandTarget.h"

#include <QWidget>

class CKorva3Doc;
class ClusterSpotFilter;
class ClusterSpotModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;

// The DX Cluster window's content: the connection to the node of the settings, its
// spots newest first (the last 1,000) with their entity and status against a logbook,
// coloured by status with a legend, filters by band, mode class, continent and "needed
// only", the node's other lines, and a command line to the node. The statuses follow
// the logbook's changes. Choosing a spot (double-click or Enter) hands it on with
// spotChosen; the main window fills the entry form and tunes the radio.
class CClusterView : public QWidget, public CommandTarget
{
    Q_OBJECT

public:
    explicit CClusterView(QWidget *parent = nullptr);
    ~CClusterView() override;

    // The logbook the statuses are computed against; null for none.
    void setLogbook(CKorva3Doc *logbook);
    CKorva3Doc *logbook() const { return m_statuses.logbook(); }

    // Connects with the settings of Setup's "DX Cluster" page and the password kept for
    // its call; says in the state line what is missing.
    void connectToCluster();
    void disconnectFromCluster();
    ClusterClient &client() { return m_client; }

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    void onCommand(int id) override;

    // Controls, for tests.
    QTableView *spotTable() const { return m_table; }
    ClusterSpotModel *spots() const { return m_spots; }
    QComboBox *bandFilter() const { return m_band; }
    QComboBox *modeFilter() const { return m_mode; }
    QComboBox *continentFilter() const { return m_continent; }
    QCheckBox *neededOnlyBox() const { return m_neededOnly; }
    QLineEdit *commandLine() const { return m_commandLine; }
    QLabel *stateLine() const { return m_state; }
    QPlainTextEdit *textPane() const { return m_text; }

signals:
    void spotChosen(const DxSpot &spot, const SpotStatus &status);
    // Connect and Disconnect changed whether they can run.
    void commandsChanged();

private:
    QWidget *buildFilters();
    QWidget *buildLegend();
    void applyFilters();
    void addSpot(const DxSpot &spot);
    void addText(const QString &line);
    void sendCommand();
    void showState();
    void chooseSpot(const QModelIndex &index);

    ClusterClient m_client;
    SpotStatusCalculator m_statuses;
    ClusterSpotModel *m_spots;
    ClusterSpotFilter *m_filter;
    QTimer *m_restatus;
    QString m_settingsProblem;
    QLabel *m_state = nullptr;
    QPushButton *m_connect = nullptr;
    QPushButton *m_disconnect = nullptr;
    QComboBox *m_band = nullptr;
    QComboBox *m_mode = nullptr;
    QComboBox *m_continent = nullptr;
    QCheckBox *m_neededOnly = nullptr;
    QTableView *m_table = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QLineEdit *m_commandLine = nullptr;
};
