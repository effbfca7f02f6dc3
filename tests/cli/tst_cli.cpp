#include "cli/CliRunner.h"
#include "common/FakeHttpServer.h"
#include "common/PrivateEnvironment.h"
#include "common/FakeCallbook.h"
#include "common/FakeCluster.h"
#include "common/QsoBuilder.h"
#include "common/SampleProgramDatabase.h"
#include "common/ScopedVariable.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "document/CKorva3Doc.h"
#include "faults/FileSizeLimit.h"
#include "faults/HeldLock.h"
#include "loggen/LogbookGenerator.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"
#include "wsjtxsim/WsjtxEncoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUdpSocket>
#include <QtTest>

namespace {

struct Result
{
    int exit;
    QString out;
    QString err;
};

Result runCli(const QStringList &arguments, QString input = QString())
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QTextStream inStream(&input);
    const QString before = QDir::currentPath();
    const int exit = CliRunner(outStream, errStream, &inStream).run(arguments);
    QDir::setCurrent(before); // -C changes the directory of this process
    outStream.flush();
    errStream.flush();
    return {exit, out, err};
}

// A QSO as WSJT-X (or, marking its UTC times as local, JTDX) sends it.
QByteArray wsjtxDatagram(WsjtxMessage::Kind kind, const QString &call, const QString &id = "WSJT-X")
{
    WsjtxMessage message = WsjtxEncoder::message(kind, id);
    const QDateTime off(QDate(2024, 3, 10), QTime(0, 0, 5), Qt::UTC);
    message.qso = {off, call, "FN42", 14074000, "FT8", "-10", "-12", "100", QString(), QString(), off.addSecs(-95),
                   QString(), "DL1XYZ", "JO62", QString(), QString(), QString()};
    message.adif = WsjtxEncoder::loggedAdifText(message.qso, id);
    return WsjtxEncoder(id == "JTDX" ? WsjtxEncoder::Times::MarkedLocal : WsjtxEncoder::Times::Utc).encode(message);
}

const QStringList kBands{"160", "80", "40", "30", "20", "17", "15", "12", "10", "6", "2"};

// The program database an import needs, in the current folder.
bool programDatabaseHere()
{
    return makeSampleProgramDatabase(QDir::current().filePath(QLatin1String(ProgramDb::kProgramDatabase)));
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void newCreatesALogbookAndRefusesAnExistingPath();
    void newReportsAFileThatCannotBeCreated();
    void rebuildAndStatsOfAFilledLogbook();
    void rebuildThatFailsExitsWithOne();
    void statsOfAnEmptyLogbookIsAllZeroAndBlank();
    void statsOfAFileWithoutTablesFails();
    void directoryOptionChoosesWhereRelativePathsLead();
    void resolvePrintsEachCallWithItsEntity();
    void resolveReadsCallsFromStandardInput();
    void infoPrintsTheCountryRecordAsJson();
    void infoWithoutRecordFails_data();
    void infoWithoutRecordFails();
    void locatorPrintsTheGridFieldLine_data();
    void locatorPrintsTheGridFieldLine();
    void resolutionNeedsTheProgramDatabase();
    void programDatabaseIsFoundHereOrAtHome_data();
    void programDatabaseIsFoundHereOrAtHome();
    void importAddsTheRecordsOfAFile();
    void services_data();
    void services();
    void importFailuresExitWithOne();
    void importIntoALogbookOfANewerVersionIsRefused();
    void backupIsWholeWhileAnotherProgramWrites();
    void logbookHeldByAnotherProgramIsSaid_data();
    void logbookHeldByAnotherProgramIsSaid();
    void exportWritesTheFileOfThePeriod();
    void exportFailureExitsWithOne();
    void fileSizeLimitFailsTheWriteWithItsMessage_data();
    void fileSizeLimitFailsTheWriteWithItsMessage();
    void digitalModesGoOutAsTheyCameIn();
    void clusterPrintsEachSpotWithItsStatus();
    void lookupPrintsTheRecord_data();
    void lookupPrintsTheRecord();
    void listenLogsWhatArrives_data();
    void listenLogsWhatArrives();
    void usageErrorsExitWithTwo_data();
    void usageErrorsExitWithTwo();
    void theProgramReportsThroughItsExitCode();
    void failuresAreLoggedWhenAskedFor_data();
    void failuresAreLoggedWhenAskedFor();
};

void TestCli::newCreatesALogbookAndRefusesAnExistingPath()
{
    TestDir dir;
    const Result created = runCli({"new", "log.sqlite3"});
    QCOMPARE(created.exit, 0);
    QCOMPARE(created.err, QString());
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY rowid"),
             QByteArray("QSOS\nIDX_QSOS_CALL\nDXCCREPORT\nQSOFIELDS\nIDX_QSOFIELDS_QSO\n"
                        "IDX_QSOS_DATETIME\nIDX_QSOS_CALLNOCASE\nIDX_QSOS_COUNTRY\nIDX_QSOS_CQZONE\n"
                        "LOGBOOKSTATE\nUNMATCHEDQSLS\nIDX_UNMATCHEDQSLS\nCLUBLOGOUTBOX\nIDX_QSOFIELDS_LOTW"));

    QFile existing("notes.sqlite3");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("not a database");
    existing.close();
    const Result refused = runCli({"new", "notes.sqlite3"});
    QCOMPARE(refused.exit, 1);
    QCOMPARE(refused.err, QStringLiteral("Database already exists\n"));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("not a database"));
}

void TestCli::newReportsAFileThatCannotBeCreated()
{
    TestDir dir;
    const Result result = runCli({"new", "missing/folder/log.sqlite3"});
    QCOMPARE(result.exit, 1);
    QCOMPARE(result.err, QStringLiteral("Database not created\n"));
}

void TestCli::rebuildAndStatsOfAFilledLogbook()
{
    TestDir dir;
    QVERIFY(LogbookGenerator(5).writeLogbook(dir.filePath("log.sqlite3"), 3000));
    const Result rebuilt = runCli({"rebuild", "log.sqlite3"});
    QCOMPARE(rebuilt.exit, 0);
    QCOMPARE(rebuilt.out, QStringLiteral("DXCC statistics rebuilt\n"));
    QVERIFY(SqlHelpers::count("log.sqlite3", "DXCCREPORT") > 0);

    const Result stats = runCli({"stats", "log.sqlite3"});
    QCOMPARE(stats.exit, 0);
    QVERIFY(stats.out.endsWith(QLatin1Char('\n')));
    const QJsonObject json = QJsonDocument::fromJson(stats.out.toUtf8()).object();
    QCOMPARE(json.value("qsos").toInt(), 3000);

    // Every figure agrees with the same counts taken straight from the QSOs.
    const QByteArray mixed = SqlHelpers::rows(
        "log.sqlite3", "SELECT COUNT(DISTINCT COUNTRY), COUNT(DISTINCT CASE WHEN QSLRCVD = 2 THEN COUNTRY END) "
                       "FROM QSOS WHERE COUNTRY > 0 AND MODE IN (1,2,3) AND BAND IN "
                       "('160','80','40','30','20','17','15','12','10','6','2')");
    const QJsonArray mixedPair = json.value("mixed").toArray();
    QCOMPARE(QByteArray::number(mixedPair[0].toInt()) + '|' + QByteArray::number(mixedPair[1].toInt()), mixed);
    const QByteArray cw20 = SqlHelpers::rows(
        "log.sqlite3", "SELECT COUNT(DISTINCT COUNTRY) FROM QSOS WHERE COUNTRY > 0 AND MODE = 1 AND BAND = '20'");
    QCOMPARE(QByteArray::number(json.value("bands").toObject().value("20").toObject().value("cw").toArray()[0].toInt()),
             cw20);

    const QJsonObject zones = json.value("cqzones").toObject();
    QCOMPARE(zones.keys().size(), 11);
    for (const QString &band : kBands) {
        const QString row = zones.value(band).toString();
        QCOMPARE(row.size(), 40);
        QVERIFY2(QRegularExpression("^[ WC]{40}$").match(row).hasMatch(), qPrintable(row));
    }
    QCOMPARE(zones.value("20").toString().count(QLatin1Char(' ')), 0); // 3000 QSOs reach every zone on 20 m
}

void TestCli::rebuildThatFailsExitsWithOne()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(SqlHelpers::exec("log.sqlite3", "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) "
                                            "VALUES (230, '20', 1, 5, 5);"
                                            "CREATE TRIGGER REFUSE BEFORE DELETE ON DXCCREPORT "
                                            "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    const Result failed = runCli({"rebuild", "log.sqlite3"});
    QCOMPARE(failed.exit, 1);
    QCOMPARE(failed.out, QString());
    QCOMPARE(failed.err, QStringLiteral("Error writing to database...\n"));
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "SELECT COUNTW FROM DXCCREPORT"), QByteArray("5"));
}

void TestCli::statsOfAnEmptyLogbookIsAllZeroAndBlank()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    const Result stats = runCli({"stats", "log.sqlite3"});
    QCOMPARE(stats.exit, 0);
    QString expected = QStringLiteral("{\"qsos\": 0, \"bands\": {");
    QStringList bandTexts;
    QStringList zoneTexts;
    for (const QString &band : kBands) {
        bandTexts.append("\"" + band + "\": {\"cw\":[0,0], \"ssb\":[0,0], \"rtty\":[0,0], \"total\":[0,0]}");
        zoneTexts.append("\"" + band + "\": \"" + QString(40, QLatin1Char(' ')) + "\"");
    }
    expected += bandTexts.join(", ") + "}, \"modes\": {\"cw\":[0,0], \"ssb\":[0,0], \"rtty\":[0,0]}, "
                "\"mixed\":[0,0], \"cqzones\": {" + zoneTexts.join(", ") + "}}\n";
    QCOMPARE(stats.out, expected);
}

void TestCli::statsOfAFileWithoutTablesFails()
{
    TestDir dir;
    QVERIFY(SqlHelpers::exec("plain.sqlite3", "CREATE TABLE OTHER (X)"));
    const Result stats = runCli({"stats", "plain.sqlite3"});
    QCOMPARE(stats.exit, 1);
    QCOMPARE(stats.out, QString());
    QCOMPARE(stats.err, QStringLiteral("Cannot read statistics\n"));

    const Result missing = runCli({"stats", "nosuch.sqlite3"});
    QCOMPARE(missing.exit, 1);
    QCOMPARE(missing.err, QStringLiteral("Logbook not found: nosuch.sqlite3\n"));
    QVERIFY(!QFile::exists("nosuch.sqlite3")); // no empty file left behind
    QCOMPARE(runCli({"rebuild", "nosuch.sqlite3"}).exit, 1);
}

void TestCli::directoryOptionChoosesWhereRelativePathsLead()
{
    TestDir dir;
    QVERIFY(QDir().mkdir("station"));
    QCOMPARE(runCli({"-C", "station", "new", "log.sqlite3"}).exit, 0);
    QVERIFY(QFile::exists("station/log.sqlite3"));
    QVERIFY(!QFile::exists("log.sqlite3"));

    const Result missing = runCli({"-C", "nowhere", "new", "log.sqlite3"});
    QCOMPARE(missing.exit, 1);
    QCOMPARE(missing.err, QStringLiteral("Cannot change to directory nowhere\n"));
}

void TestCli::resolvePrintsEachCallWithItsEntity()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build("korva3.sqlite3"));
    const Result result = runCli({"resolve", "DL1ABC", "F/DL1ABC", "4U1A/M", "DL1ABC/MM", "QQ1ABC", "DL1ABC"});
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out,
             QStringLiteral("DL1ABC\t230\nF/DL1ABC\t227\n4U1A/M\t206\nDL1ABC/MM\t0\nQQ1ABC\t0\nDL1ABC\t230\n"));

    // Typed like the entry form's call field: blanks dropped, upper case.
    QCOMPARE(runCli({"resolve", " ea8/dl1abc "}).out, QStringLiteral("EA8/DL1ABC\t29\n"));
}

void TestCli::resolveReadsCallsFromStandardInput()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build("korva3.sqlite3"));
    const Result result = runCli({"resolve"}, QStringLiteral("DL1ABC\n\n  \nF5XYZ\r\n4U1A"));
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.out, QStringLiteral("DL1ABC\t230\nF5XYZ\t227\n4U1A\t206\n"));

    QProcess cli;
    cli.start(KORVA3_CLI_PATH, {"-C", dir.path(), "resolve"});
    QVERIFY(cli.waitForStarted());
    cli.write("K0ABC\r\n\nVK9XX\n");
    cli.closeWriteChannel();
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput(), QByteArray("K0ABC\t291\nVK9XX\t35\n"));
}

void TestCli::infoPrintsTheCountryRecordAsJson()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build("korva3.sqlite3"));
    const QByteArray rowId = SqlHelpers::rows("korva3.sqlite3", "SELECT ROWID FROM COUNTRIES WHERE COUNTRYPREFIX = 'DL'");
    const Result dl = runCli({"info", "230", "DL1ABC"});
    QCOMPARE(dl.exit, 0);
    QCOMPARE(dl.out, "{\"rowId\": " + QString::fromLatin1(rowId)
                         + ", \"countryPrefix\": \"DL\", \"country\": \"Fed. Rep. of Germany\", \"dxccId\": 230, "
                           "\"continent\": \"EU\", \"cqZone\": \"14\", \"ituZone\": \"28\", \"latitude\": 51, "
                           "\"longitude\": -10, \"gmtDiff\": -1}\n");

    // Without an entity the record is empty but for the zones of the call's prefix.
    const Result none = runCli({"info", "0", "k0abc"});
    QCOMPARE(none.exit, 0);
    QCOMPARE(none.out, QStringLiteral("{\"rowId\": 0, \"countryPrefix\": \"\", \"country\": \"\", \"dxccId\": 0, "
                                      "\"continent\": \"\", \"cqZone\": \"4\", \"ituZone\": \"7\", \"latitude\": 0, "
                                      "\"longitude\": 0, \"gmtDiff\": 0}\n"));
    const QJsonObject parsed = QJsonDocument::fromJson(
        runCli({"info", "248", "I1ABC"}).out.toUtf8()).object();
    QCOMPARE(parsed.value("country").toString(), QStringLiteral("Italy"));
    QCOMPARE(parsed.value("latitude").toDouble(), 42.82);
}

void TestCli::infoWithoutRecordFails_data()
{
    QTest::addColumn<bool>("programDatabase"); // else one without the tables
    QTest::addColumn<QString>("entity");
    QTest::newRow("no country table") << false << "230";
    QTest::newRow("an entity the country file does not know") << true << "9999";
    QTest::newRow("a negative entity") << true << "-230";
}

void TestCli::infoWithoutRecordFails()
{
    QFETCH(bool, programDatabase);
    QFETCH(QString, entity);
    TestDir dir;
    if (programDatabase)
        QVERIFY(ProgramDatabaseBuilder::build("korva3.sqlite3"));
    else
        QVERIFY(SqlHelpers::exec("korva3.sqlite3", "CREATE TABLE COUNTRIES (X)"));
    const Result result = runCli({"info", entity, "W1AW"});
    QCOMPARE(result.exit, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QStringLiteral("No country information found for this call...\n"));
}

void TestCli::locatorPrintsTheGridFieldLine_data()
{
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("line");
    QTest::newRow("London to Connecticut") << "IO91WM" << "FN31PR" << u"  5414 km 3364 miles,  sp 289°, lp 109°"_qs;
    QTest::newRow("Connecticut to London") << "FN31PR" << "IO91WM" << u"  5414 km 3364 miles,  sp  52°, lp 232°"_qs;
    QTest::newRow("same locator") << "IO91WM" << "IO91WM" << u"  0 km 0 miles,  sp   0°, lp 180°"_qs;
    // Rounding leaves a tiny arc between these two equal positions.
    QTest::newRow("same locator, rounded") << "FN31PR" << "FN31PR" << u"  0 km 0 miles,  sp   0°, lp 180°"_qs;
    // Here the cosine of the arc rounds beyond 1.
    QTest::newRow("same locator, beyond 1") << "AA00AC" << "AA00AC" << u"  0 km 0 miles,  sp   0°, lp 180°"_qs;
    QTest::newRow("5 characters count as 4") << "IO91WM" << "IO91W" << u"  61 km 38 miles,  sp 268°, lp  88°"_qs;
    QTest::newRow("8 characters count as 6") << "IO91WM" << "IO91WMXX" << u"  0 km 0 miles,  sp   0°, lp 180°"_qs;
    QTest::newRow("other in lower case") << "IO91WM" << "fn31pr" << u"  5414 km 3364 miles,  sp 289°, lp 109°"_qs;
    QTest::newRow("own in lower case is 0, 0") << "io91wm" << "FN31PR" << u"  8581 km 5332 miles,  sp 313°, lp 133°"_qs;
    QTest::newRow("subsquare beyond X") << "IO91WM" << "IO91ZZ" << " No valid locator";
    QTest::newRow("field beyond R") << "IO91WM" << "JS12" << " No valid locator";
    QTest::newRow("too short") << "IO91WM" << "IO9" << " No valid locator";
}

void TestCli::locatorPrintsTheGridFieldLine()
{
    QFETCH(QString, own);
    QFETCH(QString, other);
    QFETCH(QString, line);
    TestDir dir; // reads no database
    const Result result = runCli({"locator", own, other});
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.out, line + QLatin1Char('\n'));
    QCOMPARE(result.err, QString());
    QVERIFY(!QFile::exists(ProgramDb::kProgramDatabase));
}

void TestCli::resolutionNeedsTheProgramDatabase()
{
    TestDir dir;
    for (const QStringList &arguments : {QStringList{"resolve", "DL1ABC"}, QStringList{"info", "230", "DL1ABC"}}) {
        const Result result = runCli(arguments);
        QCOMPARE(result.exit, 1);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err, QStringLiteral("Program database not found: korva3.sqlite3\n"));
    }
    QVERIFY(!QFile::exists("korva3.sqlite3")); // no empty one left behind
}

void TestCli::programDatabaseIsFoundHereOrAtHome_data()
{
    // Folders: "here" the current one, "station" the one -C names, "home" Korva3's in
    // the run's own XDG_DATA_HOME, "chosen" the one KORVA3_HOME names. The program database
    // expected is one that knows QX; a decoy elsewhere knows only DL.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("korva3Home");
    QTest::addColumn<QString>("expectedAt");
    QTest::addColumn<QString>("decoyAt");
    QTest::addColumn<QString>("said");
    QTest::newRow("here first") << QStringList() << QString() << "here" << "home"
                                << "Program database: <here>/korva3.sqlite3";
    QTest::newRow("none here: home") << QStringList() << QString() << "home" << QString()
                                     << "Program database: <home>/korva3.sqlite3";
    QTest::newRow("KORVA3_HOME") << QStringList() << "chosen" << "chosen" << "home"
                                 << "Program database: <chosen>/korva3.sqlite3";
    QTest::newRow("-C DIR") << QStringList{"-C", "station"} << QString() << "station" << "here"
                            << "Program database: <station>/korva3.sqlite3";
    QTest::newRow("-C DIR without one") << QStringList{"-C", "station"} << QString() << QString() << "home"
                                        << "Program database: none at <station>/korva3.sqlite3";
    QTest::newRow("nowhere") << QStringList() << QString() << QString() << QString()
                             << "Program database: none at <here>/korva3.sqlite3 nor at <home>/korva3.sqlite3";
}

// The installed program run in a folder, with settings, data and temporary folders of
// its own; its verbose line names the file it used.
void TestCli::programDatabaseIsFoundHereOrAtHome()
{
    QFETCH(QStringList, options);
    QFETCH(QString, korva3Home);
    QFETCH(QString, expectedAt);
    QFETCH(QString, decoyAt);
    QFETCH(QString, said);
    const PrivateEnvironment environment;
    TestDir dir;
    const QHash<QString, QString> folders{{"here", dir.path()},
                                          {"station", dir.filePath("station")},
                                          {"home", QDir(environment.dataHome()).filePath("Korva3")},
                                          {"chosen", dir.filePath("chosen")}};
    const ScopedVariable home("KORVA3_HOME", korva3Home.isEmpty() ? QString() : folders.value(korva3Home));
    for (const QString &folder : folders)
        QVERIFY(QDir().mkpath(folder));
    const auto databaseIn = [&](const QString &key) { return QDir(folders.value(key)).filePath("korva3.sqlite3"); };
    if (!expectedAt.isEmpty())
        QVERIFY(makeSampleProgramDatabase(databaseIn(expectedAt)));
    if (!decoyAt.isEmpty())
        QVERIFY(ProgramDatabaseBuilder::build(databaseIn(decoyAt)));

    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    cli.start(KORVA3_CLI_PATH, QStringList{"--verbose"} + options + QStringList{"resolve", "QX1A", "DL1ABC"});
    QVERIFY(cli.waitForFinished());
    QString expectedSaid = said;
    for (auto folder = folders.cbegin(); folder != folders.cend(); ++folder)
        expectedSaid.replace('<' + folder.key() + '>', folder.value());
    const QStringList err = QString::fromLocal8Bit(cli.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(err.value(0), expectedSaid);
    if (expectedAt.isEmpty()) {
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(err.value(1), QStringLiteral("Program database not found: korva3.sqlite3"));
    } else {
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(cli.readAllStandardOutput(), QByteArray("QX1A\t999\nDL1ABC\t0\n"));
    }
}

void TestCli::importAddsTheRecordsOfAFile()
{
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(TestDir::writeFile("in.adi", "Made by hand\n<eoh>\n<CALL:4>K1AB <NAME:6>O'Neil <EOR>\n"
                                         "<call:4>K2CD<band:3>20M<eor><CALL:4>K3EF"));
    const Result result = runCli({"import", "log.sqlite3", "in.adi"});
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.out, QStringLiteral("2 Qso Records added\n"));
    QCOMPARE(result.err, QString());
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "SELECT CALL, NAME, BAND FROM QSOS ORDER BY ROWID"),
             QByteArray("K1AB|O'Neil|\nK2CD||20"));

    // The same file again: its records are the QSOs already stored.
    const Result again = runCli({"import", "log.sqlite3", "in.adi"});
    QCOMPARE(again.exit, 0);
    QCOMPARE(again.out, QStringLiteral("0 Qso Records added, 2 duplicates skipped\n"));
    QCOMPARE(SqlHelpers::count("log.sqlite3", "QSOS"), 2);
}

void TestCli::importFailuresExitWithOne()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(TestDir::writeFile("one.adi", "<CALL:4>K1AB<EOR>"));
    const Result noProgramDatabase = runCli({"import", "log.sqlite3", "one.adi"});
    QCOMPARE(noProgramDatabase.exit, 1);
    QCOMPARE(noProgramDatabase.out, QString());
    QCOMPARE(noProgramDatabase.err, QStringLiteral("Program database not found: korva3.sqlite3. Records without DXCC "
                                                   "would get no entity: nothing imported\n"));
    QVERIFY(!QFile::exists("korva3.sqlite3")); // no empty program database left behind

    QVERIFY(programDatabaseHere());
    const Result missing = runCli({"import", "log.sqlite3", "nosuch.adi"});
    QCOMPARE(missing.exit, 1);
    QCOMPARE(missing.out, QString());
    QCOMPARE(missing.err, QStringLiteral("Cannot open Adif file...\n"));

    QVERIFY(TestDir::writeFile("text.adi", "no fields here\n"));
    const Result noHeader = runCli({"import", "log.sqlite3", "text.adi"});
    QCOMPARE(noHeader.exit, 1);
    QCOMPARE(noHeader.err, QStringLiteral("No end of the ADIF header (<EOH>) in text.adi: nothing imported\n"));

    QCOMPARE(runCli({"new", "refusing.sqlite3"}).exit, 0);
    QVERIFY(SqlHelpers::exec("refusing.sqlite3",
                             "CREATE TRIGGER REFUSE BEFORE INSERT ON QSOS BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const Result unwritable = runCli({"import", "refusing.sqlite3", "one.adi"});
    QCOMPARE(unwritable.exit, 1);
    QCOMPARE(unwritable.out, QString());
    QCOMPARE(unwritable.err, QStringLiteral("Error writing to database\n0 Qso Records added\n"));

    QVERIFY(SqlHelpers::exec("plain.sqlite3", "CREATE TABLE OTHER (X)"));
    const Result plain = runCli({"import", "plain.sqlite3", "one.adi"});
    QCOMPARE(plain.exit, 1);
    QCOMPARE(plain.out, QString());
    QCOMPARE(plain.err, QStringLiteral("plain.sqlite3 is no logbook: it has no table of QSOs.\n"));
    QCOMPARE(SqlHelpers::rows("plain.sqlite3", "SELECT name FROM sqlite_master"), QByteArray("OTHER"));

    // A file read only in part: what was read is stored, and the exit says it was not all.
    QVERIFY(TestDir::writeFile("cut.adx", "<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>K2CD</CALL></RECORD>"
                                          "<RECORD><CALL>K3EF"));
    const Result cut = runCli({"import", "log.sqlite3", "cut.adx"});
    QCOMPARE(cut.exit, 1);
    QCOMPARE(cut.err, QStringLiteral("The Adif file could not be read to its end (line 1: Premature end of document.): "
                                     "the records after that point are missing\n1 Qso Records added\n"));

    const Result noLogbook = runCli({"import", "nosuch.sqlite3", "one.adi"});
    QCOMPARE(noLogbook.exit, 1);
    QCOMPARE(noLogbook.err, QStringLiteral("Logbook not found: nosuch.sqlite3\n"));
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "SELECT CALL FROM QSOS"), QByteArray("K2CD"));
}

void TestCli::importIntoALogbookOfANewerVersionIsRefused()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(SqlHelpers::exec("log.sqlite3", "PRAGMA user_version = 999"));
    QVERIFY(TestDir::writeFile("one.adi", "<CALL:4>K1AB<QSO_DATE:8>20260101<EOR>"));
    for (const QStringList &arguments : {QStringList{"import", "log.sqlite3", "one.adi"}, {"rebuild", "log.sqlite3"}}) {
        const Result refused = runCli(arguments);
        QCOMPARE(refused.exit, 1);
        QVERIFY2(refused.err.startsWith("The logbook log.sqlite3 has schema version 999, newer than this Korva3 knows"),
                 qPrintable(refused.err));
    }
    QCOMPARE(SqlHelpers::count("log.sqlite3", "QSOS"), 0);
}

// A backup taken while korva3-cli imports into the logbook holds the logbook as it was
// before the import or after it, never between, and the folder keeps the newest ten.
void TestCli::backupIsWholeWhileAnotherProgramWrites()
{
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QVERIFY(LogbookGenerator(5).writeLogbook("source.sqlite3", 20000));
    QCOMPARE(runCli({"export", "source.sqlite3", "big.adi", "--period", "0"}).exit, 0);
    QVERIFY(LogbookGenerator(6).writeLogbook("log.sqlite3", 3000));
    QVERIFY(QDir().mkdir("backups"));
    for (int second = 0; second < 10; ++second) // older backups, the first the oldest
        QVERIFY(TestDir::writeFile(QStringLiteral("backups/log-2020-01-01-00000%1.sqlite3").arg(second), "old"));

    QProcess importer;
    importer.start(QStringLiteral(KORVA3_CLI_PATH), {"import", "log.sqlite3", "big.adi"});
    QVERIFY(importer.waitForStarted());
    do {
        const Result backup = runCli({"backup", "log.sqlite3", "backups"});
        QCOMPARE(backup.exit, 0);
        QVERIFY(backup.out.startsWith("Backup written: backups/log-"));
        const QString copy = backup.out.mid(16).trimmed();
        QCOMPARE(SqlHelpers::rows(copy, "PRAGMA integrity_check"), QByteArray("ok"));
        const int count = SqlHelpers::count(copy, "QSOS");
        QVERIFY2(count == 3000 || count == 23000, qPrintable(QString::number(count)));
    } while (!importer.waitForFinished(0)); // a look without waiting
    QCOMPARE(importer.exitCode(), 0);

    const QStringList kept = QDir("backups").entryList(QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 10);
    QVERIFY(!kept.contains("log-2020-01-01-000000.sqlite3"));
    const Result missing = runCli({"backup", "nosuch.sqlite3"});
    QCOMPARE(missing.err, QStringLiteral("Logbook not found: nosuch.sqlite3\n"));
}

void TestCli::logbookHeldByAnotherProgramIsSaid_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");
    const QString inUse = QStringLiteral("Error writing to database...\nThe logbook is in use by another program\n");
    QTest::newRow("import") << QStringList{"import", "log.sqlite3", "one.adi"} << inUse + "0 Qso Records added\n";
    QTest::newRow("rebuild") << QStringList{"rebuild", "log.sqlite3"} << inUse;
}

// Another program reads the logbook past the busy timeout: the write gives up and says
// why.
void TestCli::logbookHeldByAnotherProgramIsSaid()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(TestDir::writeFile("one.adi", "<EOH><CALL:4>K1AB<EOR>"));
    HeldLock reader("log.sqlite3", HeldLock::Kind::Read);
    QVERIFY(reader.isHeld());
    const Result result = runCli(arguments);
    QCOMPARE(result.exit, 1);
    QCOMPARE(result.err, err);
    QVERIFY(reader.isHeld());
}

void TestCli::exportWritesTheFileOfThePeriod()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    const QDate today = QDateTime::currentDateTimeUtc().date();
    QVERIFY(SqlHelpers::exec("log.sqlite3",
        "INSERT INTO QSOS (DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, CQZONE, GRID, QSLSENT, "
        "QSLRCVD, NAME, QTH, ADDRESS1, ADDRESS2, REMARKS, QSLMGR, IOTA, COUNTRY) VALUES "
        "('" + today.addDays(-3).toString(Qt::ISODate).toLatin1() + "','10:00:00','K1AB','','','14074','20',1,'','','',2,1,'','','','','','','',291),"
        "('" + today.addDays(-100).toString(Qt::ISODate).toLatin1() + "','10:00:00','K2CD','','','7.030','40',1,'','','',2,1,'','','','','','','',291)"));
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, "
                                               "VALUE TEXT); INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('adifexport', '5');"
                                               "CREATE TABLE COUNTRIES(DXCCID INTEGER)"));

    // The period of the program database: one week.
    const Result week = runCli({"export", "log.sqlite3", "week.adi"});
    QCOMPARE(week.exit, 0);
    QCOMPARE(week.out, QStringLiteral("Logbook log.sqlite3 exported to file week.adi\n"));
    const QByteArray weekFile = TestDir::readFile("week.adi");
    QCOMPARE(weekFile.count("<EOR>"), 1);
    QVERIFY(weekFile.contains("<CALL:4>K1AB"));
    QVERIFY(weekFile.contains("<FREQ:6>14.074"));

    // --period overrides it, before or after the files.
    QCOMPARE(runCli({"export", "--period", "0", "log.sqlite3", "all.adi"}).exit, 0);
    QCOMPARE(TestDir::readFile("all.adi").count("<EOR>"), 2);
    QCOMPARE(runCli({"export", "log.sqlite3", "year.adi", "--period", "1"}).exit, 0);
    QCOMPARE(TestDir::readFile("year.adi").count("<EOR>"), 2);
    QCOMPARE(runCli({"export", "log.sqlite3", "month.adi", "--period", "4"}).exit, 0);
    QCOMPARE(TestDir::readFile("month.adi").count("<EOR>"), 1);

    // What the CLI exports, it imports back.
    QCOMPARE(runCli({"new", "back.sqlite3"}).exit, 0);
    QCOMPARE(runCli({"import", "back.sqlite3", "all.adi"}).out, QStringLiteral("2 Qso Records added\n"));
}

void TestCli::exportFailureExitsWithOne()
{
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    const Result folder = runCli({"export", "log.sqlite3", "missing/out.adi"});
    QCOMPARE(folder.exit, 1);
    QCOMPARE(folder.out, QString());
    QCOMPARE(folder.err, QStringLiteral("Cannot create Adif file...\n"));

    QVERIFY(SqlHelpers::exec("plain.sqlite3", "CREATE TABLE OTHER (X)"));
    const Result unreadable = runCli({"export", "plain.sqlite3", "out.adi"});
    QCOMPARE(unreadable.exit, 1);
    QCOMPARE(unreadable.err, QStringLiteral("plain.sqlite3 is no logbook: it has no table of QSOs.\n"));
    QVERIFY(!QFile::exists("out.adi"));
    QVERIFY(!QFile::exists("korva3.sqlite3"));

    const Result database = runCli({"export", "log.sqlite3", "plain.sqlite3"});
    QCOMPARE(database.exit, 1);
    QCOMPARE(database.err, QStringLiteral("This file cannot be overwritten\n"));
    QCOMPARE(SqlHelpers::rows("plain.sqlite3", "SELECT name FROM sqlite_master"), QByteArray("OTHER"));
    const Result device = runCli({"export", "log.sqlite3", "/dev/null"});
    QCOMPARE(device.exit, 1);
    QCOMPARE(device.err, QStringLiteral("This file cannot be overwritten\n"));

    // A disk that fills up: said as it is, not blamed on the logbook.
    QVERIFY(LogbookGenerator(3).writeLogbook("full.sqlite3", 300));
    Result full;
    {
        FileSizeLimit limit(16 * 1024);
        if (!limit.isActive())
            QSKIP("the file size limit cannot be set here");
        full = runCli({"export", "full.sqlite3", "out.adi", "--period", "0"});
    }
    QCOMPARE(full.exit, 1);
    QCOMPARE(full.out, QString());
    QCOMPARE(full.err, QStringLiteral("Error writing Adif file...\n"));
    QVERIFY(!QFile::exists("out.adi"));
}

void TestCli::fileSizeLimitFailsTheWriteWithItsMessage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("import") << QStringList{"import", "log.sqlite3", "in.adi"}
                            << QByteArray("Error writing to database...\n0 Qso Records added\n");
    QTest::newRow("export") << QStringList{"export", "full.sqlite3", "out.adi", "--period", "0"}
                            << QByteArray("Error writing Adif file...\n");
}

// The real program under a shell's `ulimit -f`, SIGXFSZ at its default: the write fails
// and says so, instead of the kernel ending the program in the middle of it.
void TestCli::fileSizeLimitFailsTheWriteWithItsMessage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, err);
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QVERIFY(LogbookGenerator(3).writeLogbook("full.sqlite3", 600));
    QCOMPARE(runCli({"export", "full.sqlite3", "in.adi", "--period", "0"}).exit, 0);
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);

    QProcess cli;
    cli.setChildProcessModifier([] { FileSizeLimit::setInChild(64 * 1024); });
    cli.start(KORVA3_CLI_PATH, QStringList{"-C", dir.path()} + arguments);
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 1);
    QCOMPARE(cli.readAllStandardError(), err);
    QCOMPARE(SqlHelpers::count("log.sqlite3", "QSOS"), 0);
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "PRAGMA integrity_check"), QByteArray("ok"));
    QVERIFY(!QFile::exists("out.adi"));
}

// Confirmation services match an FT8 QSO by its mode: what a WSJT-X log says goes out
// again, with the fields the logbook has no column for.
void TestCli::digitalModesGoOutAsTheyCameIn()
{
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(TestDir::writeFile("wsjtx_log.adi",
                               "WSJT-X ADIF Export<eoh>\n"
                               "<call:5>K1ABC <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-15 "
                               "<qso_date:8>20261201 <time_on:6>183015 <qso_date_off:8>20261201 <time_off:6>183115 "
                               "<band:3>20m <freq:9>14.075123 <station_callsign:6>DL1XYZ <my_gridsquare:6>JO31AA <eor>\n"
                               "<call:5>K2ABC <mode:4>MFSK <submode:3>FT4 <qso_date:8>20261201 <time_on:6>184500 "
                               "<band:3>20m <freq:9>14.080500 <eor>\n"));
    QCOMPARE(runCli({"import", "log.sqlite3", "wsjtx_log.adi"}).out, QStringLiteral("2 Qso Records added\n"));
    QCOMPARE(runCli({"export", "log.sqlite3", "out.adi", "--period", "0"}).exit, 0);
    const QByteArray out = TestDir::readFile("out.adi");
    QVERIFY(out.contains("<MODE:3>FT8 "));
    QVERIFY(out.contains("<MODE:4>MFSK "));
    QVERIFY(out.contains(" <SUBMODE:3>FT4 <EOR>"));
    QVERIFY(out.contains("<TIME_OFF:6>183115 "));
    QVERIFY(out.contains(" <QSO_DATE_OFF:8>20261201 <STATION_CALLSIGN:6>DL1XYZ <MY_GRIDSQUARE:6>JO31AA <EOR>"));
    QVERIFY(!out.contains("RTTY"));
}

// Spots of a node on 127.0.0.1 against a logbook with Germany confirmed on 20 m in CW;
// the node's other lines print nothing, and the command ends after --count spots.
void TestCli::clusterPrintsEachSpotWithItsStatus()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build("korva3.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook("log.sqlite3"));
    {
        ScriptedPrompter prompter;
        Prompter::install(&prompter);
        QVERIFY(CKorva3Doc("log.sqlite3").AddQso(QsoBuilder().date("2026-01-02").time("10:00:00").call("DL1ABC")
                                                     .country(230).qslRcvd(2)) > 0);
        Prompter::install(nullptr);
    }
    FakeCluster cluster;
    cluster.answerLogins("K1ABC", "DX de K1TTT:     14025.0  JA1ABC       CW 599                         1234Z\a\r\n"
                                  "To ALL de DL0XX: hello\r\n"
                                  "DX de W3LPL-#:   14025.5  DL1ABC       up 2                           1235Z JO62\r\n"
                                  "DX de W3LPL-#:   14026.5  DL2ABC       never printed                  1236Z\r\n");
    const QString node = QStringLiteral("127.0.0.1:%1").arg(cluster.settings().port);
    const Result result = runCli({"cluster", node, "--call", "k1abc", "--logbook", "log.sqlite3", "--count", "2"});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exit, 0);
    QCOMPARE(result.out,
             QStringLiteral("{\"time\": \"12:34\", \"frequency\": 14025, \"call\": \"JA1ABC\", \"entity\": 339, "
                            "\"country\": \"Japan\", \"continent\": \"AS\", \"band\": \"20\", \"mode\": \"CW\", "
                            "\"status\": \"NEW_DXCC\", \"workedBefore\": false, \"comment\": \"CW 599\", "
                            "\"spotter\": \"K1TTT\", \"grid\": \"\"}\n"
                            "{\"time\": \"12:35\", \"frequency\": 14025.5, \"call\": \"DL1ABC\", \"entity\": 230, "
                            "\"country\": \"Fed. Rep. of Germany\", \"continent\": \"EU\", \"band\": \"20\", "
                            "\"mode\": \"CW\", \"status\": \"CONFIRMED\", \"workedBefore\": true, \"comment\": \"up 2\", "
                            "\"spotter\": \"W3LPL-#\", \"grid\": \"JO62\"}\n"));
    QVERIFY(cluster.heard().startsWith("K1ABC\r\n"));

    // A node that cannot be reached at first ends the command.
    const quint16 nobody = FakeCluster().settings().port; // a port nobody listens on any more
    const Result unreachable = runCli({"cluster", QStringLiteral("127.0.0.1:%1").arg(nobody), "--call", "K1ABC"});
    QCOMPARE(unreachable.exit, 1);
    QCOMPARE(unreachable.err, QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection refused\n").arg(nobody));
}

void TestCli::lookupPrintsTheRecord_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString qrz = "{\"call\": \"K1ABC\", \"name\": \"Fred\", \"fullName\": \"Fred Lloyd\", \"qth\": \"Newington\", "
                        "\"grid\": \"FN31pr\", \"qslManager\": \"W1XYZ\", \"country\": \"United States\", \"state\": \"\", "
                        "\"iota\": \"\", \"email\": \"\", \"dxcc\": 0, \"cqZone\": 0, \"ituZone\": 0}\n";
    QTest::newRow("qrz") << "qrz" << "k1abc" << FakeCallbook::kPassword << 0 << qrz << "";
    QTest::newRow("hamqth") << "hamqth" << "K1ABC" << FakeCallbook::kPassword << 0 << qrz << "";
    QTest::newRow("not found") << "qrz" << "DL1XYZ" << FakeCallbook::kPassword << 1 << ""
                               << "QRZ.com: DL1XYZ not found\n";
    QTest::newRow("wrong password") << "hamqth" << "K1ABC" << "wrong" << 1 << ""
                                    << "HamQTH: user name or password refused\n";
}

void TestCli::lookupPrintsTheRecord()
{
    QFETCH(QString, service);
    QFETCH(QString, call);
    QFETCH(QString, password);
    FakeCallbook callbook;
    callbook.qrz = service == QLatin1String("qrz");
    FakeHttpServer server([&callbook](const FakeHttpServer::Request &request) { return callbook.answer(request); });
    QVERIFY(server.listen());
    const Result result = runCli({"lookup", call, "--service", service, "--url", server.url("/xml").toString(),
                                  "--user", FakeCallbook::kUser, "--password-stdin"},
                                 password + "\n");
    QTEST(result.exit, "exit");
    QTEST(result.out, "out");
    QTEST(result.err, "err");
}

void TestCli::listenLogsWhatArrives_data()
{
    QTest::addColumn<QStringList>("options"); // PORT stands for a free port
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QByteArray>("qsos");
    using Kind = WsjtxMessage::Kind;
    const QByteArray k1abc = wsjtxDatagram(Kind::QsoLogged, "K1ABC");
    const QByteArray k1abcAdif = wsjtxDatagram(Kind::LoggedAdif, "K1ABC");
    QTest::newRow("--count 2: a QSO sent twice, and one from JTDX")
        << QStringList{"--port", "PORT", "--count", "2"}
        << QByteArrayList{k1abc, k1abcAdif, k1abcAdif, wsjtxDatagram(Kind::QsoLogged, "W1AW", "JTDX")} << QByteArray()
        << 0 << "K1ABC logged\nW1AW logged\n2 QSOs logged\n" << "" << QByteArray("K1ABC|23:58:30\nW1AW|23:58:30");
    QTest::newRow("--seconds: nothing comes") << QStringList{"--port", "PORT", "--seconds", "0.2"} << QByteArrayList{}
                                              << QByteArray() << 0 << "0 QSOs logged\n" << "" << QByteArray();
    QTest::newRow("a write that fails")
        << QStringList{"--port", "PORT", "--seconds", "1"} << QByteArrayList{k1abcAdif}
        << QByteArray("CREATE TRIGGER refuse BEFORE INSERT ON QSOS BEGIN SELECT RAISE(ABORT, 'refused'); END") << 1
        << "0 QSOs logged\n" << "K1ABC not logged: Error writing to database...\n" << QByteArray();
    QTest::newRow("a logbook of a newer version")
        << QStringList{"--port", "PORT"} << QByteArrayList{} << QByteArray("PRAGMA user_version = 99") << 1 << ""
        << "The logbook log.sqlite3 has schema version 99, newer than this Korva3 knows (2). It is opened read-only: "
           "nothing can be added or changed.\n"
        << QByteArray();
    QTest::newRow("the port in use") << QStringList{"--port", "TAKEN"} << QByteArrayList{} << QByteArray() << 1 << ""
                                     << "UDP port TAKEN is in use by another program\n" << QByteArray();
}

// The datagrams go out once the command listens: from its event loop.
void TestCli::listenLogsWhatArrives()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArrayList, datagrams);
    QFETCH(QByteArray, fault);
    QFETCH(int, exit);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, qsos);
    TestDir dir;
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    if (!fault.isEmpty())
        QVERIFY(SqlHelpers::exec("log.sqlite3", fault));
    QUdpSocket taken;
    QVERIFY(taken.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
    const QString takenPort = QString::number(taken.localPort());
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::AnyIPv4, 0));
    const quint16 port = probe.localPort();
    probe.close();
    options.replaceInStrings("PORT", QString::number(port));
    options.replaceInStrings("TAKEN", takenPort);
    QUdpSocket sender;
    QTimer sending;
    sending.setSingleShot(true);
    connect(&sending, &QTimer::timeout, this, [&] {
        for (const QByteArray &datagram : datagrams)
            sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
    });
    sending.start(0);
    const Result result = runCli(QStringList{"listen", "log.sqlite3"} + options);
    QCOMPARE(result.err, QString(err).replace("TAKEN", takenPort));
    QCOMPARE(result.out, out);
    QCOMPARE(result.exit, exit);
    QCOMPARE(SqlHelpers::rows("log.sqlite3", "SELECT CALL, TIME FROM QSOS ORDER BY ROWID"), qsos);
}

void TestCli::usageErrorsExitWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("nothing") << QStringList() << "no command given";
    QTest::newRow("unknown") << QStringList{"purge", "log.sqlite3"} << "unknown command: purge";
    QTest::newRow("import without file") << QStringList{"import", "log.sqlite3"} << "import takes LOGBOOK FILE";
    QTest::newRow("export without file") << QStringList{"export", "log.sqlite3"}
                                         << "export takes LOGBOOK FILE [--period CODE]";
    QTest::newRow("export period without code") << QStringList{"export", "log.sqlite3", "out.adi", "--period"}
                                                << "export takes LOGBOOK FILE [--period CODE]";
    QTest::newRow("export period a word") << QStringList{"export", "log.sqlite3", "out.adi", "--period", "week"}
                                          << "CODE must be a number: week";
    QTest::newRow("no logbook") << QStringList{"stats"} << "stats takes one LOGBOOK";
    QTest::newRow("two logbooks") << QStringList{"new", "a", "b"} << "new takes one LOGBOOK";
    QTest::newRow("-C alone") << QStringList{"-C"} << "-C needs a directory";
    QTest::newRow("info without call") << QStringList{"info", "230"} << "info takes DXCCID CALL";
    QTest::newRow("locator alone") << QStringList{"locator", "IO91WM"} << "locator takes OWN OTHER";
    const QString cluster = "cluster takes HOST:PORT --call MYCALL [--logbook LOGBOOK] [--count N] [--seconds S] "
                            "[--password-stdin]";
    QTest::newRow("cluster without call") << QStringList{"cluster", "127.0.0.1:7300"} << cluster;
    QTest::newRow("cluster without port") << QStringList{"cluster", "dxc.example.org", "--call", "K1ABC"} << cluster;
    QTest::newRow("cluster count zero") << QStringList{"cluster", "h:7300", "--call", "K1ABC", "--count", "0"} << cluster;
    const QString lookup = "lookup takes CALL [--service qrz|hamqth] [--url URL] --user U --password-stdin";
    QTest::newRow("lookup without password") << QStringList{"lookup", "K1ABC", "--user", "me"} << lookup;
    QTest::newRow("lookup of another service") << QStringList{"lookup", "K1ABC", "--service", "hamcall", "--user",
                                                              "me", "--password-stdin"}
                                               << lookup;
    QTest::newRow("info with a word") << QStringList{"info", "DL", "DL1ABC"} << "DXCCID must be a number: DL";
    QTest::newRow("listen without logbook") << QStringList{"listen"}
                                            << "listen takes LOGBOOK [--port N] [--multicast GROUP] [--seconds S] [--count N]";
    QTest::newRow("listen on port 0") << QStringList{"listen", "log.sqlite3", "--port", "0"} << "listen: bad option --port 0";
    QTest::newRow("listen for no QSO") << QStringList{"listen", "log.sqlite3", "--count", "0"} << "listen: bad option --count 0";
    QTest::newRow("listen with a word") << QStringList{"listen", "log.sqlite3", "--seconds", "long"}
                                        << "listen: bad option --seconds long";
}

void TestCli::usageErrorsExitWithTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Result result = runCli(arguments);
    QCOMPARE(result.exit, 2);
    QVERIFY2(result.err.startsWith("korva3-cli: " + problem + "\nusage: korva3-cli"), qPrintable(result.err));
}

void TestCli::theProgramReportsThroughItsExitCode()
{
    TestDir dir;
    QProcess cli;
    cli.start(KORVA3_CLI_PATH, {"-C", dir.path(), "new", "log.sqlite3"});
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 0);
    cli.start(KORVA3_CLI_PATH, {"-C", dir.path(), "new", "log.sqlite3"});
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 1);
    QCOMPARE(cli.readAllStandardError(), QByteArray("Database already exists\n"));
    cli.start(KORVA3_CLI_PATH, {"-C", dir.path(), "rebuild", "log.sqlite3"});
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput(), QByteArray("DXCC statistics rebuilt\n"));
    cli.start(KORVA3_CLI_PATH, {"frobnicate"});
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 2);
}

void TestCli::failuresAreLoggedWhenAskedFor_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QByteArray>("logged");
    const QByteArray readOnly = "korva3.store: exec failed: attempt to write a readonly database in "
                                "BEGIN IMMEDIATE TRANSACTION;\n";
    QTest::newRow("--verbose") << QStringList{"--verbose", "import", "readonly.sqlite3", "in.adi"} << QString()
                               << readOnly;
    QTest::newRow("logging rules") << QStringList{"import", "readonly.sqlite3", "in.adi"}
                                   << QStringLiteral("korva3.*=true") << readOnly;
    QTest::newRow("silent by default") << QStringList{"import", "readonly.sqlite3", "in.adi"} << QString()
                                       << QByteArray();
    QTest::newRow("a statement that cannot be prepared")
        << QStringList{"--verbose", "stats", "in.adi"} << QString()
        << QByteArray("korva3.store: prepare failed: file is not a database in SELECT DXCC, BAND, MODE, "
                      "SUM(COUNTW), SUM(COUNTC) FROM DXCCREPORT WHERE MODE IN (1,2,3) AND BAND IN "
                      "('160','80','40',...\n");
}

// Beneath the operator's message, the reason SQLite gave.
void TestCli::failuresAreLoggedWhenAskedFor()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, rules);
    QFETCH(QByteArray, logged);
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build(dir.filePath("korva3.sqlite3")));
    QCOMPARE(runCli({"new", "readonly.sqlite3"}).exit, 0);
    QVERIFY(SqlHelpers::setReadOnly("readonly.sqlite3", true));
    QVERIFY(TestDir::writeFile("in.adi", "<EOH><CALL:4>K1AB<EOR>"));

    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_LOGGING_RULES"));
    if (!rules.isEmpty())
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), rules);
    cli.setProcessEnvironment(environment);
    // --verbose comes first, then -C.
    const bool verbose = arguments.first() == QLatin1String("--verbose");
    cli.start(KORVA3_CLI_PATH, (verbose ? QStringList{"--verbose"} : QStringList()) + QStringList{"-C", dir.path()}
                                   + arguments.mid(verbose ? 1 : 0));
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 1);
    const QByteArray err = cli.readAllStandardError();
    QVERIFY2(logged.isEmpty() ? !err.contains("korva3.") : err.contains(logged), err.constData());
}

void TestCli::services_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QStringList lotw{"lotw", "download", "log.sqlite3", "--user", "k1abc", "--url", "URL/lotwuser/"};
    QTest::newRow("lotw download")
        << (lotw + QStringList{"--password-stdin"}) << "s3cret\n" << 0
        << "LoTW own records: matched 0 (0 newly confirmed), unmatched 0, sent 0, refused 0; 0 QSOs seen by LoTW for "
           "the first time\nLoTW QSLs: matched 1 (1 newly confirmed), unmatched 1, sent 0, refused 0\n"
        << QString();
    QTest::newRow("password as an argument") << (lotw + QStringList{"--password", "s3cret"}) << QString() << 2 << QString()
                                             << "korva3-cli: a password is read only from standard input "
                                                "(--password-stdin)\n";
    QTest::newRow("no password given") << lotw << QString() << 2 << QString()
                                       << "korva3-cli: the account's password is needed: give it on standard input "
                                          "with --password-stdin\n";
    QTest::newRow("eqsl upload")
        << QStringList{"eqsl", "upload", "log.sqlite3", "--user", "K1ABC", "--url", "URL/qslcard/", "--password-stdin"}
        << "s3cret\n" << 0 << "eQSL upload: matched 0 (0 newly confirmed), unmatched 0, sent 1, refused 0\n" << QString();
    QTest::newRow("clublog outbox empty")
        << QStringList{"clublog", "upload", "log.sqlite3", "--user", "a@b.org", "--call", "K1ABC", "--url", "URL/",
                       "--password-stdin"}
        << "s3cret\n" << 0 << "Club Log outbox: matched 0 (0 newly confirmed), unmatched 0, sent 0, refused 0\n"
        << QString();
    QTest::newRow("unknown action") << QStringList{"eqsl", "fetch", "log.sqlite3"} << QString() << 2 << QString()
                                    << "korva3-cli: eqsl takes download|upload LOGBOOK\n";
}

// The services' commands against a local fake of each: LoTW's report (one QSL of the
// logbook's QSO, one of none), eQSL's upload page, an empty Club Log outbox.
void TestCli::services()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    QFETCH(int, exit);
    QFETCH(QString, out);
    QFETCH(QString, err);
    TestDir dir;
    QVERIFY(programDatabaseHere());
    QCOMPARE(runCli({"new", "log.sqlite3"}).exit, 0);
    QVERIFY(TestDir::writeFile("in.adi", "<eoh><CALL:6>DL1XYZ<QSO_DATE:8>20240301<TIME_ON:4>1220<BAND:3>20m<MODE:3>FT8<EOR>"));
    QCOMPARE(runCli({"import", "log.sqlite3", "in.adi"}).exit, 0);
    const QByteArray report = "<APP_LoTW_LASTQSL:10>2024-03-02<EOH><CALL:6>DL1XYZ<BAND:3>20M<MODE:4>DATA<QSO_DATE:8>20240301"
                              "<TIME_ON:4>1200<QSL_RCVD:1>Y<EOR><CALL:5>K9ZZZ<BAND:3>20M<MODE:3>FT8<QSO_DATE:8>20240301"
                              "<TIME_ON:4>1200<QSL_RCVD:1>Y<EOR><APP_LoTW_EOF>";
    FakeHttpServer server([&](const FakeHttpServer::Request &request) {
        if (request.path.endsWith("lotwreport.adi"))
            return FakeHttpServer::Reply{200, request.query.queryItemValue("qso_qsl") == "no" ? QByteArray("<EOH><APP_LoTW_EOF>")
                                                                                                 : report};
        return FakeHttpServer::Reply{200, "<HTML>Result: 1 out of 1 records added</HTML>", "text/html"};
    });
    QVERIFY(server.listen());
    arguments.replaceInStrings(QStringLiteral("URL/"), server.url(QStringLiteral("/")).toString());
    const Result result = runCli(arguments, input);
    QCOMPARE(result.err, err);
    QCOMPARE(result.out, out);
    QCOMPARE(result.exit, exit);
}


KORVA3_TEST_GUILESS_MAIN_PRIVATE(TestCli)
#include "tst_cli.moc"
