#include "SlotConnection.h"

#include <QFile>

#include <sqlite3.h>

SlotConnection::SlotConnection(sqlite3 *&slot, const QString &path)
    : m_slot(slot)
{
    open(encodePath(path));
}

SlotConnection::SlotConnection(sqlite3 *&slot, const char *fileName)
    : m_slot(slot)
{
    open(QByteArray(fileName));
}

SlotConnection::~SlotConnection()
{
    // sqlite3_open hands out a handle even when it fails; it is closed all the same.
    sqlite3_close(m_slot);
    m_slot = nullptr;
}

QByteArray SlotConnection::encodePath(const QString &path)
{
    return QFile::encodeName(path);
}

void SlotConnection::open(const QByteArray &fileName)
{
    m_open = sqlite3_open(fileName.constData(), &m_slot) == SQLITE_OK;
}
