#include "SqlScriptRunner.h"
#include "common/TestDir.h"

#include "refdata/BasicTablesScript.h"
#include "refdata/CtyConversion.h"
#include "refdata/QslMgrConversion.h"

#include <QtTest>

// The real country file (hamradio-files 20230502) converted and loaded, with a small
// QSL manager list, into a fresh program database built from the base-tables script.
class RealCountryFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void counts();
    void knownRows_data();
    void knownRows();

private:
    TestDir *m_dir = nullptr;
    SqlScriptRunner *m_db = nullptr;
};

void RealCountryFileTest::initTestCase()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    QVERIFY2(QFile::copy("/usr/share/hamradio-files/cty.csv", "cty.csv"), "install hamradio-files");
    QVERIFY(TestDir::writeFile("qslmgr.txt", "CALL;MANAGER;\r\n3Y0J;LA7GIA;\r\nTX5S;N5IRL;2020\r\nTX5S;M0URX;\r\n"));
    QVERIFY(BasicTablesScript::run().isReady());
    QVERIFY(CtyConversion::run().isReady());
    QVERIFY(QslMgrConversion::run().isReady());
    m_db = new SqlScriptRunner("korva3.sqlite3");
    QVERIFY(m_db->isOpen());
    QCOMPARE(m_db->runScript("korva3.sql"), 0);
    QCOMPARE(m_db->runScript("qslmgr.sql"), 0);
    // 18701 exact-call aliases name 18645 distinct calls: 56 repeats fail on UNIQUE.
    QCOMPARE(m_db->runScript("cty.sql"), 56);
    QCOMPARE(m_db->runScript("cty.sql"), 56); // refills rather than adds
}

void RealCountryFileTest::cleanupTestCase()
{
    delete m_db;
    delete m_dir;
}

void RealCountryFileTest::counts()
{
    const QString sql = QStringLiteral("SELECT (SELECT COUNT(*) FROM COUNTRIES), (SELECT COUNT(*) FROM PREFIXES), "
                                       "(SELECT COUNT(*) FROM CALLS), (SELECT COUNT(*) FROM QSLMGRS)");
    QCOMPARE(m_db->firstRow(sql), (QStringList{"346", "7738", "18645", "4"}));
}

void RealCountryFileTest::knownRows_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("row");
    const QString country = QStringLiteral("SELECT COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, LATITUDE, "
                                           "LONGITUDE, GMTDIFF FROM COUNTRIES WHERE COUNTRYPREFIX = ");
    const QString prefix = QStringLiteral("SELECT DXCCID, CQZONE, ITUZONE FROM PREFIXES WHERE COUNTRYPREFIX = ");
    const QString call = QStringLiteral("SELECT DXCCID, CQZONE, ITUZONE FROM CALLS WHERE CALL = ");

    QTest::newRow("entity with apostrophe") << country + "'TU'"
        << QStringList{"Cote d'Ivoire", "428", "AF", "35", "46", "7.58", "5.8", "0.0"};
    QTest::newRow("signs as written") << country + "'1A'"
        << QStringList{"Sov Mil Order of Malta", "246", "EU", "15", "28", "41.9", "-12.43", "-1.0"};
    QTest::newRow("prefix") << prefix + "'K'" << QStringList{"291", "NULL", "NULL"};
    QTest::newRow("prefix with zones") << prefix + "'3H0'" << QStringList{"318", "23", "42"};
    QTest::newRow("prefix with ITU zone") << prefix + "'3H2A'" << QStringList{"318", "NULL", "33"};
    QTest::newRow("call with zones") << call + "'VE4AGT/M'" << QStringList{"291", "4", "7"};
    QTest::newRow("repeated call") << call + "'GB2ELH'" << QStringList{"279", "NULL", "NULL"};
    QTest::newRow("calls-only entity has no prefix row")
        << "SELECT (SELECT COUNT(*) FROM PREFIXES WHERE COUNTRYPREFIX = '3D2/c'), "
           "(SELECT COUNT(*) FROM CALLS WHERE DXCCID = 489)" << QStringList{"0", "5"};
    QTest::newRow("parameters")
        << "SELECT group_concat(PARAMETER || '=' || VALUE, ' ') FROM PARAMETERS"
        << QStringList{"utcoffset=-60 AskYesNo=Y gridlocator=JN47QK rig=0 comm=1 adifexport=1"};
    QTest::newRow("modes") << "SELECT group_concat(MODENR || '=' || MODE, ' ') FROM MODES"
                           << QStringList{"1=CW 2=SSB 3=RTTY 4=FM 5=AM"};
    QTest::newRow("managers") << "SELECT group_concat(CALL || '>' || QSLMGR, ' ') FROM QSLMGRS"
                              << QStringList{"CALL>MANAGER 3Y0J>LA7GIA TX5S>N5IRL TX5S>M0URX"};
}

void RealCountryFileTest::knownRows()
{
    QFETCH(QString, query);
    QFETCH(QStringList, row);
    QCOMPARE(m_db->firstRow(query), row);
}

QTEST_GUILESS_MAIN(RealCountryFileTest)
#include "tst_refdata_countryfile.moc"
