#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// Keeps Korva3 to one running instance per user. The first instance holds a lock file
// and listens on a local socket; a later one hands its logbook path (possibly empty,
// and holding whatever characters a file name may hold) to the first and ends without
// a window of its own.
class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit CSingleInstance(const QString &name, QObject *parent = nullptr);

    // True when this is the first instance. Otherwise `path` has been passed on to the
    // running one (which raises its window) and the caller should end.
    bool start(const QString &path);

signals:
    // Another start asked this instance to come forward and open `path` if not empty.
    void activationRequested(const QString &path);

private:
    void acceptConnection();
    static bool passOn(const QString &serverName, const QString &path);

    QString m_serverName;
    QLockFile m_lock;
    QLocalServer m_server;
};
