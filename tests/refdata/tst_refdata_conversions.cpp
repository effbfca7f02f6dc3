#include "common/TestDir.h"

#include "refdata/BasicTablesScript.h"
#include "refdata/CtyConversion.h"
#include "refdata/QslMgrConversion.h"

#include <QtTest>

namespace {

const QString kEntity = QStringLiteral("INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, "
                                       "ITUZONE, LATITUDE, LONGITUDE, GMTDIFF) VALUES (");
const QString kPrefix = QStringLiteral("INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES (998,");
const QString kCall = QStringLiteral("INSERT INTO CALLS (DXCCID, CALL, CQZONE, ITUZONE) VALUES (998,");
const QString kQsl = QStringLiteral("INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES (");
const QString kLine = QStringLiteral("QY,Solo,998,AF,35,46,1.5,-2,+0.5,");
const QString kLineEntity = kEntity + "'QY','Solo',998,'AF','35','46',1.5,-2,+0.5);";

} // namespace

class ConversionsTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleIsWrittenByteForByte();
    void ctyLines_data();
    void ctyLines();
    void damagedCountryLinesAreSkippedAndCounted();
    void bytesPassUnchangedAndCrLfIsRead();
    void nulBytesNeverReachTheScript_data();
    void nulBytesNeverReachTheScript();
    void emptyInputsGiveFrameOnly();
    void failuresLeaveFilesAlone();
    void qslMgrLines_data();
    void qslMgrLines();
    void basicTablesScriptIsStable();
};

void ConversionsTest::workedExampleIsWrittenByteForByte()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("cty.csv",
                                   "QX,Sample d'Isle,999,EU,14,27,52.50,-4.25,-1.0,QX QX2(15) =QX1A[28];\n"));
    const ConversionOutcome outcome = CtyConversion::run();
    QCOMPARE(outcome.icon, Prompter::Icon::Information);
    QCOMPARE(outcome.message, QStringLiteral("Ready"));
    QCOMPARE(TestDir::readFile("cty.sql"),
             QByteArray("DELETE FROM COUNTRIES;\r\nDELETE FROM CALLS;\r\nDELETE FROM PREFIXES;\r\n"
                        "BEGIN TRANSACTION;\r\n"
                        "INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, "
                        "LATITUDE, LONGITUDE, GMTDIFF) VALUES "
                        "('QX','Sample d''Isle',999,'EU','14','27',52.50,-4.25,-1.0);\r\n"
                        "INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES (999,'QX',NULL,NULL);\r\n"
                        "INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES (999,'QX2',15,NULL);\r\n"
                        "INSERT INTO CALLS (DXCCID, CALL, CQZONE, ITUZONE) VALUES (999,'QX1A',NULL,'28');\r\n"
                        "END TRANSACTION;\r\n"));
}

void ConversionsTest::ctyLines_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected"); // between BEGIN and END TRANSACTION

    QTest::newRow("primary prefix only through its aliases")
        << QStringList{kLine + "=QY1A(14)[28];"} << QStringList{kLineEntity, kCall + "'QY1A',14,'28');"};
    QTest::newRow("zones in either order, ITU on the last alias")
        << QStringList{kLine + "QY3[29](13) QY4[30];"}
        << QStringList{kLineEntity, kPrefix + "'QY3',13,'29');", kPrefix + "'QY4',NULL,'30');"};
    QTest::newRow("= after the first character stays; a call loses every =")
        << QStringList{kLine + "Q=Y =QY=1;"}
        << QStringList{kLineEntity, kPrefix + "'Q=Y',NULL,NULL);", kCall + "'QY1',NULL,NULL);"};
    QTest::newRow("close before open is text, on the last alias too")
        << QStringList{kLine + "QY)1(5 QY)2(6;"}
        << QStringList{kLineEntity, kPrefix + "'QY)1(5',NULL,NULL);", kPrefix + "'QY)2(6',NULL,NULL);"};
    QTest::newRow("a number field that holds no number skips its line")
        << QStringList{QStringLiteral("QZ,Bad,997,EU,14,27,0.0);DELETE FROM PARAMETERS;--,-4.25,-1.0,QZ;"), kLine + "QY;",
                       QStringLiteral("QZ,Bad,997x,EU,14,27,1,2,3,QZ;"), QStringLiteral("QZ,Bad,997,EU,1 4,27,1,2,3,QZ;"),
                       QStringLiteral("QZ,Bad,997,EU,14,27,1,2,,QZ;"),
                       QStringLiteral("QZ,Bad,997,EU,14,27,1,2,3,QZ QZ2(1;DROP/**/TABLE/**/CALLS;--);")}
        << QStringList{kLineEntity, kPrefix + "'QY',NULL,NULL);"};
    // SQLite would refuse the entity's statement of too many values and take its aliases.
    QTest::newRow("a line of too many fields is skipped with its aliases")
        << QStringList{QStringLiteral("QZ,Bad,997,EU,14,27,1.5,-2,+0.5,Q,35,QZ;"), kLine + "QY;"}
        << QStringList{kLineEntity, kPrefix + "'QY',NULL,NULL);"};
    QTest::newRow("empty aliases skipped")
        << QStringList{kLine + "QY  =(15) [28] =;"} << QStringList{kLineEntity, kPrefix + "'QY',NULL,NULL);"};
    QTest::newRow("every apostrophe doubled")
        << QStringList{QStringLiteral("Q'Y,St. John's d'Or,998,A'F,35,46,1.5,-2,+0.5,Q'Y =Q'Y1[2'8];")}
        << QStringList{kEntity + "'Q''Y','St. John''s d''Or',998,'A''F','35','46',1.5,-2,+0.5);",
                       kPrefix + "'Q''Y',NULL,NULL);", kCall + "'Q''Y1',NULL,'2''8');"};
    QTest::newRow("short lines skipped, their aliases not carried over")
        << QStringList{QString(), kLine + ";", QStringLiteral("QW QW2;"), QStringLiteral("QW,Short,997,EU")}
        << QStringList{kLineEntity};
}

void ConversionsTest::ctyLines()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    const QStringList all = CtyConversion::statements(input);
    QCOMPARE(all.mid(4, all.size() - 5), expected);
}

void ConversionsTest::damagedCountryLinesAreSkippedAndCounted()
{
    TestDir dir;
    QVERIFY(TestDir::writeFile("cty.csv", "QZ,Bad,997,EU,14,27,x,-4.25,-1.0,QZ;\n"
                                          "QY,Solo,998,AF,35,46,1.5,-2,+0.5,QY;\n"
                                          "QW,Bad,996,EU,14,27,1,2,3,QW(z);\n"
                                          "QV,Bad,995,EU,14,27,1,2,3,QV,QV2;\n"));
    const ConversionOutcome outcome = CtyConversion::run();
    QVERIFY(outcome.isReady());
    QCOMPARE(outcome.message,
             QStringLiteral("Ready\n3 lines skipped: a number field holds no number or the line has too many fields"));
    QCOMPARE(TestDir::readFile("cty.sql").count("INSERT INTO COUNTRIES"), 1);
}

void ConversionsTest::bytesPassUnchangedAndCrLfIsRead()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("in.csv", "QC,Cura\xe7" "ao \x80\x81,518,SA,9,11,12.17,69.00,4.0,PJ2;\r\n"));
    QVERIFY(CtyConversion::run("in.csv", "out.sql").isReady());
    const QList<QByteArray> lines = TestDir::readFile("out.sql").split('\n');
    QCOMPARE(lines.size(), 8); // seven lines, then nothing after the last line end
    QCOMPARE(lines.at(4).mid(lines.at(4).indexOf("VALUES")),
             QByteArray("VALUES ('QC','Cura\xe7" "ao \x80\x81',518,'SA','9','11',12.17,69.00,4.0);\r"));
    QVERIFY(lines.at(5).endsWith("VALUES (518,'PJ2',NULL,NULL);\r"));
}

// The sqlite3 shell ends a line at a NUL byte and runs the rest of it on into the next
// statement; the byte is left out, and the line and the next one stay whole.
void ConversionsTest::nulBytesNeverReachTheScript_data()
{
    QTest::addColumn<bool>("countryFile");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected"); // the lines between BEGIN and END TRANSACTION
    QTest::newRow("QSL manager list")
        << false << QByteArrayLiteral("QX1\0AA;QX2BB\0\0;\nQX3CC;QX4DD;\n")
        << QByteArray("INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES ('QX1AA','QX2BB');\r\n"
                      "INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES ('QX3CC','QX4DD');\r\n");
    QTest::newRow("country file")
        << true << QByteArrayLiteral("QY,So\0lo,998,AF,35,46,1.5,-2,+0.5,QY;\0\r\n")
        << QByteArray("INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, "
                      "LATITUDE, LONGITUDE, GMTDIFF) VALUES ('QY','Solo',998,'AF','35','46',1.5,-2,+0.5);\r\n"
                      "INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES (998,'QY',NULL,NULL);\r\n");
}

void ConversionsTest::nulBytesNeverReachTheScript()
{
    QFETCH(bool, countryFile);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("in.txt", input));
    const ConversionOutcome outcome =
        countryFile ? CtyConversion::run("in.txt", "out.sql") : QslMgrConversion::run("in.txt", "out.sql");
    QVERIFY(outcome.isReady());
    const QByteArray script = TestDir::readFile("out.sql");
    const qsizetype begin = script.indexOf("BEGIN TRANSACTION;\r\n") + 20;
    QCOMPARE(script.mid(begin, script.indexOf("END TRANSACTION;") - begin), expected);
}

void ConversionsTest::emptyInputsGiveFrameOnly()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("cty.csv", QByteArray()));
    QVERIFY(TestDir::writeFile("qslmgr.txt", QByteArray()));
    QVERIFY(CtyConversion::run().isReady());
    QVERIFY(QslMgrConversion::run().isReady());
    QCOMPARE(TestDir::readFile("cty.sql"),
             QByteArray("DELETE FROM COUNTRIES;\r\nDELETE FROM CALLS;\r\nDELETE FROM PREFIXES;\r\n"
                        "BEGIN TRANSACTION;\r\nEND TRANSACTION;\r\n"));
    QCOMPARE(TestDir::readFile("qslmgr.sql"),
             QByteArray("DELETE FROM QSLMGRS;\r\nBEGIN TRANSACTION;\r\nEND TRANSACTION;\r\n"));
}

void ConversionsTest::failuresLeaveFilesAlone()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("cty.sql", "old"));
    const ConversionOutcome missing = CtyConversion::run();
    QCOMPARE(missing.icon, Prompter::Icon::None);
    QCOMPARE(missing.message,
             QStringLiteral("cty.csv niet gevonden\nDownload cty.csv from https://www.country-files.com/"));
    QCOMPARE(TestDir::readFile("cty.sql"), QByteArray("old"));

    QVERIFY(TestDir::writeFile("qslmgr.txt", "QX1AA;QX2BB;\n"));
    const ConversionOutcome uncreatable = QslMgrConversion::run("qslmgr.txt", "missing/qslmgr.sql");
    QCOMPARE(uncreatable.status, ConversionOutcome::Status::OutputFailed);
    QCOMPARE(uncreatable.icon, Prompter::Icon::Error);
    QCOMPARE(uncreatable.message, QStringLiteral("missing/qslmgr.sql kan niet worden aangemaakt"));
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"cty.sql", "qslmgr.txt"}));

    if (QFile::exists("/dev/full"))
        QCOMPARE(BasicTablesScript::run("/dev/full").message, QStringLiteral("/dev/full kan niet worden geschreven"));
}

void ConversionsTest::qslMgrLines_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pair, rest ignored, heading and repeats kept")
        << QStringList{"QX1AA;QX2BB;x", "CALL;MANAGER;", "QX1AA;QX3CC;;;"}
        << QStringList{kQsl + "'QX1AA','QX2BB');", kQsl + "'CALL','MANAGER');", kQsl + "'QX1AA','QX3CC');"};
    QTest::newRow("incomplete pairs skipped, nothing reused")
        << QStringList{"QX1AA;QX2BB;", "", "QX5EE", "QX6FF;QX7GG", ";;", "QX8HH;;", ";QX9II;", "QX4DD;QX3CC;"}
        << QStringList{kQsl + "'QX1AA','QX2BB');", kQsl + "'QX4DD','QX3CC');"};
    QTest::newRow("written as found, apostrophes doubled")
        << QStringList{" qx1aa ;M'Y'Z;"} << QStringList{kQsl + "' qx1aa ','M''Y''Z');"};
}

void ConversionsTest::qslMgrLines()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    const QStringList all = QslMgrConversion::statements(input);
    QCOMPARE(all.mid(2, all.size() - 3), expected);
}

void ConversionsTest::basicTablesScriptIsStable()
{
    TestDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(TestDir::writeFile("korva3.sql", QByteArray(5000, 'x')));
    QVERIFY(BasicTablesScript::run().isReady());
    const QByteArray first = TestDir::readFile("korva3.sql");
    QVERIFY(BasicTablesScript::run().isReady());
    QCOMPARE(TestDir::readFile("korva3.sql"), first);
    QCOMPARE(first.size(), 1555);
    QCOMPARE(first.count("\r\n"), 14);
    QCOMPARE(first.count('\n'), 14);
}

QTEST_GUILESS_MAIN(ConversionsTest)
#include "tst_refdata_conversions.moc"
