#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QtTest>

namespace {

// The settings and code-list tables of a program database, as its base script makes them.
const char kBaseTables[] =
    "CREATE TABLE MODES (ID INTEGER PRIMARY KEY, MODENR INTEGER UNIQUE, MODE TEXT UNIQUE);"
    "INSERT INTO MODES(MODENR, MODE) VALUES (1, 'CW'),(2, 'SSB'),(3, 'RTTY'),(4, 'FM'),(5, 'AM');"
    "CREATE TABLE QSLSENT(ID INTEGER PRIMARY KEY, QSLNR INTEGER UNIQUE, QSL TEXT UNIQUE);"
    "INSERT INTO QSLSENT(QSLNR, QSL) VALUES (1, 'L'),(2, 'N'),(3, 'Y'),(4, 'D');"
    "CREATE TABLE QSLRCVD(ID INTEGER PRIMARY KEY, QSLNR INTEGER UNIQUE, QSL TEXT UNIQUE);"
    "INSERT INTO QSLRCVD(QSLNR, QSL) VALUES (1, 'N'),(2, 'Y');"
    "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"
    "INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('utcoffset', '-60'),('AskYesNo', 'Y'),"
    "('gridlocator', 'JN47QK'),('rig', '0'),('comm', '1'),('adifexport', '1');"
    "CREATE TABLE COUNTRIES (ID INTEGER PRIMARY KEY UNIQUE NOT NULL, COUNTRYPREFIX TEXT UNIQUE NOT NULL, "
    "COUNTRY TEXT UNIQUE NOT NULL, DXCCID INTEGER NOT NULL, CONTINENT TEXT NOT NULL, CQZONE TEXT NOT NULL, "
    "ITUZONE TEXT NOT NULL, LATITUDE FLOAT NOT NULL, LONGITUDE FLOAT NOT NULL, GMTDIFF FLOAT NOT NULL);"
    "CREATE TABLE QSLMGRS(ID INTEGER PRIMARY KEY UNIQUE NOT NULL, CALL TEXT NOT NULL, QSLMGR TEXT NOT NULL);";

QStringList entries(const QList<ProgramDb::UM_COMBOBOX> &list)
{
    QStringList out;
    for (const auto &entry : list)
        out.append(QString::number(entry.id) + QLatin1Char('=') + entry.text);
    return out;
}

} // namespace

class TestProgramDb : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parametersReadTheStoredValues();
    void parameterWritesUpdateOnlyExistingKeys();
    void parameterValuesHoldingQuotesAreStored();
    void parameterReadsReportAMissingOrBrokenDatabase();
    void codeListsLoadInTableOrderAndReplaceTheirContent();
    void codeListsOfAMissingDatabaseAreEmpty();
    void qslManagerMatchesTheWholeCallExactly();

private:
    // The value a read gives, or the store's reason when it fails.
    QByteArray parameter(const QByteArray &name)
    {
        const std::optional<QByteArray> value = m_db.GetParameter(name);
        return value ? *value : "failed: " + m_db.lastError().toUtf8();
    }
    // The manager a lookup gives; a failed lookup reads as none.
    QString manager(const QString &call) { return m_db.GetQslManager(call).value_or(QString()); }

    ProgramDb m_db;
    TestDir *m_dir = nullptr;
};

void TestProgramDb::init()
{
    m_dir = new TestDir;
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase, kBaseTables));
}

void TestProgramDb::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestProgramDb::parametersReadTheStoredValues()
{
    QCOMPARE(parameter("utcoffset"), QByteArray("-60"));
    QCOMPARE(parameter("AskYesNo"), QByteArray("Y"));
    QCOMPARE(parameter("gridlocator"), QByteArray("JN47QK"));
    QCOMPARE(parameter("adifexport"), QByteArray("1"));
    QCOMPARE(parameter("askyesno"), QByteArray()); // keys compare exactly
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase, "UPDATE PARAMETERS SET VALUE = NULL WHERE PARAMETER = 'rig'"));
    QCOMPARE(parameter("rig"), QByteArray());
}

void TestProgramDb::parameterWritesUpdateOnlyExistingKeys()
{
    QVERIFY(m_db.SetParameter(QStringLiteral("gridlocator"), QStringLiteral("JO22NC")));
    QCOMPARE(parameter("gridlocator"), QByteArray("JO22NC"));
    QVERIFY(m_db.SetParameter(QStringLiteral("nosuchkey"), QStringLiteral("5")));
    QCOMPARE(SqlHelpers::count(ProgramDb::kProgramDatabase, "PARAMETERS"), 6);
    QCOMPARE(parameter("nosuchkey"), QByteArray());
}

void TestProgramDb::parameterValuesHoldingQuotesAreStored()
{
    QVERIFY(m_db.SetParameter(QStringLiteral("gridlocator"), QStringLiteral("JN'47")));
    QCOMPARE(parameter("gridlocator"), QByteArray("JN'47"));
    QVERIFY(m_db.SetParameter(QStringLiteral("utcoffset"), QString::fromUtf8("é")));
    QCOMPARE(parameter("utcoffset"), QByteArray("\xC3\xA9")); // stored as UTF-8
    // The other keys are untouched: the quote did not reach the statement text.
    QCOMPARE(SqlHelpers::rows(ProgramDb::kProgramDatabase, "SELECT PARAMETER FROM PARAMETERS WHERE VALUE = 'JN''47'"),
             QByteArray("gridlocator"));
}

void TestProgramDb::parameterReadsReportAMissingOrBrokenDatabase()
{
    QVERIFY(QFile::remove(ProgramDb::kProgramDatabase));
    QCOMPARE(parameter("utcoffset"), QByteArray("failed: unable to open database file"));
    QVERIFY(!m_db.SetParameter(QStringLiteral("utcoffset"), QStringLiteral("0")));
    QVERIFY(!QFile::exists(ProgramDb::kProgramDatabase)); // reading never makes a file

    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase, "CREATE TABLE OTHER (X)"));
    QCOMPARE(parameter("utcoffset"), QByteArray("failed: no such table: PARAMETERS"));

    QVERIFY(QFile::remove(ProgramDb::kProgramDatabase));
    QVERIFY(QDir().mkdir(ProgramDb::kProgramDatabase)); // a folder cannot be opened
    QCOMPARE(parameter("utcoffset"), QByteArray("failed: unable to open database file"));
    QVERIFY(!m_db.SetParameter(QStringLiteral("utcoffset"), QStringLiteral("0")));
}

void TestProgramDb::codeListsLoadInTableOrderAndReplaceTheirContent()
{
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase,
                             "INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, "
                             "LATITUDE, LONGITUDE, GMTDIFF) VALUES ('DL','Fed. Rep. of Germany',230,'EU','14','28',"
                             "51.0,-10.0,-1.0),('*TA1','European Turkey',390,'EU','20','39',41.0,-29.0,-2.0),"
                             "('TR','C\xF4te d''Ivoire',428,'AF','35','46',7.6,5.6,0.0)"));
    QList<ProgramDb::UM_COMBOBOX> list;
    m_db.LoadCodeList(list, ProgramDb::kModesQuery);
    QCOMPARE(entries(list), QStringList({"1=CW", "2=SSB", "3=RTTY", "4=FM", "5=AM"}));
    m_db.LoadCodeList(list, ProgramDb::kModesQuery);
    QCOMPARE(list.size(), 5);
    m_db.LoadCodeList(list, ProgramDb::kQslSentQuery);
    QCOMPARE(entries(list), QStringList({"1=L", "2=N", "3=Y", "4=D"}));
    m_db.LoadCodeList(list, ProgramDb::kQslRcvdQuery);
    QCOMPARE(entries(list), QStringList({"1=N", "2=Y"}));
    m_db.LoadCodeList(list, ProgramDb::kCountriesQuery);
    QCOMPARE(entries(list), QStringList({"230=Fed. Rep. of Germany", "390=European Turkey",
                                         QString::fromUtf8("428=Côte d'Ivoire")}));
}

void TestProgramDb::codeListsOfAMissingDatabaseAreEmpty()
{
    QVERIFY(QFile::remove(ProgramDb::kProgramDatabase));
    QList<ProgramDb::UM_COMBOBOX> list{{1, QStringLiteral("stale")}};
    m_db.LoadCodeList(list, ProgramDb::kModesQuery);
    QVERIFY(list.isEmpty());
    QCOMPARE(manager(QStringLiteral("QX1AA")), QString());
}

void TestProgramDb::qslManagerMatchesTheWholeCallExactly()
{
    QCOMPARE(manager(QStringLiteral("QX1AA")), QString());
    QVERIFY(SqlHelpers::exec(ProgramDb::kProgramDatabase,
                             "INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES ('QX1AA/P','QX9MGR'),('QX1AA','QX2BB'),"
                             "('QX1AA','QX3CC'),('O''QX','QX4DD')"));
    QCOMPARE(manager(QStringLiteral("QX1AA")), QStringLiteral("QX2BB")); // the first row wins
    QCOMPARE(manager(QStringLiteral("QX1AA/P")), QStringLiteral("QX9MGR"));
    QCOMPARE(manager(QStringLiteral("qx1aa")), QString());
    QCOMPARE(manager(QStringLiteral("QX1A")), QString());
    QCOMPARE(manager(QStringLiteral("O'QX")), QStringLiteral("QX4DD"));
    QCOMPARE(manager(QStringLiteral("' OR '1'='1")), QString());
}

QTEST_GUILESS_MAIN(TestProgramDb)
#include "tst_programdb.moc"
