#pragma once

#include <QObject>
#include <QTimer>

// The time-out of a reply: a single-shot timer that says `expired`. Tests put in one that
// expires when they say so, so that no test waits out a real time-out.
class ReplyTimer : public QObject
{
    Q_OBJECT

public:
    explicit ReplyTimer(QObject *parent = nullptr);

    virtual void start(int milliseconds);
    virtual void stop();

signals:
    void expired();

private:
    QTimer m_timer;
};
