#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The DX cluster settings kept in the per-user settings store, section "DX Cluster".
// A password, when the cluster asks for one, is no setting: the caller takes it from the
// credential store and hands it to the client.
struct ClusterSettings
{
    static constexpr quint16 kDefaultPort = 7300;

    QString host;                 // "Host": name or address of the cluster node
    quint16 port = kDefaultPort;  // "Port"
    QString call;                 // "Call": the operator's call, the login
    QStringList commands;         // "Commands": sent after login, kept one per line
    bool autoConnect = false;     // "AutoConnect": connect when the program starts

    static ClusterSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    // The same in the program's settings store.
    static ClusterSettings load();
    void save() const;

    bool operator==(const ClusterSettings &other) const;
    bool operator!=(const ClusterSettings &other) const { return !(*this == other); }
};
