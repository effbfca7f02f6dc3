#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <QString>

struct sqlite3;

// Opens a database file into one of the store's connection slots for the length of
// one operation, and closes it (leaving the slot null) when the scope ends, on every
// path. Declare it before the statements that use it, so they are finalized first.
//
// A slot that already holds a connection belongs to an enclosing SlotTransaction: the
// operation then runs on that connection, inside its transaction, and leaves it open.
//
// Only New Logbook and the generator's scripts make database files; every other open
// finds an existing file or fails, so a mistyped or vanished path never leaves an empty
// file behind.
//
// Every connection waits up to kBusyTimeoutMs for a lock another program holds (a
// backup, a reader, the sqlite3 shell, korva3-cli importing) before it gives up, and
// no wait lasts longer: a statement that gives up fails, and with it the transaction
// it belongs to. (SQLite itself lets a write whose cache had to go to the file while a
// reader held the logbook carry on in memory, and wait again at the next statement, so
// a long import would wait as long as the reader did.) Every wait given up is counted
// for the thread, so an operation can tell "another program holds the logbook" from
// other failures.
class SlotConnection
{
public:
    enum class Mode { Existing, Create, ReadOnly };
    static constexpr int kBusyTimeoutMs = 5000;

    // Waits for a lock given up on this thread so far; a write that failed while this
    // grew failed because another program held the database past the timeout.
    static quint64 lockWaitsGivenUp();

    // A logbook file by its path, as the file system names it.
    SlotConnection(sqlite3 *&slot, const QString &path, Mode mode = Mode::Existing);
    // The program database, by its relative name.
    SlotConnection(sqlite3 *&slot, const char *fileName);
    ~SlotConnection();
    SlotConnection(const SlotConnection &) = delete;
    SlotConnection &operator=(const SlotConnection &) = delete;

    bool isOpen() const { return m_open; }
    // True when the connection belongs to an enclosing transaction.
    bool isBorrowed() const { return m_borrowed; }
    sqlite3 *handle() const { return m_slot; }

    // The bytes SQLite is given for a path: the file system's own encoding, so the
    // file opened is the one the operator chose, whatever characters its name has.
    static QByteArray encodePath(const QString &path);

    // Opens a file on a connection of its own (not a slot): the caller closes it with
    // sqlite3_close, also after a failure. Null handle and false when it cannot be opened.
    static bool openFile(const QByteArray &fileName, Mode mode, sqlite3 *&db);

    // True when the file at `path` is an SQLite database, or one another program holds
    // locked. Asked of SQLite rather than read from the file: closing any descriptor of
    // a file ends every POSIX lock this process holds on it, so a plain open and close
    // of a database this program has open would take away its connections' locks.
    static bool holdsDatabase(const QString &path);

private:
    void open(const QByteArray &fileName, Mode mode);

    sqlite3 *&m_slot;
    bool m_open = false;
    bool m_borrowed = false;
};
