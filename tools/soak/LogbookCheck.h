#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

struct sqlite3;

// The soak run's own view of the logbook: a connection of its own that reads what the
// file holds, whatever the document said, and sets up the refusing trigger.
class LogbookCheck
{
public:
    explicit LogbookCheck(const QString &path);
    ~LogbookCheck();
    LogbookCheck(const LogbookCheck &) = delete;
    LogbookCheck &operator=(const LogbookCheck &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    // An index of its own on QSOS that answers the statistics of an entity without
    // reading its QSOs: the checks then cost little beside the step they check.
    bool addCheckIndex();
    QString lastError() const { return m_lastError; }

    qint64 qsoCount();
    qint64 highestRowId();
    // The row id at or after `from` (wrapping to the first), 0 when QSOS is empty.
    int existingRowId(qint64 from);
    // The QSO's call, band, mode, QSL received and entity, "|"-joined; empty when the
    // row does not exist.
    QByteArray qsoKey(int rowId);

    // The statistics as a rebuild gives them from the QSOs and as DXCCREPORT holds them,
    // for one entity (dxcc > 0) or for all; equal when the two agree.
    QByteArray statsFromQsos(int dxcc = 0);
    QByteArray statsInTable(int dxcc = 0);
    // The table's statistics of every entity, in the form above, by entity.
    QHash<int, QByteArray> statsInTableByEntity();
    // The entity of a QSO, -1 when the row does not exist.
    int entityOf(int rowId);
    // The entities of the QSOs after row `rowId`.
    QList<int> entitiesAfter(qint64 rowId);

    // "ok", or the first problems PRAGMA quick_check / integrity_check found.
    QByteArray quickCheck();
    QByteArray integrityCheck();

    // A trigger that refuses every `event` ("INSERT", "UPDATE", "DELETE") on `table`,
    // until dropRefusal().
    bool refuse(const char *event, const char *table);
    bool dropRefusal();

private:
    QByteArray rows(const QByteArray &sql, int bound = -1, bool bind = false);
    bool exec(const QByteArray &sql);

    sqlite3 *m_db = nullptr;
    QString m_lastError;
};
