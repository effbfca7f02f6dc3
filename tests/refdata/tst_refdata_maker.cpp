#include "common/SqlHelpers.h"
#include "common/TestDir.h"

#include "refdata/ProgramDatabaseMaker.h"

#include <QtTest>

using Status = ProgramDatabaseMaker::Status;

namespace {

const QByteArray kCountryLines = "QX,Sample d'Isle,999,EU,14,27,52.50,-4.25,-1.0,QX QX2(15) =QX1A[28];\n"
                                 "QY,Solo,998,AF,35,46,1.5,-2,+0.5,QY;\n";
const QByteArray kQslMgrLines = "CALL;MANAGER;\r\n3Y0J;LA7GIA;\r\nTX5S;N5IRL;2020\r\nTX5S;M0URX;\r\n";
const QByteArray kCounts = "SELECT (SELECT COUNT(*) FROM COUNTRIES), (SELECT COUNT(*) FROM PREFIXES), "
                           "(SELECT COUNT(*) FROM CALLS), (SELECT COUNT(*) FROM QSLMGRS)";

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// The program database made in one step from the base tables, the country file and the
// QSL manager list, as Korva3's first start makes it.
class MakerTest : public QObject
{
    Q_OBJECT

private slots:
    void realCountryFile();
    void failuresLeaveTheFolderAsItWas_data();
    void failuresLeaveTheFolderAsItWas();
    void whatStoodThereIsKeptAside();
    void isProgramDatabase_data();
    void isProgramDatabase();
    void aFailingStatementFailsAlone();
};

void MakerTest::realCountryFile()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("qslmgr.txt", kQslMgrLines));
    QList<int> progress;
    ProgramDatabaseMaker maker;
    maker.setProgressHandler([&progress](int percent) { progress.append(percent); });
    const auto result = maker.make(dir.path(), QLatin1String(ProgramDatabaseMaker::kDebianCountryFile),
                                   dir.filePath("qslmgr.txt"));
    QCOMPARE(result.status, Status::Made);
    QCOMPARE(result.databasePath, dir.filePath("korva3.sqlite3"));
    QVERIFY(result.keptAside.isEmpty());
    // 18701 exact-call aliases name 18645 distinct calls: 56 repeats fail on UNIQUE.
    QCOMPARE(result.refused, 56);
    QCOMPARE(SqlHelpers::rows(result.databasePath, kCounts), QByteArray("346|7738|18645|4"));
    QCOMPARE(SqlHelpers::rows(result.databasePath, "SELECT group_concat(PARAMETER || '=' || VALUE, ' ') FROM PARAMETERS"),
             QByteArray("utcoffset=0 AskYesNo=Y gridlocator=JN47QK rig=0 comm=1 adifexport=1 stationprofile=1"));
    QCOMPARE(SqlHelpers::rows(result.databasePath, "SELECT COUNTRY, LONGITUDE FROM COUNTRIES WHERE COUNTRYPREFIX = 'TU'"),
             QByteArray("Cote d'Ivoire|5.8"));
    QCOMPARE(progress.size(), 101);
    for (int i = 0; i < progress.size(); ++i)
        QCOMPARE(progress.at(i), i);
    QCOMPARE(folderEntries(dir.path()), QStringList({"korva3.sqlite3", "qslmgr.txt"}));
}

void MakerTest::failuresLeaveTheFolderAsItWas_data()
{
    QTest::addColumn<QByteArray>("countryFile"); // the file's bytes; "-" for none
    QTest::addColumn<QByteArray>("qslMgrList");
    QTest::addColumn<QString>("folder");         // below the test's folder
    QTest::addColumn<Status>("status");

    QTest::newRow("no country file") << QByteArray("-") << kQslMgrLines << "." << Status::CountryFileMissing;
    QTest::newRow("no QSL manager list") << kCountryLines << QByteArray("-") << "." << Status::QslMgrListMissing;
    QTest::newRow("no entity") << QByteArray("\nQZ,Short,1\n") << kQslMgrLines << "." << Status::NoEntities;
    QTest::newRow("folder cannot be written") << kCountryLines << kQslMgrLines << "gone/away" << Status::CannotCreate;
}

void MakerTest::failuresLeaveTheFolderAsItWas()
{
    QFETCH(QByteArray, countryFile);
    QFETCH(QByteArray, qslMgrList);
    QFETCH(QString, folder);
    QFETCH(Status, status);
    TestDir dir;
    QVERIFY(dir.isValid());
    if (countryFile != "-")
        QVERIFY(TestDir::writeFile("cty.csv", countryFile));
    if (qslMgrList != "-")
        QVERIFY(TestDir::writeFile("qslmgr.txt", qslMgrList));
    QVERIFY(TestDir::writeFile("korva3.sqlite3", "kept"));
    const QStringList before = folderEntries(dir.path());

    ProgramDatabaseMaker maker;
    const auto result = maker.make(dir.filePath(folder), dir.filePath("cty.csv"), dir.filePath("qslmgr.txt"));
    QCOMPARE(result.status, status);
    QVERIFY(result.keptAside.isEmpty());
    QCOMPARE(folderEntries(dir.path()), before);
    QCOMPARE(TestDir::readFile("korva3.sqlite3"), QByteArray("kept"));
}

void MakerTest::whatStoodThereIsKeptAside()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("cty.csv", kCountryLines));
    QVERIFY(TestDir::writeFile("qslmgr.txt", kQslMgrLines));
    QVERIFY(TestDir::writeFile("korva3.sqlite3", "not a database"));
    QVERIFY(TestDir::writeFile("korva3.sqlite3.invalid", "kept before"));

    ProgramDatabaseMaker maker;
    const auto result = maker.make(dir.path(), "cty.csv", "qslmgr.txt");
    QCOMPARE(result.status, Status::Made);
    QCOMPARE(result.keptAside, dir.filePath("korva3.sqlite3.invalid.2"));
    QCOMPARE(TestDir::readFile("korva3.sqlite3.invalid.2"), QByteArray("not a database"));
    QCOMPARE(TestDir::readFile("korva3.sqlite3.invalid"), QByteArray("kept before"));
    QCOMPARE(result.refused, 0);
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", kCounts), QByteArray("2|3|1|4"));
    QCOMPARE(SqlHelpers::rows("korva3.sqlite3", "SELECT CALL, DXCCID, CQZONE, ITUZONE FROM CALLS"),
             QByteArray("QX1A|999|NULL|28"));
}

void MakerTest::isProgramDatabase_data()
{
    QTest::addColumn<QByteArray>("sql"); // run into korva3.sqlite3; "-" for no file, "dir" for a folder
    QTest::addColumn<bool>("isProgramDatabase");

    const QByteArray parameters = "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"
                                  "INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('rig', '0');";
    const QByteArray countries = "CREATE TABLE COUNTRIES (ID INTEGER PRIMARY KEY, COUNTRYPREFIX TEXT);";
    QTest::newRow("missing") << QByteArray("-") << false;
    QTest::newRow("folder") << QByteArray("dir") << false;
    QTest::newRow("empty file") << QByteArray("") << false;
    QTest::newRow("logbook") << QByteArray("CREATE TABLE QSOS(ID INTEGER PRIMARY KEY);") << false;
    QTest::newRow("no countries") << parameters + countries << false;
    QTest::newRow("no parameters")
        << QByteArray("CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY);") + countries
               + "INSERT INTO COUNTRIES (COUNTRYPREFIX) VALUES ('QX');"
        << false;
    QTest::newRow("settings and countries")
        << parameters + countries + "INSERT INTO COUNTRIES (COUNTRYPREFIX) VALUES ('QX');" << true;
}

void MakerTest::isProgramDatabase()
{
    QFETCH(QByteArray, sql);
    QFETCH(bool, isProgramDatabase);
    TestDir dir;
    QVERIFY(dir.isValid());
    if (sql == "dir")
        QVERIFY(QDir().mkdir("korva3.sqlite3"));
    else if (sql.isEmpty())
        QVERIFY(TestDir::writeFile("korva3.sqlite3", ""));
    else if (sql != "-")
        QVERIFY(SqlHelpers::exec("korva3.sqlite3", sql));
    QCOMPARE(ProgramDatabaseMaker::isProgramDatabase(dir.filePath("korva3.sqlite3")), isProgramDatabase);
    if (sql == "-")
        QVERIFY(!QFile::exists("korva3.sqlite3"));
}

void MakerTest::aFailingStatementFailsAlone()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    const QStringList statements{"CREATE TABLE T (X TEXT UNIQUE);", "INSERT INTO T VALUES ('a');",
                                 "INSERT INTO T VALUES ('a');", "INSERT INTO T VALUES ('b');"};
    QCOMPARE(ProgramDatabaseMaker::runStatements("made.sqlite3", statements), 1);
    QCOMPARE(SqlHelpers::rows("made.sqlite3", "SELECT group_concat(X) FROM T"), QByteArray("a,b"));
    QCOMPARE(ProgramDatabaseMaker::runStatements(dir.filePath("no/folder.sqlite3"), statements), -1);
}

QTEST_GUILESS_MAIN(MakerTest)
#include "tst_refdata_maker.moc"
