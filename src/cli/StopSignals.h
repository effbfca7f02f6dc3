#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal while the object lives, so that a command
// that runs until it is stopped (Ctrl+C, a service manager's stop) ends as it would
// at its own end: its last lines written, its logbook closed. The previous handlers
// come back when the object goes.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
