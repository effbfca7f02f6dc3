#include "ReplyTimer.h"

ReplyTimer::ReplyTimer(QObject *parent)
    : QObject(parent)
    , m_timer(this)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReplyTimer::expired);
}

void ReplyTimer::start(int milliseconds)
{
    m_timer.start(milliseconds);
}

void ReplyTimer::stop()
{
    m_timer.stop();
}
