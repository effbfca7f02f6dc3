#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// Opens a database file into one of the store's connection slots for the length of
// one operation, and closes it (leaving the slot null) when the scope ends, on every
// path. Declare it before the statements that use it, so they are finalized first.
class SlotConnection
{
public:
    // A logbook file by its path, as the file system names it.
    SlotConnection(sqlite3 *&slot, const QString &path);
    // The program database, by its relative name.
    SlotConnection(sqlite3 *&slot, const char *fileName);
    ~SlotConnection();
    SlotConnection(const SlotConnection &) = delete;
    SlotConnection &operator=(const SlotConnection &) = delete;

    bool isOpen() const { return m_open; }
    sqlite3 *handle() const { return m_slot; }

    // The bytes SQLite is given for a path: the file system's own encoding, so the
    // file opened is the one the operator chose, whatever characters its name has.
    static QByteArray encodePath(const QString &path);

private:
    void open(const QByteArray &fileName);

    sqlite3 *&m_slot;
    bool m_open = false;
};
