#include "common/QsoBuilder.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteTransaction.h"
#include "loggen/LogbookGenerator.h"

#include <QtTest>

using Record = Sqlite3DB::UM_RECORD;

namespace {

Record qso(const QString &date, const QString &time, const QString &call)
{
    return QsoBuilder().date(date).time(time).call(call).country(230);
}

QStringList calls(const QList<Record> &records)
{
    QStringList out;
    for (const Record &r : records)
        out.append(r.call);
    return out;
}

} // namespace

class TestQsos : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newLogbookHoldsItsTablesAndIndex();
    void insertReturnsTheRowIdAndQueryQsoReadsEveryField();
    void textsAreStoredAsTypedWhateverQuotesTheyHold();
    void textsAreStoredAsUtf8AndOlderOnesReadAsWindows1252();
    void queryQsoOfAMissingRowGivesOneEmptyRecord();
    void latestQsosAreTheNewestOldestFirst();
    void queriesByCountryAndByCallKeepTheirLimitOf100();
    void callSearchIsAPrefixLikeSearch();
    void callSearchListsTheNewestHoweverManyMatch_data();
    void callSearchListsTheNewestHoweverManyMatch();
    void updateWritesEveryColumnOfTheGivenRow();
    void deleteRemovesOnlyThatRow();
    void batchWritesZeroOneAndManyRows();
    void writesOnAFileWithoutTablesFail();
    void emptyInputIsRefusedNotRead();

private:
    Sqlite3DB m_db;
    TestDir *m_dir = nullptr;
    QString m_log;
};

void TestQsos::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    m_log = m_dir->filePath(QStringLiteral("log.sqlite3"));
    QVERIFY(m_db.CreateLogbook(m_log));
}

void TestQsos::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestQsos::newLogbookHoldsItsTablesAndIndex()
{
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY rowid"),
             QByteArray("table|QSOS\nindex|IDX_QSOS_CALL\ntable|DXCCREPORT\ntable|QSOFIELDS\nindex|IDX_QSOFIELDS_QSO\n"
                        "index|IDX_QSOS_DATETIME\nindex|IDX_QSOS_CALLNOCASE\nindex|IDX_QSOS_COUNTRY\n"
                        "index|IDX_QSOS_CQZONE"));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT sql FROM sqlite_master WHERE name = 'DXCCREPORT'"),
             QByteArray(Sqlite3DB::kCreateDxccReport));
    // A second creation on the same file fails: the tables exist.
    QVERIFY(!m_db.CreateLogbook(m_log));
    QVERIFY(!m_db.CreateLogbook(m_dir->filePath(QStringLiteral("no/such/dir/log.sqlite3"))));
}

void TestQsos::insertReturnsTheRowIdAndQueryQsoReadsEveryField()
{
    Record r = qso("2026-12-06", "14:05:00", "PA3XYZ");
    r.power = "100";
    r.cqZone = "14";
    r.grid = "JO22";
    r.qslSent = 4;
    r.qslRcvd = 2;
    r.name = "Jan";
    r.qth = "Delft";
    r.address1 = "Street 1";
    r.address2 = "2600 AA Delft";
    r.remarks = "first";
    r.qslMgr = "PA1MGR";
    r.iota = "EU-146";
    r.country = 263;
    r.rowId = 77; // never written
    QCOMPARE(m_db.InsertQso({r}, m_log).value_or(0), 1);
    QCOMPARE(m_db.InsertQso({qso("2026-12-06", "14:06:00", "DL1ABC")}, m_log).value_or(0), 2);

    QList<Record> out;
    m_db.QueryQso(out, 1, m_log);
    QCOMPARE(out.size(), 1);
    const Record &back = out.first();
    QCOMPARE(back.rowId, 1);
    QCOMPARE(QStringList({back.date, back.time, back.call, back.sent, back.rcvd, back.freq, back.band,
                          back.power, back.cqZone, back.grid, back.name, back.qth, back.address1,
                          back.address2, back.remarks, back.qslMgr, back.iota}),
             QStringList({"2026-12-06", "14:05:00", "PA3XYZ", "599", "579", "14.025", "20", "100", "14",
                          "JO22", "Jan", "Delft", "Street 1", "2600 AA Delft", "first", "PA1MGR", "EU-146"}));
    QCOMPARE(back.mode, 1);
    QCOMPARE(back.qslSent, 4);
    QCOMPARE(back.qslRcvd, 2);
    QCOMPARE(back.country, 263);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT ID, GRID, QSLSENT, QSLRCVD, CQZONE FROM QSOS WHERE ID = 1"),
             QByteArray("1|JO22|4|2|14"));
}

void TestQsos::textsAreStoredAsTypedWhateverQuotesTheyHold()
{
    Record r = qso("2026-12-06", "10:00:00", "EI5X'");
    r.name = "O'Neil";
    r.remarks = "'); DROP TABLE QSOS; --";
    const int id = m_db.InsertQso({r}, m_log).value_or(0);
    QVERIFY(id > 0);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, NAME, REMARKS FROM QSOS"),
             QByteArray("EI5X'|O'Neil|'); DROP TABLE QSOS; --"));

    r.name = "D'Arcy O''Brien";
    QVERIFY(m_db.UpdateQso({r}, m_log, id));
    QList<Record> out;
    m_db.QueryQso(out, id, m_log);
    QCOMPARE(out.first().name, QStringLiteral("D'Arcy O''Brien"));
    m_db.QueryQsosByCall(out, QStringLiteral("EI5X'"), m_log);
    QCOMPARE(calls(out), QStringList({"EI5X'"}));
}

void TestQsos::textsAreStoredAsUtf8AndOlderOnesReadAsWindows1252()
{
    Record r = qso("2026-12-06", "10:00:00", "OH2AB");
    r.name = QString::fromUtf8("Jérôme");
    r.qth = QString::fromUtf8("Москва");
    const int id = m_db.InsertQso({r}, m_log).value_or(0);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT hex(NAME), QTH FROM QSOS"), QByteArray("4AC3A972C3B46D65|Москва"));
    QList<Record> out;
    m_db.QueryQso(out, id, m_log);
    QCOMPARE(out.first().name, QString::fromUtf8("Jérôme"));
    QCOMPARE(out.first().qth, QString::fromUtf8("Москва"));
    // A text written in Windows-1252 (by Korva3 on Windows, before UTF-8) reads the same.
    QVERIFY(SqlHelpers::exec(m_log, "UPDATE QSOS SET NAME = 'J\xe9r\xf4me'"));
    m_db.QueryQso(out, id, m_log);
    QCOMPARE(out.first().name, QString::fromUtf8("Jérôme"));
}

void TestQsos::queryQsoOfAMissingRowGivesOneEmptyRecord()
{
    QList<Record> out{qso("2000-01-01", "00:00:00", "STALE")};
    m_db.QueryQso(out, 42, m_log);
    QCOMPARE(out.size(), 1);
    QCOMPARE(out.first().rowId, 42);
    QVERIFY(out.first().call.isEmpty());
    QVERIFY(out.first().date.isEmpty());
    QCOMPARE(out.first().mode, 0);
    QCOMPARE(out.first().country, 0);

    // Without the table nothing comes back at all.
    const QString foreign = m_dir->filePath(QStringLiteral("foreign.sqlite3"));
    m_db.QueryQso(out, 1, foreign);
    QVERIFY(out.isEmpty());
    QVERIFY(!QFileInfo::exists(foreign)); // reading never makes a file
}

void TestQsos::latestQsosAreTheNewestOldestFirst()
{
    // Inserted out of time order: the list follows date and time, not insertion.
    m_db.InsertQso({qso("2026-12-06", "10:00:00", "C")}, m_log);
    m_db.InsertQso({qso("2025-01-01", "23:59:59", "A")}, m_log);
    m_db.InsertQso({qso("2026-12-06", "09:00:00", "B")}, m_log);
    m_db.InsertQso({qso("2026-12-07", "00:00:00", "D")}, m_log);

    QList<Record> out;
    m_db.QueryLatestQsos(out, 30, m_log);
    QCOMPARE(calls(out), QStringList({"A", "B", "C", "D"}));
    m_db.QueryLatestQsos(out, 2, m_log);
    QCOMPARE(calls(out), QStringList({"C", "D"}));
    // A list record carries only the list's columns.
    QCOMPARE(out.last().rowId, 4);
    QCOMPARE(out.last().rcvd, QStringLiteral("579"));
    QCOMPARE(out.last().qslSent, 2);
    QVERIFY(out.last().band.isEmpty());
    QCOMPARE(out.last().country, 0);

    // An older QSO inserted last is not the newest.
    m_db.InsertQso({qso("2020-05-05", "12:00:00", "E")}, m_log);
    m_db.QueryLatestQsos(out, 1, m_log);
    QCOMPARE(calls(out), QStringList({"D"}));
}

void TestQsos::queriesByCountryAndByCallKeepTheirLimitOf100()
{
    QList<Record> many;
    for (int i = 0; i < 130; ++i) {
        Record r = qso("2026-01-01", QTime(0, 0).addSecs(i * 60).toString("HH:mm:ss"),
                       QStringLiteral("DL%1X").arg(i, 3, 10, QLatin1Char('0')));
        r.country = i % 2 ? 230 : 281;
        many.append(r);
    }
    sqlite3 *slot = nullptr;
    {
        SlotConnection db(slot, m_log);
        QVERIFY(m_db.InsertQsoBatch(many, db.handle()));
    }

    QList<Record> out;
    m_db.QueryQsosByCountry(out, 230, m_log);
    QCOMPARE(out.size(), 65);
    QCOMPARE(out.first().call, QStringLiteral("DL001X"));
    m_db.QueryQsosByCall(out, QString(), m_log);
    QCOMPARE(out.size(), 100);
    QCOMPARE(out.first().call, QStringLiteral("DL030X")); // the newest 100, oldest first
    QCOMPARE(out.last().call, QStringLiteral("DL129X"));
    m_db.QueryLatestQsos(out, 500, m_log);
    QCOMPARE(out.size(), 130);
}

void TestQsos::callSearchIsAPrefixLikeSearch()
{
    m_db.InsertQso({qso("2026-01-01", "10:00:00", "PA3ABC")}, m_log);
    m_db.InsertQso({qso("2026-01-01", "11:00:00", "PA3ABC/P")}, m_log);
    m_db.InsertQso({qso("2026-01-01", "12:00:00", "XPA3ABC")}, m_log);
    m_db.InsertQso({qso("2026-01-01", "13:00:00", "PB3ABC")}, m_log);
    m_db.InsertQso({qso("2026-01-01", "14:00:00", "pa3abd")}, m_log); // as a file gave it
    QList<Record> out;
    m_db.QueryQsosByCall(out, QStringLiteral("pa3a"), m_log);
    QCOMPARE(calls(out), QStringList({"PA3ABC", "PA3ABC/P", "pa3abd"}));
    m_db.QueryQsosByCall(out, QStringLiteral("P_3"), m_log);
    QCOMPARE(calls(out), QStringList({"PA3ABC", "PA3ABC/P", "PB3ABC", "pa3abd"}));
}

void TestQsos::callSearchListsTheNewestHoweverManyMatch_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("every call, read newest first") << "";
    QTest::newRow("a tenth of the calls, sorted") << "dl";
    QTest::newRow("a few calls") << "K1";
    QTest::newRow("no call") << "QQ";
}

// Whichever way the search reads, the list is that of the plain statement.
void TestQsos::callSearchListsTheNewestHoweverManyMatch()
{
    QFETCH(QString, prefix);
    const QString random = m_dir->filePath(QStringLiteral("random.sqlite3"));
    QVERIFY(LogbookGenerator(23).writeLogbook(random, 6000));
    QList<Record> out;
    QVERIFY(m_db.QueryQsosByCall(out, prefix, random));
    QByteArray found;
    for (const Record &record : out)
        found += (found.isEmpty() ? "" : "\n") + QByteArray::number(record.rowId);
    QCOMPARE(found, SqlHelpers::rows(random, "SELECT ROWID FROM (SELECT ROWID, DATE, TIME FROM QSOS NOT INDEXED WHERE CALL "
                                             "LIKE '" + prefix.toLatin1() + "%' ORDER BY DATE DESC, TIME DESC LIMIT 100) "
                                             "ORDER BY DATE, TIME"));
}

void TestQsos::updateWritesEveryColumnOfTheGivenRow()
{
    Record r = qso("2026-01-01", "10:00:00", "K1ABC");
    r.name = "Bob";
    r.iota = "NA-001";
    const int first = m_db.InsertQso({r}, m_log).value_or(0);
    const int second = m_db.InsertQso({qso("2026-01-01", "11:00:00", "K2XYZ")}, m_log).value_or(0);

    Record changed = qso("2026-01-02", "12:00:00", "K1ABD");
    changed.rowId = second; // the argument names the row, not the record
    changed.qslRcvd = 2;
    QVERIFY(m_db.UpdateQso({changed}, m_log, first));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT ID, DATE, CALL, NAME, IOTA, QSLRCVD FROM QSOS ORDER BY ID"),
             QByteArray("1|2026-01-02|K1ABD|||2\n2|2026-01-01|K2XYZ|||1"));
    // A row id that does not exist changes nothing and still succeeds.
    QVERIFY(m_db.UpdateQso({changed}, m_log, 99));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 2);
}

void TestQsos::deleteRemovesOnlyThatRow()
{
    m_db.InsertQso({qso("2026-01-01", "10:00:00", "A")}, m_log);
    m_db.InsertQso({qso("2026-01-01", "11:00:00", "B")}, m_log);
    QVERIFY(m_db.DeleteQso(1, m_log));
    QVERIFY(m_db.DeleteQso(1, m_log));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT ID, CALL FROM QSOS"), QByteArray("2|B"));
    QList<Record> out;
    m_db.QueryQso(out, 1, m_log);
    QCOMPARE(out.size(), 1);
    QVERIFY(out.first().call.isEmpty());
}

void TestQsos::batchWritesZeroOneAndManyRows()
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_log);
    QVERIFY(db.isOpen());
    QVERIFY(m_db.InsertQsoBatch({}, db.handle()));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);

    Record one = qso("2026-01-01", "10:00:00", "EI9'A");
    one.name = "O'Neil";
    QVERIFY(m_db.InsertQsoBatch({one}, db.handle()));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, NAME FROM QSOS"), QByteArray("EI9'A|O'Neil"));

    LogbookGenerator generator(7);
    const QList<Record> full = generator.take(500);
    QVERIFY(m_db.InsertQsoBatch(full, db.handle()));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 501);
    // More rows than one statement holds are written in several, in order.
    const QList<Record> more = generator.take(1201);
    {
        SqliteTransaction transaction(db.handle());
        QVERIFY(m_db.InsertQsoBatch(more, db.handle()));
        QVERIFY(transaction.commit());
    }
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 1702);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, DATE, TIME FROM QSOS WHERE ID = 502"),
             (more.first().call + "|" + more.first().date + "|" + more.first().time).toLatin1());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL FROM QSOS WHERE ID = 1702"), more.last().call.toLatin1());
}

void TestQsos::writesOnAFileWithoutTablesFail()
{
    const QString foreign = m_dir->filePath(QStringLiteral("empty.sqlite3"));
    QCOMPARE(m_db.InsertQso({qso("2026-01-01", "10:00:00", "A")}, foreign).value_or(0), 0);
    QVERIFY(!m_db.UpdateQso({qso("2026-01-01", "10:00:00", "A")}, foreign, 1));
    QVERIFY(!m_db.DeleteQso(1, foreign));
    QList<Record> out{qso("2000-01-01", "00:00:00", "STALE")};
    m_db.QueryLatestQsos(out, 30, foreign);
    QVERIFY(out.isEmpty());
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, foreign);
    QVERIFY(!m_db.InsertQsoBatch({qso("2026-01-01", "10:00:00", "A")}, db.handle()));
}

void TestQsos::emptyInputIsRefusedNotRead()
{
    QCOMPARE(m_db.InsertQso({}, m_log).value_or(0), 0);
    QVERIFY(!m_db.UpdateQso({}, m_log, 1));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);
}

QTEST_GUILESS_MAIN(TestQsos)
#include "tst_qsos.moc"
