#include "common/SampleProgramDatabase.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "faults/FileSizeLimit.h"
#include "faults/HeldLock.h"
#include "adif/AdifReader.h"
#include "adif/AdifWriter.h"
#include "document/CKorva3Doc.h"
#include "document/ImportProgress.h"
#include "loggen/LogbookGenerator.h"
#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "adif/AdifFrequency.h"

#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const char kLog[] = "log.sqlite3";
const char kAllColumns[] =
    "SELECT DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, CQZONE, GRID, QSLSENT, QSLRCVD, NAME, "
    "QTH, ADDRESS1, ADDRESS2, REMARKS, QSLMGR, IOTA, COUNTRY FROM QSOS";

// The main window's part, recorded: every status text, every bar position.
class RecordingProgress : public ImportProgress
{
public:
    QString setStatusText(const QString &text) override
    {
        statusTexts.append(text);
        return std::exchange(pane, text);
    }
    void showProgressBar() override { ++shown; }
    void setProgressPosition(int percent) override { positions.append(percent); }
    void hideProgressBar() override { ++hidden; }

    QString pane = QStringLiteral("Ready");
    QStringList statusTexts;
    QList<int> positions;
    int shown = 0;
    int hidden = 0;
};

struct Imported
{
    AdifImporter::Result result;
    QStringList messages;
};

// The program database an import needs (one entity, QX "Sample Isle"), made once and
// copied into the current folder when it has none.
void ensureProgramDatabase()
{
    static QTemporaryDir made;
    static const bool ready = makeSampleProgramDatabase(made.filePath(QStringLiteral("korva3.sqlite3")));
    if (ready && !QFile::exists(QStringLiteral("korva3.sqlite3")))
        QFile::copy(made.filePath(QStringLiteral("korva3.sqlite3")), QStringLiteral("korva3.sqlite3"));
}

// Imports the file in.adi of the current folder into the logbook.
Imported importFile(const QString &logbook = QLatin1String(kLog))
{
    ensureProgramDatabase();
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc(logbook);
    const AdifImporter::Result result = doc.ImportAdifFile(QStringLiteral("in.adi"));
    return {result, prompter.texts()};
}

// Imports `adif` into the logbook log.sqlite3 (made when missing) of the current folder.
Imported importBytes(const QByteArray &adif, const QString &logbook = QLatin1String(kLog))
{
    if (!QFile::exists(logbook))
        Sqlite3DB().CreateLogbook(logbook);
    TestDir::writeFile(QStringLiteral("in.adi"), adif);
    return importFile(logbook);
}

QByteArray rows(const QByteArray &sql)
{
    return SqlHelpers::rows(QLatin1String(kLog), sql);
}

// `count` short records, one a line, after a header.
QByteArray numberedRecords(int count)
{
    QByteArray adif = "<EOH>\n";
    for (int i = 1; i <= count; ++i)
        adif += "<CALL:" + QByteArray::number(QByteArray::number(i).size()) + '>' + QByteArray::number(i) + "<EOR>\n";
    return adif;
}

// The files of the current folder but the open logbook's write-ahead log and its index.
int filesBesideTheLogbook()
{
    QStringList files = QDir().entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QLatin1String(kLog) + QLatin1String("-wal"));
    files.removeAll(QLatin1String(kLog) + QLatin1String("-shm"));
    return static_cast<int>(files.size());
}

// Exports the QSOs of the last `days` days; true when the file was written whole.
bool exportTo(const QString &file, const QString &logbook, int days);

QString sharedAdifFolder()
{
    return QStringLiteral(KORVA3_SHARED_TESTDATA "/adif");
}

// Counted without the reader: every "<EOR>" in any letter case.
int countEorTags(const QByteArray &bytes)
{
    return static_cast<int>(bytes.toLower().count("<eor>"));
}

QString dateDaysAgo(int days)
{
    return QDateTime::currentDateTimeUtc().date().addDays(-days).toString(Qt::ISODate);
}

} // namespace

class TestAdif : public QObject
{
    Q_OBJECT

private slots:
    // Import: files written by other programs.
    void sharedFilesImportEveryRecord_data();
    void sharedFilesImportEveryRecord();
    void lengthsCountedWithCrLfReadTheSameFromBothLineEnds();
    void upperCaseBandsAndDigitalModesOfRealFiles();
    // Import: reading the stream.
    void valuesRunOverLinesAndHoldAngleBrackets();
    void recordsOnOneLineAndTagForms();
    void headerlessAndHeaderOnlyFiles();
    void fileWithoutHeaderEndImportsNothingSilently();
    void unterminatedLastRecordIsDropped();
    void crLfCountedValueThatRunsIntoATagStopsBeforeIt();
    // Import: mapping.
    void fieldMapping_data();
    void fieldMapping();
    void startValuesAndRepeatedFields();
    void valuesAreStoredExactly();
    // Import: batches, progress, failures, dialog.
    void batchBoundaries();
    void progressShowsAndRestoresTheStatusBar_data();
    void progressShowsAndRestoresTheStatusBar();
    void unopenableLogbookEndsTheImportAtOnce();
    void failedBatchesAreReportedAndReadingGoesOn();
    void missingFileAndCancelledDialog();
    // Import: failures that end the transaction, files that change, what the logbook
    // keeps.
    void writeFailureThatEndsTheTransactionUndoesTheImport_data();
    void writeFailureThatEndsTheTransactionUndoesTheImport();
    void lockHeldByAnotherProgramStopsTheImport();
    void importKeepsTheIndexesOfQsos_data();
    void importKeepsTheIndexesOfQsos();
    void fileTruncatedWhileReadEndsTheImportThere();
    void lineEndCountedInAValueIsNotStored_data();
    void lineEndCountedInAValueIsNotStored();
    void statisticsFollowEveryImport();
    void recordsWithoutEntityAreResolved();
    // Export.
    void exportWritesTheLayoutExactly();
    void exportPeriods_data();
    void exportPeriods();
    void exportPeriodBoundary();
    void exportFrequency_data();
    void exportFrequency();
    void exportFailures();
    void exportNeverOverwritesADatabase_data();
    void exportNeverOverwritesADatabase();
    void exportThatCannotBeWrittenKeepsTheEarlierFile();
    void exportCommandAsksForTheFile();
    // Both ways.
    void roundTripKeepsEveryRow();
    void bandsAreWrittenAsTheyWereGiven_data();
    void bandsAreWrittenAsTheyWereGiven();
    void keptFieldsFollowTheQso();
    void olderLogbookGetsItsKeptFieldsOnImport();
    void realFilesComeBackWithEveryField_data();
    void realFilesComeBackWithEveryField();
    // Any alphabet.
    void textInAnyAlphabet_data();
    void textInAnyAlphabet();
    void olderLogbookTextBecomesUtf8Once();
    // Duplicates.
    void duplicatesAreSkippedAndCounted_data();
    void duplicatesAreSkippedAndCounted();
    // Whole values, names, records and header.
    void valuesOfAnySizeAndLongNamesAreKept();
    void userDefinedFieldsAreKeptAndDeclared();
    // The XML form.
    void adxReadsAsTheTaggedFormAndComesBack();
    // What is refused before anything is read or written.
    void whatIsNoPlainFileIsRefused_data();
    void whatIsNoPlainFileIsRefused();
    void importNeedsAProgramDatabaseAndALogbook();
};

// --- Import: real files -------------------------------------------------------------

void TestAdif::sharedFilesImportEveryRecord_data()
{
    QTest::addColumn<QString>("file");
    // Records that repeat an earlier one of the file: the same call, date, band and mode
    // within the same minute (a QSO logged twice, seconds apart or with a finer grid).
    QTest::addColumn<int>("duplicates");
    const QHash<QString, int> repeats{{QStringLiteral("N3FJP-AClogAdif.adi"), 1},
                                      {QStringLiteral("lotwreport.adi"), 1},
                                      {QStringLiteral("qrz.adi"), 1},
                                      {QStringLiteral("wsjtx_log.adi"), 1}};
    const QDir folder(sharedAdifFolder());
    for (const QString &name : folder.entryList({QStringLiteral("*.adi")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << folder.filePath(name) << repeats.value(name);
}

void TestAdif::sharedFilesImportEveryRecord()
{
    if (!QDir(sharedAdifFolder()).exists())
        QSKIP("../shared/testdata/adif is not here (it is not part of the repository)");
    QFETCH(QString, file);
    QFETCH(int, duplicates);
    TestDir dir;
    const QByteArray bytes = TestDir::readFile(file);
    const int expected = countEorTags(bytes) - duplicates;
    QVERIFY(expected > 0);

    const Imported imported = importBytes(bytes);
    const QString added = QStringLiteral("%1 Qso Records added").arg(expected);
    QCOMPARE(imported.messages, QStringList{duplicates == 0 ? added : added + QStringLiteral(", 1 duplicates skipped")});
    QCOMPARE(imported.result.added, expected);
    QCOMPARE(imported.result.duplicates, duplicates);
    QCOMPARE(SqlHelpers::count(kLog, "QSOS"), expected);
    // Every record of these files has a call; none is lost to a value read too far.
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE CALL = ''"), QByteArray("0"));
}

// The official test file came to us with LF line ends while its lengths count CR LF.
// Read as it is and converted back to CR LF, it must give the same fields, apart from
// the line ends inside the values.
void TestAdif::lengthsCountedWithCrLfReadTheSameFromBothLineEnds()
{
    const QString file = sharedAdifFolder() + QStringLiteral("/ADIF_316_test_QSOs_2025_08_27.adi");
    if (!QFile::exists(file))
        QSKIP("../shared/testdata/adif is not here (it is not part of the repository)");
    TestDir dir;
    const QByteArray lf = TestDir::readFile(file);
    QVERIFY(!lf.contains('\r'));
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");

    QCOMPARE(importBytes(lf, QStringLiteral("lf.sqlite3")).result.added, 6191);
    QCOMPARE(importBytes(crlf, QStringLiteral("crlf.sqlite3")).result.added, 6191);
    const QByteArray sorted = QByteArray(kAllColumns) + " ORDER BY ROWID";
    QByteArray fromCrLf = SqlHelpers::rows(QStringLiteral("crlf.sqlite3"), sorted);
    const QByteArray fromLf = SqlHelpers::rows(QStringLiteral("lf.sqlite3"), sorted);
    QVERIFY(fromCrLf.contains("\r\n"));      // multi-line addresses are in there
    QCOMPARE(fromLf.count('\r'), 0);
    QCOMPARE(fromCrLf.replace("\r\n", "\n"), fromLf);
}

void TestAdif::upperCaseBandsAndDigitalModesOfRealFiles()
{
    if (!QDir(sharedAdifFolder()).exists())
        QSKIP("../shared/testdata/adif is not here (it is not part of the repository)");
    TestDir dir;
    const QByteArray lotw = TestDir::readFile(sharedAdifFolder() + QStringLiteral("/lotwreport.adi"));
    QVERIFY(lotw.contains("<BAND:3>20M"));
    importBytes(lotw);
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE BAND GLOB '*[cmCM]*' OR BAND = ''"), QByteArray("0"));
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE BAND = '20'"),
             QByteArray::number(lotw.count("<BAND:3>20M")));

    QVERIFY(SqlHelpers::exec(kLog, "DELETE FROM QSOS"));
    const QByteArray wsjtx = TestDir::readFile(sharedAdifFolder() + QStringLiteral("/wsjtx_log.adi"));
    importBytes(wsjtx);
    // FT8 and FT4 (written as MFSK) count with the digital modes; one QSO is logged twice.
    QCOMPARE(rows("SELECT MODE, COUNT(*) FROM QSOS GROUP BY MODE"),
             "3|" + QByteArray::number(countEorTags(wsjtx) - 1));

    QVERIFY(SqlHelpers::exec(kLog, "DELETE FROM QSOS"));
    importBytes(TestDir::readFile(sharedAdifFolder() + QStringLiteral("/qrz.adi")));
    // UTF-8 text, its lengths counted in bytes, comes through byte for byte.
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE QTH = 'Montr\xc3\xa9" "al'"), QByteArray("1"));
}

// --- Import: reading the stream -----------------------------------------------------

void TestAdif::valuesRunOverLinesAndHoldAngleBrackets()
{
    TestDir dir;
    const Imported imported = importBytes(
        "header\n<EOH>\n"
        "<CALL:6>DL1ABC <ADDRESS:20>Street 1\r\n12345 Town\n"
        "<COMMENT:13>cu <agn> 73 > <QTH:4>Bonn\n<EOR>\n");
    QCOMPARE(imported.messages, QStringList{QStringLiteral("1 Qso Records added")});
    QCOMPARE(rows("SELECT CALL, ADDRESS1, REMARKS, QTH FROM QSOS"),
             QByteArray("DL1ABC|Street 1\r\n12345 Town|cu <agn> 73 >|Bonn"));
}

void TestAdif::recordsOnOneLineAndTagForms()
{
    TestDir dir;
    // Blanks inside a tag, around its name, are no part of it.
    const Imported imported = importBytes(
        "<eoh><call:4>K1AB<Name:5:S>Alice<eor><CALL:4>K2CD<NAME:3:s>Bob<EOR:0><Call:4>K3EF<eOr>\r\n"
        "<CALL:4>K4GH< EOR><CALL:4>K5IJ<EOR >\n<CALL:4>K6KL<\teor >\n");
    QCOMPARE(imported.messages, QStringList{QStringLiteral("6 Qso Records added")});
    QCOMPARE(rows("SELECT CALL, NAME FROM QSOS ORDER BY ROWID"),
             QByteArray("K1AB|Alice\nK2CD|Bob\nK3EF|\nK4GH|\nK5IJ|\nK6KL|"));
}

void TestAdif::headerlessAndHeaderOnlyFiles()
{
    TestDir dir;
    // A first "<" means no header: the first field belongs to the first record, and
    // an <EOH> in a value later on changes nothing.
    QCOMPARE(importBytes("<CALL:4>K1AB<EOR>\n<CALL:4>K2CD<COMMENT:5><EOH><EOR>\n").messages,
             QStringList{QStringLiteral("2 Qso Records added")});
    QCOMPARE(rows("SELECT CALL, REMARKS FROM QSOS ORDER BY ROWID"), QByteArray("K1AB|\nK2CD|<EOH>"));

    TestDir empty;
    const Imported headerOnly = importBytes("Written by hand\n<PROGRAMID:4>Test\n<eoh>\n\n");
    QCOMPARE(headerOnly.messages, QStringList{QStringLiteral("0 Qso Records added")});
    QCOMPARE(SqlHelpers::count(kLog, "QSOS"), 0);
}

void TestAdif::fileWithoutHeaderEndImportsNothingSilently()
{
    TestDir dir;
    RecordingProgress progress;
    ImportProgress::install(&progress);
    const Imported imported = importBytes(" <CALL:4>K1AB<EOR>\n");
    ImportProgress::install(nullptr);
    QCOMPARE(imported.messages, QStringList());
    QVERIFY(imported.result.status == AdifImporter::Status::NoHeader);
    QCOMPARE(SqlHelpers::count(kLog, "QSOS"), 0);
    QCOMPARE(progress.shown, 0);
    QCOMPARE(progress.statusTexts, QStringList());

    QVERIFY(importBytes(QByteArray()).result.status == AdifImporter::Status::NoHeader);
}

void TestAdif::unterminatedLastRecordIsDropped()
{
    TestDir dir;
    const Imported imported = importBytes("<EOH><CALL:4>K1AB<EOR>\n<CALL:4>K2CD<NAME:20>cut short");
    QCOMPARE(imported.messages, QStringList{QStringLiteral("1 Qso Records added")});
    QCOMPARE(rows("SELECT CALL FROM QSOS"), QByteArray("K1AB"));
}

void TestAdif::crLfCountedValueThatRunsIntoATagStopsBeforeIt()
{
    TestDir dir;
    // ADDRESS:7 was "A\r\nB\r\nC" before the line ends became LF: the exact 7 characters
    // would swallow the "<" of CALL. A LF counted as one character stays as it is, also
    // when a "<" follows inside the value.
    importBytes("<EOH>\n<ADDRESS:7>A\nB\nC\n<CALL:4>K1AB<EOR>\n"
                "<NAME:3>A\nB<CALL:4>K2CD<COMMENT:7>a\nb <x><EOR>\n");
    QCOMPARE(rows("SELECT CALL, ADDRESS1, NAME, REMARKS FROM QSOS ORDER BY ROWID"),
             QByteArray("K1AB|A\nB\nC||\nK2CD||A\nB|a\nb <x>"));
}

// --- Import: mapping ----------------------------------------------------------------

void TestAdif::fieldMapping_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("columns");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("date and time HHMMSS") << QByteArray("<QSO_DATE:8>20261206<TIME_ON:6>140512")
                                          << QByteArray("DATE, TIME") << QByteArray("2026-12-06|14:05:12");
    QTest::newRow("time HHMM") << QByteArray("<TIME_ON:4>0905") << QByteArray("TIME") << QByteArray("09:05:00");
    QTest::newRow("short date by position") << QByteArray("<QSO_DATE:5>20261") << QByteArray("DATE")
                                            << QByteArray("2026-1-");
    // By characters, so that no separator lands inside one.
    QTest::newRow("time beyond ASCII by position") << QByteArray("<TIME_ON:6>140\xcb\xd1" "2") << QByteArray("TIME")
                                                   << QByteArray("14:0Ë:Ñ2");
    // The export writes empty values for a QSO without date or time; they leave the
    // columns as they are.
    QTest::newRow("empty date and time") << QByteArray("<QSO_DATE:0><TIME_ON:0>") << QByteArray("DATE, TIME")
                                         << QByteArray("|");
    QTest::newRow("empty date and time after given ones")
        << QByteArray("<QSO_DATE:8>20261206<TIME_ON:4>0905<QSO_DATE:0><TIME_ON:0>") << QByteArray("DATE, TIME")
        << QByteArray("2026-12-06|09:05:00");
    QTest::newRow("band 20m") << QByteArray("<BAND:3>20m") << QByteArray("BAND") << QByteArray("20");
    QTest::newRow("band 20M") << QByteArray("<BAND:3>20M") << QByteArray("BAND") << QByteArray("20");
    QTest::newRow("band 70cm") << QByteArray("<BAND:4>70cm") << QByteArray("BAND") << QByteArray("70");
    QTest::newRow("band 70CM") << QByteArray("<BAND:4>70CM") << QByteArray("BAND") << QByteArray("70");
    // Only metres and the two centimetre bands of the band plan lose their unit.
    QTest::newRow("band 23cm") << QByteArray("<BAND:4>23cm") << QByteArray("BAND") << QByteArray("23");
    QTest::newRow("band 1.25m") << QByteArray("<BAND:5>1.25m") << QByteArray("BAND") << QByteArray("1.25");
    QTest::newRow("band 6cm") << QByteArray("<BAND:3>6cm") << QByteArray("BAND") << QByteArray("6cm");
    QTest::newRow("band 13CM") << QByteArray("<BAND:4>13CM") << QByteArray("BAND") << QByteArray("13cm");
    QTest::newRow("band 6mm") << QByteArray("<BAND:3>6mm") << QByteArray("BAND") << QByteArray("6mm");
    QTest::newRow("band 2mm") << QByteArray("<BAND:3>2mm") << QByteArray("BAND") << QByteArray("2mm");
    QTest::newRow("band submm") << QByteArray("<BAND:5>SUBMM") << QByteArray("BAND") << QByteArray("submm");
    QTest::newRow("mode cw") << QByteArray("<MODE:2>cw") << QByteArray("MODE") << QByteArray("1");
    QTest::newRow("mode usb") << QByteArray("<MODE:3>usb") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode LSB") << QByteArray("<MODE:3>LSB") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode Rtty") << QByteArray("<MODE:4>Rtty") << QByteArray("MODE") << QByteArray("3");
    QTest::newRow("mode FM") << QByteArray("<MODE:2>FM") << QByteArray("MODE") << QByteArray("4");
    QTest::newRow("mode AM") << QByteArray("<MODE:2>AM") << QByteArray("MODE") << QByteArray("5");
    QTest::newRow("mode FT8") << QByteArray("<MODE:3>FT8") << QByteArray("MODE") << QByteArray("3");
    QTest::newRow("mode PSK31") << QByteArray("<MODE:5>PSK31") << QByteArray("MODE") << QByteArray("3");
    // Digital voice counts as phone, however the file names it.
    QTest::newRow("mode DIGITALVOICE") << QByteArray("<MODE:12>DIGITALVOICE<SUBMODE:3>DMR") << QByteArray("MODE")
                                       << QByteArray("2");
    QTest::newRow("mode C4FM") << QByteArray("<MODE:4>C4FM") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode DSTAR") << QByteArray("<MODE:5>DSTAR") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode dmr") << QByteArray("<MODE:3>dmr") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode FREEDV") << QByteArray("<MODE:6>FREEDV") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode M17") << QByteArray("<MODE:3>M17") << QByteArray("MODE") << QByteArray("2");
    QTest::newRow("mode empty") << QByteArray("<MODE:2>FM<MODE:0>") << QByteArray("MODE") << QByteArray("4");
    QTest::newRow("qsl sent r n y q") << QByteArray("<QSL_SENT:1>r") << QByteArray("QSLSENT") << QByteArray("1");
    QTest::newRow("qsl sent Y") << QByteArray("<QSL_SENT:1>Y") << QByteArray("QSLSENT") << QByteArray("3");
    QTest::newRow("qsl sent q") << QByteArray("<QSL_SENT:1>q") << QByteArray("QSLSENT") << QByteArray("4");
    QTest::newRow("qsl sent unknown") << QByteArray("<QSL_SENT:1>I") << QByteArray("QSLSENT") << QByteArray("2");
    QTest::newRow("qsl rcvd y") << QByteArray("<QSL_RCVD:1>y") << QByteArray("QSLRCVD") << QByteArray("2");
    QTest::newRow("an empty first mode, then a repeat")
        << QByteArray("<MODE:0><MODE:3>FT8") << QByteArray("MODE, (SELECT GROUP_CONCAT(NAME || '=' || VALUE) FROM QSOFIELDS)")
        << QByteArray("1|MODE=CW,MODE=FT8");
    QTest::newRow("qsl rcvd repeated: the first counts")
        << QByteArray("<QSL_RCVD:1>Y<QSL_RCVD:1>R") << QByteArray("QSLRCVD, (SELECT GROUP_CONCAT(VALUE) FROM QSOFIELDS)")
        << QByteArray("2|Y,R");
    QTest::newRow("qsl rcvd unknown") << QByteArray("<QSL_RCVD:1>V") << QByteArray("QSLRCVD") << QByteArray("1");
    QTest::newRow("dxcc") << QByteArray("<DXCC:6>291abc") << QByteArray("COUNTRY") << QByteArray("291");
    QTest::newRow("dxcc not a number") << QByteArray("<DXCC:2>DL") << QByteArray("COUNTRY") << QByteArray("0");
    QTest::newRow("texts") << QByteArray("<RST_SENT:3>599<RST_RCVD:3>579<FREQ:6>14.025<TX_PWR:3>100<CQZ:2>14"
                                         "<GRIDSQUARE:4>JO31<QSL_VIA:5>DL9XX<IOTA:6>EU-001<QTH:4>Bonn")
                           << QByteArray("SENT, RCVD, FREQ, POWER, CQZONE, GRID, QSLMGR, IOTA, QTH")
                           << QByteArray("599|579|14.025|100|14|JO31|DL9XX|EU-001|Bonn");
    QTest::newRow("name with a NUL byte neither read nor kept")
        << QByteArrayLiteral("<QSL_SENT\0\0:1>Y<APP_X\0:1>1") << QByteArray("QSLSENT, (SELECT COUNT(*) FROM QSOFIELDS)")
        << QByteArray("2|0");
    QTest::newRow("value starting with a NUL byte not kept")
        << QByteArrayLiteral("<TIME_ON:4>0905<TIME_OFF:6>\0\0\0\0\0\0<MODE:4>\0FT8<APP_X:2>\0x")
        << QByteArray("TIME, MODE, (SELECT COUNT(*) FROM QSOFIELDS)") << QByteArray("09:05:00|3|0");
    QTest::newRow("line end before a NUL byte not kept")
        << QByteArrayLiteral("<MODE:5>FT8\n\0<DXCC:2>\n\0")
        << QByteArray("COUNTRY, (SELECT GROUP_CONCAT(NAME || '=' || VALUE) FROM QSOFIELDS)") << QByteArray("0|MODE=FT8");
    QTest::newRow("line end before a NUL byte not stored")
        << QByteArrayLiteral("<QTH:8>Bonn\r\n\0x<BAND:5>20m\n\0x") << QByteArray("QTH, BAND")
        << QByteArray("Bonn|20");
    QTest::newRow("tag without length") << QByteArray("<NAME>Bob<CALL:4>K1AB") << QByteArray("CALL, NAME")
                                        << QByteArray("K1AB|");
    QTest::newRow("length not a number") << QByteArray("<NAME:x>Bob") << QByteArray("NAME") << QByteArray("");
    QTest::newRow("length beyond the file") << QByteArray("<NAME:99999999999>Bob<EOR>") << QByteArray("COUNT(*)")
                                            << QByteArray("0");
}

void TestAdif::fieldMapping()
{
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, columns);
    QFETCH(QByteArray, expected);
    TestDir dir;
    importBytes("<EOH>" + fields + "<EOR>");
    QCOMPARE(rows("SELECT " + columns + " FROM QSOS"), expected);
}

void TestAdif::startValuesAndRepeatedFields()
{
    TestDir dir;
    // A field given twice: the first is the QSO's, the repeat is kept and goes out again.
    importBytes("<EOH><CALL:4>K1AB<NAME:3>Ann<NAME:4> Lee<CALL:4>K2CD<MODE:3>FT8<MODE:2>CW<QSO_DATE:8>20260101<EOR>"
                "<CALL:4>K3EF<EOR>");
    QCOMPARE(rows(QByteArray(kAllColumns) + " ORDER BY ROWID"),
             QByteArray("2026-01-01||K1AB|||||3||||2|1|Ann|||||||0\n"
                        "||K3EF|||||1||||2|1||||||||0"));
    QCOMPARE(rows("SELECT QSO, NAME, VALUE FROM QSOFIELDS ORDER BY ROWID"),
             QByteArray("1|NAME| Lee\n1|CALL|K2CD\n1|MODE|FT8\n1|MODE|CW"));
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("<MODE:3>FT8 <TX_PWR:0>"));
    QVERIFY(out.contains("<DXCC:1>0 <NAME:4> Lee <CALL:4>K2CD <MODE:2>CW <EOR>\r\n"));
}

void TestAdif::valuesAreStoredExactly()
{
    TestDir dir;
    // K\xf6ln is Windows-1252: the logbook keeps the same characters in UTF-8.
    importBytes("<EOH><CALL:4>K1AB<NAME:7>O'Neil'<QTH:4>K\xf6ln<COMMENT:9>''; DROP <EOR>");
    QCOMPARE(rows("SELECT NAME, QTH, REMARKS FROM QSOS"), QByteArray("O'Neil'|K\xc3\xb6ln|''; DROP "));
}

// --- Import: batches, progress, failures, dialog ------------------------------------

void TestAdif::batchBoundaries()
{
    for (const int count : {499, 500, 1000, 1001}) {
        TestDir dir;
        const Imported imported = importBytes(numberedRecords(count));
        QCOMPARE(imported.messages, QStringList{QStringLiteral("%1 Qso Records added").arg(count)});
        QCOMPARE(imported.result.failedWrites, 0);
        // Every record once, in file order.
        QCOMPARE(rows("SELECT COUNT(*), COUNT(DISTINCT CALL), MIN(ROWID), MAX(ROWID) FROM QSOS"),
                 QByteArray::number(count) + '|' + QByteArray::number(count) + "|1|" + QByteArray::number(count));
        QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE CAST(CALL AS INTEGER) != ROWID"), QByteArray("0"));
    }
}

void TestAdif::progressShowsAndRestoresTheStatusBar_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("import") << false << QStringLiteral("Add database") << QStringLiteral("300 Qso Records added");
    QTest::newRow("export") << true << QStringLiteral("Export Adif")
                            << QStringLiteral("Logbook log.sqlite3 exported to file out.adi");
}

void TestAdif::progressShowsAndRestoresTheStatusBar()
{
    QFETCH(bool, exporting);
    QFETCH(QString, title);
    QFETCH(QString, message);
    TestDir dir;
    QByteArray records = numberedRecords(300);
    records.replace("<CALL:", "<QSO_DATE:8>20240101<CALL:");
    if (exporting)
        QCOMPARE(importBytes(records).result.added, 300);
    RecordingProgress progress;
    ImportProgress::install(&progress);
    QStringList messages;
    if (exporting) {
        ScriptedPrompter prompter;
        PrompterGuard install(prompter);
        CKorva3Doc doc{QLatin1String(kLog)};
        doc.m_adifPeriod = 0; // all QSOs, whatever the program database's period
        QVERIFY(doc.ExportAdifFile(QStringLiteral("out.adi")));
        messages = prompter.texts();
    } else {
        messages = importBytes(records).messages;
    }
    ImportProgress::install(nullptr);

    QCOMPARE(messages, QStringList{message});
    QCOMPARE(progress.shown, 1);
    QCOMPARE(progress.hidden, 1);
    QCOMPARE(progress.pane, QStringLiteral("Ready"));
    QCOMPARE(progress.statusTexts.first(), title);
    QCOMPARE(progress.statusTexts.last(), QStringLiteral("Ready"));
    QCOMPARE(progress.positions.last(), 100); // also when the last <EOR> is followed by a line end
    // One update per change of the percentage, each with its status text.
    QCOMPARE(progress.statusTexts.size(), progress.positions.size() + 2);
    for (qsizetype i = 0; i < progress.positions.size(); ++i) {
        if (i > 0)
            QVERIFY(progress.positions[i] > progress.positions[i - 1]);
        QCOMPARE(progress.statusTexts[i + 1], QStringLiteral("%1 %2 %").arg(title).arg(progress.positions[i]));
    }
    QVERIFY(progress.positions.size() > 50);

    QCOMPARE(AdifImporter::percentOf(0, 7), 0);
    QCOMPARE(AdifImporter::percentOf(3, 7), 42);
    QCOMPARE(AdifImporter::percentOf(7, 7), 100);
    const qint64 huge = std::numeric_limits<qint64>::max() - 1;
    QCOMPARE(AdifImporter::percentOf(huge / 2, huge), 50);
}

void TestAdif::unopenableLogbookEndsTheImportAtOnce()
{
    TestDir dir;
    RecordingProgress progress;
    ImportProgress::install(&progress);
    const Imported imported = importBytes(numberedRecords(3), QStringLiteral("missing/log.sqlite3"));
    ImportProgress::install(nullptr);
    QCOMPARE(imported.messages, QStringList{QStringLiteral("Error open database")});
    QVERIFY(imported.result.status == AdifImporter::Status::CannotOpenDatabase);
    QCOMPARE(imported.result.added, 0);
    QCOMPARE(progress.hidden, 1);
    QCOMPARE(progress.pane, QStringLiteral("Ready"));
    QVERIFY(!QFile::exists(QStringLiteral("missing")));
}

void TestAdif::failedBatchesAreReportedAndReadingGoesOn()
{
    TestDir dir;
    QVERIFY(Sqlite3DB().CreateLogbook(QStringLiteral("refusing.sqlite3")));
    QVERIFY(SqlHelpers::exec(QStringLiteral("refusing.sqlite3"),
                             "CREATE TRIGGER REFUSE BEFORE INSERT ON QSOS BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const Imported imported = importBytes(numberedRecords(501), QStringLiteral("refusing.sqlite3"));
    // Every batch is refused, but the operator hears of it once.
    QCOMPARE(imported.messages, (QStringList{QStringLiteral("Error writing to database"),
                                             QStringLiteral("0 Qso Records added")}));
    QCOMPARE(imported.result.failedWrites, 2);
    QCOMPARE(imported.result.read, 501);

    // One refused row fails its batch of 500 alone; the count says what was stored.
    QVERIFY(Sqlite3DB().CreateLogbook(QLatin1String(kLog)));
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog), "CREATE TRIGGER REFUSE BEFORE INSERT ON QSOS WHEN NEW.CALL = '7' "
                                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const Imported partly = importBytes(numberedRecords(1001));
    QCOMPARE(partly.messages, (QStringList{QStringLiteral("Error writing to database"),
                                           QStringLiteral("501 Qso Records added")}));
    QCOMPARE(SqlHelpers::count(QLatin1String(kLog), "QSOS"), 501);
}

void TestAdif::missingFileAndCancelledDialog()
{
    TestDir dir;
    ensureProgramDatabase();
    QVERIFY(Sqlite3DB().CreateLogbook(QLatin1String(kLog)));
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    QVERIFY(doc.ImportAdifFile(QStringLiteral("nosuch.adi")).status == AdifImporter::Status::CannotOpenFile);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Cannot open Adif file...")});

    prompter.clear();
    doc.OnImportAdif(); // cancelled
    QCOMPARE(prompter.shown().size(), 1);
    const Prompter::FileRequest &request = prompter.shown().first().request;
    QVERIFY(request.kind == Prompter::FileRequest::Kind::Open);
    QCOMPARE(request.title, QStringLiteral("Import Adif file"));
    QCOMPARE(request.filter, QStringLiteral("Adif Files (*.adi)|*.adi|All Files (*.*)|*.*||"));
    QCOMPARE(request.defaultExtension, QStringLiteral("adi"));
    QVERIFY(request.mustExist);

    TestDir::writeFile(QStringLiteral("two.adi"), "<CALL:4>K1AB<EOR><CALL:4>K2CD<EOR>");
    prompter.clear();
    prompter.setNextFile(dir.filePath(QStringLiteral("two.adi")));
    doc.OnImportAdif();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("2 Qso Records added")});
    QCOMPARE(SqlHelpers::count(kLog, "QSOS"), 2);
}


// --- Import: failures that end the transaction --------------------------------------

namespace {

// A logbook of `count` generated QSOs with their statistics, made outside the code
// under test's import.
bool prefilledLogbook(const QString &path, int count)
{
    LogbookGenerator generator(7);
    return generator.writeLogbook(path, count);
}

const char kStatsOrder[] = "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY DXCC, BAND, MODE";
const char kIndexes[] = "SELECT name, sql FROM sqlite_master WHERE type = 'index' ORDER BY name";

// `count` records whose calls spread over the whole call index, as real calls do.
QByteArray spreadRecords(int count)
{
    QByteArray adif = "<EOH>\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray call = char('A' + i % 26) + QByteArray::number(i * 7919 % 100000);
        adif += "<CALL:" + QByteArray::number(call.size()) + '>' + call + "<BAND:3>20m<EOR>\n";
    }
    return adif;
}

} // namespace

void TestAdif::writeFailureThatEndsTheTransactionUndoesTheImport_data()
{
    QTest::addColumn<int>("logbookQsos");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("limitKiB");
    // Into a logbook of 5000 QSOs the first batches already grow the rollback journal
    // past the limit: SQLite gives up the transaction in the middle of the file.
    QTest::newRow("in the middle of the file") << 5000 << 3000 << 40;
    // Into an empty logbook (24 KiB) everything fits until the commit writes the file.
    QTest::newRow("at the commit") << 0 << 300 << 28;
}

void TestAdif::writeFailureThatEndsTheTransactionUndoesTheImport()
{
    QFETCH(int, logbookQsos);
    QFETCH(int, records);
    QFETCH(int, limitKiB);
    TestDir dir;
    QVERIFY(prefilledLogbook(QLatin1String(kLog), logbookQsos));
    const QByteArray qsosBefore = rows("SELECT COUNT(*), MAX(ROWID) FROM QSOS");
    const QByteArray statsBefore = rows(kStatsOrder);
    const QByteArray indexesBefore = rows(kIndexes);

    QVERIFY(TestDir::writeFile(QStringLiteral("in.adi"), spreadRecords(records)));
    ensureProgramDatabase(); // before the limit, which it would not fit under
    Imported imported;
    {
        FileSizeLimit limit(limitKiB * 1024);
        if (!limit.isActive())
            QSKIP("the file size limit cannot be set here");
        imported = importFile();
    }
    QCOMPARE(imported.messages, (QStringList{QStringLiteral("Error writing to database..."),
                                             QStringLiteral("0 Qso Records added")}));
    QCOMPARE(imported.result.added, 0);
    QVERIFY(imported.result.failure == AdifImporter::Failure::TransactionLost);
    // Reading stopped at the failure: nothing later was committed on its own.
    QVERIFY(imported.result.read < records || logbookQsos == 0);
    QCOMPARE(rows("SELECT COUNT(*), MAX(ROWID) FROM QSOS"), qsosBefore);
    QCOMPARE(rows(kStatsOrder), statsBefore);
    QCOMPARE(rows(kIndexes), indexesBefore);
    QCOMPARE(rows("PRAGMA integrity_check"), QByteArray("ok"));
}

void TestAdif::importKeepsTheIndexesOfQsos_data()
{
    QTest::addColumn<int>("logbookQsos");
    QTest::addColumn<int>("records");
    // The first writes its rows without the indexes and makes them at the end; the
    // second, small against the logbook, updates them as it goes.
    QTest::newRow("large import") << 100 << 3000;
    QTest::newRow("small import into a larger logbook") << 3000 << 20;
}

void TestAdif::importKeepsTheIndexesOfQsos()
{
    QFETCH(int, logbookQsos);
    QFETCH(int, records);
    TestDir dir;
    QVERIFY(prefilledLogbook(QLatin1String(kLog), logbookQsos));
    // An index another program made goes down and up with the program's own.
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog), "CREATE INDEX OTHER_QSOS_GRID ON QSOS (GRID, \"NAME\")"));
    const QByteArray indexesBefore = rows(kIndexes);
    QVERIFY(TestDir::writeFile(QStringLiteral("in.adi"), spreadRecords(records)));
    QCOMPARE(importFile().result.added, records);
    QCOMPARE(rows(kIndexes), indexesBefore);
    QCOMPARE(rows("PRAGMA integrity_check"), QByteArray("ok"));
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS INDEXED BY IDX_QSOS_CALLNOCASE WHERE CALL LIKE 'a%'"),
             rows("SELECT COUNT(*) FROM QSOS NOT INDEXED WHERE CALL LIKE 'a%'"));
}

void TestAdif::lockHeldByAnotherProgramStopsTheImport()
{
    TestDir dir;
    QVERIFY(Sqlite3DB().CreateLogbook(QLatin1String(kLog)));
    {
        // Released while the import waits for it: the import goes through.
        HeldLock lock{QLatin1String(kLog)};
        QVERIFY(lock.isHeld());
        lock.releaseLater(300);
        QCOMPARE(importBytes(numberedRecords(3)).messages, QStringList{QStringLiteral("3 Qso Records added")});
    }
    // Held beyond the busy timeout: nothing is read or written, and one message says so.
    HeldLock lock{QLatin1String(kLog)};
    QVERIFY(lock.isHeld());
    const Imported imported = importBytes(numberedRecords(3));
    QCOMPARE(imported.messages,
             (QStringList{QStringLiteral("Error writing to database...\nThe logbook is in use by another program"),
                          QStringLiteral("0 Qso Records added")}));
    QCOMPARE(imported.result.read, 0);
    lock.release();
    QCOMPARE(SqlHelpers::count(QLatin1String(kLog), "QSOS"), 3);
}

// Another program truncating the file while it is read: the import ends where the file
// now ends, with the records read whole until then.
void TestAdif::fileTruncatedWhileReadEndsTheImportThere()
{
    TestDir dir;
    const QByteArray adif = numberedRecords(150000);
    QVERIFY(adif.size() > 2 * AdifReader::kChunkSize);
    QVERIFY(TestDir::writeFile(QStringLiteral("in.adi"), adif));
    QVERIFY(Sqlite3DB().CreateLogbook(QLatin1String(kLog)));

    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    AdifImporter importer;
    QVERIFY(importer.openFile(QStringLiteral("in.adi")));
    QVERIFY(importer.skipHeader());
    bool truncated = false;
    importer.setProgressHandler([&truncated](int) {
        if (!truncated)
            truncated = QFile::resize(QStringLiteral("in.adi"), 0);
    });
    QVERIFY(importer.importInto(QLatin1String(kLog)));
    QVERIFY(truncated);
    QCOMPARE(importer.result().unreadRest, QStringLiteral("it became shorter while it was read"));
    // The first chunk was in memory before the file went: its whole records count.
    const int whole = countEorTags(adif.left(AdifReader::kChunkSize));
    QCOMPARE(importer.result().read, whole);
    QCOMPARE(importer.result().added, whole);
    QCOMPARE(rows("SELECT COUNT(*), MIN(CALL + 0), MAX(CALL + 0) FROM QSOS"),
             QByteArray::number(whole) + "|1|" + QByteArray::number(whole));
}

void TestAdif::lineEndCountedInAValueIsNotStored_data()
{
    QTest::addColumn<QByteArray>("adif");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("LF") << QByteArray("<EOH>\n<call:5>K1ABC\n<band:4>20m\n<eor>\n") << QByteArray("K1ABC|20");
    QTest::newRow("CR LF") << QByteArray("<EOH>\r\n<call:7>K1ABC\r\n<band:5>20m\r\n<eor>\r\n")
                           << QByteArray("K1ABC|20");
    QTest::newRow("inside a value it stays")
        << QByteArray("<EOH>\n<call:5>K1ABC<address:9>Main St\nX<band:3>40m<eor>\n") << QByteArray("K1ABC|40");
}

void TestAdif::lineEndCountedInAValueIsNotStored()
{
    QFETCH(QByteArray, adif);
    QFETCH(QByteArray, stored);
    TestDir dir;
    importBytes(adif);
    QCOMPARE(rows("SELECT CALL, BAND FROM QSOS"), stored);
    QCOMPARE(rows("SELECT COUNT(*) FROM QSOS WHERE ADDRESS1 = 'Main St\nX' OR ADDRESS1 = ''"), QByteArray("1"));
}

void TestAdif::statisticsFollowEveryImport()
{
    TestDir dir;
    const Imported first = importBytes("<EOH><CALL:6>DL1ABC<BAND:3>20M<MODE:2>CW<DXCC:3>230<QSL_RCVD:1>Y<EOR>"
                                       "<CALL:6>DL2ABC<BAND:3>20m<MODE:2>CW<DXCC:3>230<EOR>"
                                       "<CALL:4>G4AB<BAND:3>40m<MODE:3>SSB<DXCC:3>223<EOR>");
    QCOMPARE(first.messages, QStringList{QStringLiteral("3 Qso Records added")});
    QCOMPARE(rows(kStatsOrder), QByteArray("223|40|2|1|0\n230|20|1|2|1"));

    // A QSL marked received afterwards shows as confirmed, never above what was worked.
    CKorva3Doc doc{QLatin1String(kLog)};
    Sqlite3DB::UM_RECORD changed = doc.ReadQso(2).value_or(Sqlite3DB::UM_RECORD());
    changed.qslRcvd = 2;
    QVERIFY(doc.ChangeQso(2, changed));
    QCOMPARE(rows(kStatsOrder), QByteArray("223|40|2|1|0\n230|20|1|2|2"));

    // An import that stores nothing leaves the statistics alone.
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog), "DELETE FROM DXCCREPORT"));
    QCOMPARE(importBytes("<EOH>\n").messages, QStringList{QStringLiteral("0 Qso Records added")});
    QCOMPARE(SqlHelpers::count(QLatin1String(kLog), "DXCCREPORT"), 0);
}

void TestAdif::recordsWithoutEntityAreResolved()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")));
    importBytes("<EOH>\n"
                "<CALL:6>DL1ABC<BAND:3>20m<EOR>\n"                // no DXCC: resolved, with its zone
                "<CALL:6>DL2ABC<DXCC:1>0<BAND:3>20m<EOR>\n"       // 0 counts as none
                "<CALL:6>DL3ABC<CQZ:2>15<BAND:3>20m<EOR>\n"       // a zone given stays
                "<CALL:6>DL4ABC<DXCC:3>291<BAND:3>20m<EOR>\n"     // a DXCC given stays
                "<CALL:9>DL5ABC/MM<BAND:3>20m<EOR>\n"             // no entity to find
                "<CALL:6>KH6ABC<BAND:3>20m<EOR>\n");
    QCOMPARE(rows("SELECT CALL, COUNTRY, CQZONE FROM QSOS ORDER BY ROWID"),
             QByteArray("DL1ABC|230|14\nDL2ABC|230|14\nDL3ABC|230|15\nDL4ABC|291|\nDL5ABC/MM|0|\nKH6ABC|110|31"));
    QCOMPARE(rows(kStatsOrder), QByteArray("110|20|1|1|0\n230|20|1|3|0\n291|20|1|1|0"));
}

// --- Export ---------------------------------------------------------------------------

namespace {

Sqlite3DB::UM_RECORD exportQso(int daysAgo, const QString &time, const QString &call)
{
    Sqlite3DB::UM_RECORD r;
    r.date = dateDaysAgo(daysAgo);
    r.time = time;
    r.call = call;
    r.mode = 1;
    r.qslSent = 2;
    r.qslRcvd = 1;
    return r;
}

QByteArray compact(const QString &date)
{
    return date.toLatin1().replace('-', QByteArray());
}

bool addQsos(const QList<Sqlite3DB::UM_RECORD> &qsos)
{
    Sqlite3DB store;
    if (!store.CreateLogbook(QLatin1String(kLog)))
        return false;
    // One transaction: a commit each would make the test wait for the disk each time.
    return store.InLogbookTransaction(QLatin1String(kLog), [&] {
        for (const Sqlite3DB::UM_RECORD &qso : qsos) {
            if (!store.InsertQso({qso}, QLatin1String(kLog)))
                return false;
        }
        return true;
    });
}

bool exportTo(const QString &file, const QString &logbook, int days)
{
    Sqlite3DB store;
    return AdifWriter::ExportAdif(store, file, logbook, days) == AdifWriter::Result::Written;
}

// The records of an exported file: everything behind the header.
QByteArray exportedRecords(const QByteArray &file)
{
    const qsizetype end = file.indexOf("<EOH>\r\n\r\n");
    return end < 0 ? QByteArray("<no header>") : file.mid(end + 9);
}

} // namespace

void TestAdif::exportWritesTheLayoutExactly()
{
    TestDir dir;
    Sqlite3DB::UM_RECORD a = exportQso(1, QStringLiteral("14:05:00"), QStringLiteral("DL1ABC"));
    a.sent = QStringLiteral("599");
    a.rcvd = QStringLiteral("579");
    a.freq = QStringLiteral("14.012.0");
    a.band = QStringLiteral("20");
    a.mode = 2;
    a.power = QStringLiteral("100");
    a.cqZone = QStringLiteral("14");
    a.grid = QStringLiteral("JO31");
    a.name = QStringLiteral("O'Neil");
    a.qth = QStringLiteral("Köln");
    a.address1 = QStringLiteral("Street 1");
    a.address2 = QStringLiteral("Town");
    a.remarks = QStringLiteral("tnx <59>");
    a.qslMgr = QStringLiteral("DL9XX");
    a.iota = QStringLiteral("EU-001");
    a.country = 230;
    Sqlite3DB::UM_RECORD b = exportQso(2, QStringLiteral("08:00:00"), QStringLiteral("K1AB"));
    b.freq = QStringLiteral("432200");
    b.band = QStringLiteral("70");
    b.mode = 4;
    b.qslSent = 4;
    b.qslRcvd = 2;
    b.country = 291;
    Sqlite3DB::UM_RECORD c = exportQso(2, QStringLiteral("09:30:00"), QStringLiteral("JA1XYZ"));
    c.freq = QStringLiteral("abc");
    c.mode = 9;
    c.qslSent = 1;
    c.qslRcvd = 9;
    QVERIFY(addQsos({b, a, c}));

    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    QCOMPARE(prompter.texts(), QStringList());
    const QByteArray file = TestDir::readFile(QStringLiteral("out.adi"));

    const QRegularExpression head(QStringLiteral(
        "^ADIF Export from Korva Version 3\\.0\\.0\r\n[^\r\n]+\r\n[^\r\n]+\r\n[^\r\n]+\r\n\r\n"
        "Export date on [^\r\n]+\r\n\r\n"
        "<ADIF_VERS:5>3\\.1\\.7\r\n<PROGRAMID:6>Korva3\r\n<PROGRAMVERSION:5>3\\.0\\.14\r\n"
        "<CREATED_TIMESTAMP:15>\\d{8} \\d{6}\r\n<EOH>\r\n\r\n<QSO_DATE"));
    QVERIFY2(head.match(QString::fromLatin1(file)).hasMatch(), file.left(400).constData());

    const QByteArray expected =
        "<QSO_DATE:8>" + compact(a.date) + " <TIME_ON:6>140500 <TIME_OFF:6>140500 <CALL:6>DL1ABC "
        "<RST_SENT:3>599 <RST_RCVD:3>579\r\n"
        "<FREQ:7>14.0120 <BAND:3>20m <MODE:3>SSB <TX_PWR:3>100 <CQZ:2>14 <GRIDSQUARE:4>JO31\r\n"
        "<QSL_SENT:1>N <QSL_RCVD:1>N <NAME:6>O'Neil <QTH:5>K\xc3\xb6ln <ADDRESS:8>Street 1\r\n"
        "<COMMENT:8>tnx <59> <QSL_VIA:5>DL9XX <IOTA:6>EU-001 <DXCC:3>230 <EOR>\r\n"
        "<QSO_DATE:8>" + compact(c.date) + " <TIME_ON:6>093000 <TIME_OFF:6>093000 <CALL:6>JA1XYZ "
        "<RST_SENT:0> <RST_RCVD:0>\r\n"
        "<FREQ:0> <BAND:0> <MODE:0> <TX_PWR:0> <CQZ:0> <GRIDSQUARE:0>\r\n"
        "<QSL_SENT:1>R <QSL_RCVD:0> <NAME:0> <QTH:0> <ADDRESS:0>\r\n"
        "<COMMENT:0> <QSL_VIA:0> <IOTA:0> <DXCC:1>0 <EOR>\r\n"
        "<QSO_DATE:8>" + compact(b.date) + " <TIME_ON:6>080000 <TIME_OFF:6>080000 <CALL:4>K1AB "
        "<RST_SENT:0> <RST_RCVD:0>\r\n"
        "<FREQ:7>432.200 <BAND:4>70cm <MODE:2>FM <TX_PWR:0> <CQZ:0> <GRIDSQUARE:0>\r\n"
        "<QSL_SENT:1>Y <QSL_RCVD:1>Y <NAME:0> <QTH:0> <ADDRESS:0>\r\n"
        "<COMMENT:0> <QSL_VIA:0> <IOTA:0> <DXCC:3>291 <EOR>\r\n";
    QCOMPARE(exportedRecords(file), expected);
}

void TestAdif::exportPeriods_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("days");
    QTest::newRow("0 all") << 0 << 36500;
    QTest::newRow("1 year") << 1 << 365;
    QTest::newRow("2 six months") << 2 << 180;
    QTest::newRow("3 three months") << 3 << 90;
    QTest::newRow("4 month") << 4 << 30;
    QTest::newRow("5 week") << 5 << 7;
    QTest::newRow("6") << 6 << 36500;
    QTest::newRow("-1") << -1 << 36500;
}

void TestAdif::exportPeriods()
{
    QFETCH(int, code);
    QFETCH(int, days);
    QCOMPARE(CKorva3Doc::ExportDays(code), days);
}

void TestAdif::exportPeriodBoundary()
{
    TestDir dir;
    QVERIFY(addQsos({exportQso(7, QStringLiteral("23:59:59"), QStringLiteral("OLD7")),
                     exportQso(6, QStringLiteral("00:00:00"), QStringLiteral("NEW6")),
                     exportQso(30, QStringLiteral("12:00:00"), QStringLiteral("OLD30")),
                     exportQso(0, QStringLiteral("00:00:01"), QStringLiteral("TODAY"))}));
    QVERIFY(exportTo(QStringLiteral("week.adi"), QLatin1String(kLog), 7));
    const QByteArray week = exportedRecords(TestDir::readFile(QStringLiteral("week.adi")));
    QCOMPARE(week.count("<EOR>"), 2);
    QVERIFY(week.indexOf("<CALL:5>TODAY") < week.indexOf("<CALL:4>NEW6"));
    QVERIFY(!week.contains("OLD"));

    QVERIFY(exportTo(QStringLiteral("month.adi"), QLatin1String(kLog), 31));
    QCOMPARE(exportedRecords(TestDir::readFile(QStringLiteral("month.adi"))).count("<EOR>"), 4);

    // No QSO in the period: preamble and header only, and still a success.
    QVERIFY(SqlHelpers::exec(kLog, "DELETE FROM QSOS WHERE CALL != 'OLD30'"));
    QVERIFY(exportTo(QStringLiteral("none.adi"), QLatin1String(kLog), 7));
    const QByteArray none = TestDir::readFile(QStringLiteral("none.adi"));
    QVERIFY(none.endsWith("<EOH>\r\n\r\n"));
}

void TestAdif::exportFrequency_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("band");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("MHz") << QByteArray("14.074") << QByteArray() << QByteArray("14.074");
    QTest::newRow("two points") << QByteArray("14.012.0") << QByteArray("20") << QByteArray("14.0120");
    QTest::newRow("kHz 20 m") << QByteArray("14074") << QByteArray("20") << QByteArray("14.074");
    QTest::newRow("kHz without band") << QByteArray("14074") << QByteArray() << QByteArray("14.074");
    QTest::newRow("kHz 80 m") << QByteArray("3550") << QByteArray("80") << QByteArray("3.550");
    QTest::newRow("kHz with fraction") << QByteArray("3550.5") << QByteArray("80") << QByteArray("3.5505");
    QTest::newRow("kHz 2 m") << QByteArray("144300") << QByteArray("2") << QByteArray("144.300");
    QTest::newRow("MHz 23 cm stays") << QByteArray("1296") << QByteArray("23") << QByteArray("1296");
    QTest::newRow("MHz whole number") << QByteArray("7") << QByteArray("40") << QByteArray("7");
    QTest::newRow("in no band") << QByteArray("100") << QByteArray() << QByteArray("100");
    QTest::newRow("blanks around") << QByteArray(" 7.030 ") << QByteArray("40") << QByteArray("7.030");
    QTest::newRow("not a number") << QByteArray("abc") << QByteArray() << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("point only") << QByteArray(".") << QByteArray() << QByteArray();
    // Microwave frequencies above the band table are MHz already, on their own band.
    QTest::newRow("3 cm in MHz") << QByteArray("10104.09") << QByteArray("3cm") << QByteArray("10104.09");
    QTest::newRow("2 mm in MHz") << QByteArray("146389.9") << QByteArray("2mm") << QByteArray("146389.9");
    QTest::newRow("2 m in kHz") << QByteArray("146389.9") << QByteArray("2") << QByteArray("146.3899");
    QTest::newRow("30 m in kHz") << QByteArray("10104.09") << QByteArray("30") << QByteArray("10.10409");
    // As a reader reads them: a decimal comma, a unit.
    QTest::newRow("decimal comma") << QByteArray("7,074") << QByteArray("40") << QByteArray("7.074");
    QTest::newRow("MHz unit") << QByteArray("14.074 MHz") << QByteArray("20") << QByteArray("14.074");
    QTest::newRow("kHz unit") << QByteArray("14074 kHz") << QByteArray() << QByteArray("14.074");
    QTest::newRow("kHz unit below 1 MHz") << QByteArray("136kHz") << QByteArray() << QByteArray("0.136");
    QTest::newRow("comma beside a point") << QByteArray("1,296.100") << QByteArray("23") << QByteArray("1296.100");
}

void TestAdif::exportFrequency()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, band);
    QFETCH(QByteArray, written);
    QCOMPARE(AdifFrequency::exportValue(stored, band), written);
}

void TestAdif::exportFailures()
{
    TestDir dir;
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    QVERIFY(addQsos({exportQso(1, QStringLiteral("10:00:00"), QStringLiteral("K1AB"))}));
    QVERIFY(!CKorva3Doc(QLatin1String(kLog)).ExportAdifFile(QStringLiteral("missing/out.adi")));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Cannot create Adif file...")});

    // A logbook that cannot be read: nothing is said, and the file an earlier export
    // wrote there is left as it was.
    prompter.clear();
    QVERIFY(TestDir::writeFile(QStringLiteral("out.adi"), "an earlier export"));
    QVERIFY(TestDir::writeFile(QStringLiteral("plain.sqlite3"), QByteArray(4096, 'x')));
    QVERIFY(!CKorva3Doc(QStringLiteral("plain.sqlite3")).ExportAdifFile(QStringLiteral("out.adi")));
    QCOMPARE(prompter.texts(), QStringList());
    QCOMPARE(TestDir::readFile(QStringLiteral("out.adi")), QByteArray("an earlier export"));
}

void TestAdif::exportNeverOverwritesADatabase_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("the open logbook") << QString::fromLatin1(kLog);
    QTest::newRow("the open logbook by another path") << QStringLiteral("./sub/../log.sqlite3");
    QTest::newRow("another logbook") << QStringLiteral("other.sqlite3");
    QTest::newRow("the program database") << QStringLiteral("korva3.sqlite3");
    QTest::newRow("a database of another name") << QStringLiteral("backup.adi");
}

void TestAdif::exportNeverOverwritesADatabase()
{
    QFETCH(QString, target);
    TestDir dir;
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    QVERIFY(addQsos({exportQso(1, QStringLiteral("10:00:00"), QStringLiteral("K1AB"))}));
    for (const char *name : {"other.sqlite3", "korva3.sqlite3", "backup.adi"})
        QVERIFY(SqlHelpers::exec(QString::fromLatin1(name), "CREATE TABLE KEEP (X); INSERT INTO KEEP VALUES (1)"));

    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    const QByteArray before = TestDir::readFile(target); // the open logbook as opening left it
    QVERIFY(!doc.ExportAdifFile(target));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("This file cannot be overwritten")});
    QCOMPARE(TestDir::readFile(target), before);
    QCOMPARE(filesBesideTheLogbook(), 4); // no file left beside it
}

void TestAdif::exportThatCannotBeWrittenKeepsTheEarlierFile()
{
    TestDir dir;
    QList<Sqlite3DB::UM_RECORD> qsos;
    for (int i = 0; i < 400; ++i)
        qsos.append(exportQso(1, QStringLiteral("10:00:00"), QStringLiteral("K%1AB").arg(i)));
    QVERIFY(addQsos(qsos));
    QVERIFY(TestDir::writeFile(QStringLiteral("out.adi"), "an earlier export"));

    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    {
        FileSizeLimit limit(16 * 1024);
        if (!limit.isActive())
            QSKIP("the file size limit cannot be set here");
        QVERIFY(!doc.ExportAdifFile(QStringLiteral("out.adi")));
    }
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Error writing Adif file...")});
    QCOMPARE(TestDir::readFile(QStringLiteral("out.adi")), QByteArray("an earlier export"));
    QCOMPARE(filesBesideTheLogbook(), 2);

    prompter.clear();
    QVERIFY(doc.ExportAdifFile(QStringLiteral("out.adi")));
    QCOMPARE(TestDir::readFile(QStringLiteral("out.adi")).count("<EOR>"), 400);
}

void TestAdif::exportCommandAsksForTheFile()
{
    TestDir dir;
    QVERIFY(addQsos({exportQso(3, QStringLiteral("10:00:00"), QStringLiteral("K1AB")),
                     exportQso(40, QStringLiteral("10:00:00"), QStringLiteral("K2CD"))}));
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    doc.m_adifPeriod = 4;

    doc.OnExportAdif(); // cancelled
    QCOMPARE(prompter.shown().size(), 1);
    const Prompter::FileRequest &request = prompter.shown().first().request;
    QVERIFY(request.kind == Prompter::FileRequest::Kind::Save);
    QCOMPARE(request.title, QStringLiteral("Export Adif file"));
    QCOMPARE(request.filter, QStringLiteral("Adif Files (*.adi)|*.adi|All Files (*.*)|*.*||"));
    QCOMPARE(request.defaultExtension, QStringLiteral("adi"));
    QVERIFY(request.confirmOverwrite);
    QVERIFY(!QFile::exists(QStringLiteral("month.adi")));

    prompter.clear();
    prompter.setNextFile(dir.filePath(QStringLiteral("month.adi")));
    doc.OnExportAdif();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Logbook log.sqlite3 exported to file month.adi")});
    const QByteArray records = exportedRecords(TestDir::readFile(QStringLiteral("month.adi")));
    QCOMPARE(records.count("<EOR>"), 1);
    QVERIFY(records.contains("<CALL:4>K1AB"));
}

// --- Both ways ------------------------------------------------------------------------

void TestAdif::roundTripKeepsEveryRow()
{
    TestDir dir;
    QList<Sqlite3DB::UM_RECORD> qsos = LogbookGenerator(6).take(1200);
    Sqlite3DB::UM_RECORD special = exportQso(400, QStringLiteral("23:59:00"), QStringLiteral("VP8/G3ABC"));
    special.freq = QStringLiteral("14074");
    special.address1 = QStringLiteral("Line 1\r\nLine 2 <x>");
    special.address2 = QStringLiteral("lost");
    special.remarks = QStringLiteral("it's 'quoted'");
    special.qth = QStringLiteral("Zürich €");
    special.qslSent = 4;
    qsos.append(special);
    QVERIFY(addQsos(qsos));
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    QVERIFY(exportTo(QStringLiteral("all.adi"), QLatin1String(kLog), 36500));

    QVERIFY(Sqlite3DB().CreateLogbook(QStringLiteral("back.sqlite3")));
    ensureProgramDatabase();
    CKorva3Doc back{QStringLiteral("back.sqlite3")};
    QCOMPARE(back.ImportAdifFile(QStringLiteral("all.adi")).added, qsos.size());

    // The documented differences: QSL sent D comes back as Y, ADDRESS2 is not written,
    // a frequency in kHz comes back in MHz, and only modes 1 to 5 are written.
    const QByteArray original = SqlHelpers::rows(QLatin1String(kLog),
        "SELECT DATE, TIME, CALL, SENT, RCVD, CASE FREQ WHEN '14074' THEN '14.074' ELSE FREQ END, BAND, "
        "CASE WHEN MODE BETWEEN 1 AND 5 THEN MODE ELSE 1 END, POWER, CQZONE, GRID, "
        "CASE QSLSENT WHEN 4 THEN 3 ELSE QSLSENT END, QSLRCVD, NAME, QTH, ADDRESS1, '', REMARKS, QSLMGR, IOTA, "
        "COUNTRY FROM QSOS ORDER BY DATE, TIME, CALL");
    const QByteArray imported =
        SqlHelpers::rows(QStringLiteral("back.sqlite3"), QByteArray(kAllColumns) + " ORDER BY DATE, TIME, CALL");
    QCOMPARE(SqlHelpers::count(QStringLiteral("back.sqlite3"), "QSOS"), qsos.size());
    QCOMPARE(imported, original);
    QVERIFY(imported.contains("Z\xc3\xbcrich \xe2\x82\xac")); // stored as UTF-8 on both sides
}

namespace {

using Fields = QList<std::pair<QByteArray, QByteArray>>;

// The records of an ADIF text as the format defines them, read here apart from the
// program's reader: behind the header (unless the text starts with "<"), every
// "<NAME:LENGTH>" or "<NAME:LENGTH:TYPE>" takes the LENGTH bytes after it, and EOR ends
// a record. Names in capitals.
QList<Fields> adifRecords(const QByteArray &text)
{
    qsizetype at = 0;
    if (!text.startsWith('<')) {
        at = text.toUpper().indexOf("<EOH>");
        at = at < 0 ? text.size() : at + 5;
    }
    QList<Fields> records;
    Fields record;
    while ((at = text.indexOf('<', at)) >= 0) {
        const qsizetype close = text.indexOf('>', at);
        if (close < 0)
            break;
        const QList<QByteArray> tag = text.mid(at + 1, close - at - 1).split(':');
        at = close + 1;
        const QByteArray name = tag.first().toUpper();
        if (name == "EOR") {
            records.append(record);
            record.clear();
        } else if (tag.size() >= 2) {
            const int length = tag.at(1).toInt();
            record.append({name, text.mid(at, length)});
            at += length;
        }
    }
    return records;
}

QByteArray valueOf(const Fields &record, const QByteArray &name)
{
    QByteArray value;
    for (const auto &field : record) {
        if (field.first == name)
            value = field.second; // a repeated field: the last one is the QSO's
    }
    return value;
}

// How the logbook gives back a field it stores in a column of its own, where that is
// not the text it was given. These are the only differences allowed; every other field
// must come back exactly.
QByteArray asExported(const QByteArray &name, const QByteArray &value)
{
    // QSO_DATE and TIME_ON: stored with their separators as YYYY-MM-DD and HH:MM:SS, so
    // a time given without seconds comes back with them.
    if (name == "TIME_ON" && value.size() == 4)
        return value + "00";
    // BAND: stored without the unit of metres and of 70 and 23 cm; written with it in
    // lower case.
    if (name == "BAND")
        return value.toLower();
    // FREQ: written as a number in MHz, trailing zeros as stored.
    if (name == "FREQ")
        return QByteArray::number(value.toDouble(), 'f', 6);
    // QSL_SENT: the logbook's four states; Q (queued) is D, written as Y, and a value it
    // has no state for leaves N.
    if (name == "QSL_SENT")
        return value == "Y" || value == "Q" ? QByteArray("Y") : value == "R" ? QByteArray("R") : QByteArray("N");
    return value;
}

} // namespace

void TestAdif::bandsAreWrittenAsTheyWereGiven_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("reportBands"); // where the DXCC report counts it
    QTest::newRow("20 m") << QByteArray("20M") << QByteArray("20m") << QByteArray("20");
    QTest::newRow("2 m") << QByteArray("2m") << QByteArray("2m") << QByteArray("2");
    QTest::newRow("70 cm") << QByteArray("70cm") << QByteArray("70cm") << QByteArray();
    QTest::newRow("6 cm is not 6 m") << QByteArray("6cm") << QByteArray("6cm") << QByteArray();
    QTest::newRow("6 mm is not 6 m") << QByteArray("6mm") << QByteArray("6mm") << QByteArray();
    QTest::newRow("2 mm is not 2 m") << QByteArray("2mm") << QByteArray("2mm") << QByteArray();
    QTest::newRow("13 cm") << QByteArray("13CM") << QByteArray("13cm") << QByteArray();
}

void TestAdif::bandsAreWrittenAsTheyWereGiven()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, reportBands);
    TestDir dir;
    importBytes("<EOH><CALL:4>K1AB<QSO_DATE:8>20260101<MODE:2>CW<DXCC:3>291<BAND:"
                + QByteArray::number(given.size()) + '>' + given + "<EOR>");
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    QVERIFY(TestDir::readFile(QStringLiteral("out.adi")).contains("<BAND:" + QByteArray::number(written.size()) + '>'
                                                                   + written + ' '));
    // Only the report bands count in the DXCC report.
    const DxccTotals totals = CKorva3Doc(QLatin1String(kLog)).ReadDxccTotals();
    QByteArray counted;
    for (int band = 0; band < ReportBands::kCount; ++band) {
        if (totals.cells[band][DxccTotals::kCw].worked > 0)
            counted += ReportBands::kBands[band];
    }
    QCOMPARE(counted, reportBands);
}

// A file's fields the logbook keeps aside go out again with the QSO, until the operator
// changes what they belong to.
void TestAdif::keptFieldsFollowTheQso()
{
    TestDir dir;
    // Header fields are no record's.
    importBytes("Log of DL1XYZ <ADIF_VER:5>3.1.4 <PROGRAMID:6>WSJT-X <EOH>\n"
                "<CALL:5>K1ABC<QSO_DATE:8>20260101<TIME_ON:4>1200<TIME_OFF:6>120130<MODE:4>MFSK<SUBMODE:3>FT4"
                "<QSL_RCVD:1>R<DXCC:3>001<STATION_CALLSIGN:6>DL1XYZ<app_test_x:1:S>1<EOR>\n"
                "<CALL:5>K2ABC<QSO_DATE:8>20260102<TIME_ON:6>120000<TIME_OFF:6>120000<MODE:3>SSB<SUBMODE:3>USB"
                "<QSL_RCVD:1>N<EOR>\n"
                "<CALL:5>K3ABC<QSO_DATE:8>20260103<TIME_ON:6>120000<MODE:2>CW<EOR>\n");
    // Nothing is kept that the columns give back by themselves: K3ABC keeps nothing.
    QCOMPARE(rows("SELECT QSO, NAME, VALUE FROM QSOFIELDS ORDER BY ROWID"),
             QByteArray("1|TIME_OFF|120130\n1|MODE|MFSK\n1|SUBMODE|FT4\n1|QSL_RCVD|R\n1|DXCC|001\n"
                        "1|STATION_CALLSIGN|DL1XYZ\n1|APP_TEST_X|1\n2|MODE|SSB\n2|SUBMODE|USB"));
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("<QSO_DATE:8>20260101 <TIME_ON:6>120000 <TIME_OFF:6>120130 <CALL:5>K1ABC"));
    QVERIFY(out.contains("<MODE:4>MFSK <TX_PWR:0>"));
    QVERIFY(out.contains("<QSL_RCVD:1>R <NAME:0>"));
    QVERIFY(out.contains("<DXCC:3>001 <SUBMODE:3>FT4 <STATION_CALLSIGN:6>DL1XYZ <APP_TEST_X:1>1 <EOR>\r\n"));
    QVERIFY(out.contains("<MODE:3>SSB <TX_PWR:0>"));
    QVERIFY(out.contains("<DXCC:1>0 <SUBMODE:3>USB <EOR>\r\n"));
    QCOMPARE(out.count("<MODE:"), 3);

    // The operator makes K1ABC a CW QSO with QSL received Y: the kept MODE, SUBMODE and
    // QSL_RCVD no longer hold; the fields that do not belong to them still go out.
    CKorva3Doc doc{QLatin1String(kLog)};
    Sqlite3DB::UM_RECORD changed = *doc.ReadQso(1);
    changed.mode = 1;
    changed.qslRcvd = 2;
    QVERIFY(doc.ChangeQso(1, changed));
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("<MODE:2>CW <TX_PWR:0>"));
    QVERIFY(out.contains("<QSL_RCVD:1>Y <NAME:0>"));
    QVERIFY(out.contains("<DXCC:3>001 <STATION_CALLSIGN:6>DL1XYZ <APP_TEST_X:1>1 <EOR>\r\n"));
    QVERIFY(!out.contains("FT4"));

    // A deleted QSO takes its kept fields with it.
    QVERIFY(doc.DeleteQso(2));
    QCOMPARE(rows("SELECT DISTINCT QSO FROM QSOFIELDS"), QByteArray("1"));
}

// A logbook made before QSOFIELDS existed gets the table the first time it keeps a
// field; its QSOS and DXCCREPORT stay exactly as they were made.
void TestAdif::olderLogbookGetsItsKeptFieldsOnImport()
{
    TestDir dir;
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog), QByteArray(Sqlite3DB::kCreateQsos) + ";" + Sqlite3DB::kCreateQsosIndex
                                                     + ";" + Sqlite3DB::kCreateDxccReport));
    QVERIFY(exportTo(QStringLiteral("empty.adi"), QLatin1String(kLog), 36500)); // reading keeps it as it is
    QCOMPARE(rows("SELECT COUNT(*) FROM sqlite_master WHERE name = 'QSOFIELDS'"), QByteArray("0"));
    importBytes("<EOH><CALL:4>K1AB<QSO_DATE:8>20260101<MY_GRIDSQUARE:6>JO31AA<EOR>");
    QCOMPARE(rows("SELECT NAME, VALUE FROM QSOFIELDS"), QByteArray("MY_GRIDSQUARE|JO31AA"));
    QCOMPARE(rows("SELECT sql FROM sqlite_master WHERE name = 'QSOS'"), QByteArray(Sqlite3DB::kCreateQsos));
    QCOMPARE(rows("SELECT sql FROM sqlite_master WHERE name = 'DXCCREPORT'"), QByteArray(Sqlite3DB::kCreateDxccReport));
}

void TestAdif::realFilesComeBackWithEveryField_data()
{
    sharedFilesImportEveryRecord_data();
}

// An operator's file imported and exported again: every field of every record that had
// a value is in the export with the same value, but for the documented differences.
void TestAdif::realFilesComeBackWithEveryField()
{
    if (!QDir(sharedAdifFolder()).exists())
        QSKIP("../shared/testdata/adif is not here (it is not part of the repository)");
    QFETCH(QString, file);
    QFETCH(int, duplicates);
    TestDir dir;
    QByteArray original = TestDir::readFile(file);
    // The one file whose lengths count CR LF while its lines end in LF alone is read in
    // the CR LF form its lengths were written for.
    if (file.endsWith(QLatin1String("ADIF_316_test_QSOs_2025_08_27.adi")))
        original.replace("\n", "\r\n");
    const int records = countEorTags(original);
    QCOMPARE(importBytes(original).result.added, records - duplicates);
    QVERIFY(exportTo(QStringLiteral("back.adi"), QLatin1String(kLog), 36500));
    QList<Fields> given = adifRecords(original);
    QList<Fields> exported = adifRecords(TestDir::readFile(QStringLiteral("back.adi")));
    QCOMPARE(given.size(), records);
    // A record that repeats an earlier one (call, date, minute, band, mode) is left out.
    QSet<QByteArray> seen;
    given.removeIf([&seen](const Fields &record) {
        const QByteArray key = valueOf(record, "CALL").toUpper() + ' ' + valueOf(record, "QSO_DATE") + ' '
                             + valueOf(record, "TIME_ON").left(4) + ' ' + valueOf(record, "BAND").toLower() + ' '
                             + QByteArray::number(AdifQsoMapping::modeCode(valueOf(record, "MODE"), 1));
        if (seen.contains(key))
            return true;
        seen.insert(key);
        return false;
    });
    QCOMPARE(given.size(), records - duplicates);
    QCOMPARE(exported.size(), records - duplicates);

    // The export is newest first: each record is found again by its date, time and call.
    const auto key = [](const Fields &record) {
        return valueOf(record, "QSO_DATE") + ' ' + asExported("TIME_ON", valueOf(record, "TIME_ON")) + ' '
             + valueOf(record, "CALL");
    };
    QMultiHash<QByteArray, qsizetype> byKey;
    for (qsizetype i = 0; i < exported.size(); ++i)
        byKey.insert(key(exported.at(i)), i);
    QList<bool> used(exported.size(), false);
    int fields = 0;
    for (const Fields &record : given) {
        QByteArray missing;
        qsizetype match = -1;
        for (const qsizetype candidate : byKey.values(key(record))) {
            if (used.at(candidate))
                continue;
            missing.clear();
            for (const auto &[name, value] : record) {
                if (!value.isEmpty()
                    && asExported(name, valueOf(exported.at(candidate), name)) != asExported(name, valueOf(record, name)))
                    missing += ' ' + name + '=' + value;
            }
            if (missing.isEmpty()) {
                match = candidate;
                break;
            }
        }
        QVERIFY2(match >= 0, qPrintable(key(record) + " lost or changed:" + missing));
        used[match] = true;
        fields += static_cast<int>(record.size());
    }
    QVERIFY(fields > records);
}

// --- Any alphabet ---------------------------------------------------------------------

namespace {

// "<NAME:LENGTH>VALUE", the length in bytes, or in characters as some writers count.
QByteArray field(const QByteArray &name, const QByteArray &value)
{
    return '<' + name + ':' + QByteArray::number(value.size()) + '>' + value;
}

QByteArray fieldInCharacters(const QByteArray &name, const QByteArray &value)
{
    return '<' + name + ':' + QByteArray::number(QString::fromUtf8(value).size()) + '>' + value;
}

const char kTexts[] = "SELECT NAME, QTH, REMARKS, ADDRESS1, CALL FROM QSOS ORDER BY ROWID";

} // namespace

void TestAdif::textInAnyAlphabet_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("stored");
    const QByteArray names = "Łukasz|Łódź|Иван|東京|SP1ABC";
    QTest::newRow("UTF-8, lengths in bytes")
        << field("NAME", "Łukasz") + field("QTH", "Łódź") + field("COMMENT", "Иван") + field("ADDRESS", "東京")
               + field("CALL", "SP1ABC") + field("MY_CITY", "Łódź")
        << names;
    QTest::newRow("UTF-8, lengths in characters")
        << fieldInCharacters("NAME", "Łukasz") + fieldInCharacters("QTH", "Łódź") + fieldInCharacters("COMMENT", "Иван")
               + fieldInCharacters("ADDRESS", "東京") + field("CALL", "SP1ABC")
        << names;
    QTest::newRow("UTF-8 in characters, blanks and line ends between fields")
        << "<NAME:6>Łukasz <QTH:4>Łódź\r\n<COMMENT:4>Иван\n<ADDRESS:2>東京 " + field("CALL", "SP1ABC") << names;
    QTest::newRow("Windows-1252")
        << QByteArray("<NAME:4>Jos\xe9<QTH:7>M\xfcnchen<COMMENT:8>Stra\xdf" "e \x80<CALL:5>DL1AB")
        << QByteArray("José|München|Straße €||DL1AB");
    // An older export of this program: Windows-1252 columns beside UTF-8 kept fields.
    QTest::newRow("both encodings in one record")
        << QByteArray("<NAME:6>J\xfcrgen") + field("QTH", "Köln") + field("CALL", "DL2AB")
        << QByteArray("Jürgen|Köln|||DL2AB");
    QTest::newRow("UTF-8 its writer cut inside a character")
        << QByteArray("<NAME:12>Claude C\xc3\xb4t\xc3\n<CALL:5>VE2AB") << QByteArray("Claude Côt||||VE2AB");
    QTest::newRow("a length that would cut a character, then a comment")
        << "<NAME:2>Jürgen // note " + field("CALL", "DL3AB") << QByteArray("Jü||||DL3AB");
}

// The logbook stores UTF-8 whatever the file held, and every field ends where its
// writer meant it to, whether it counted bytes or characters. The export writes UTF-8
// with lengths in bytes, and gives the same texts back byte for byte.
void TestAdif::textInAnyAlphabet()
{
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, stored);
    TestDir dir;
    QCOMPARE(importBytes("<EOH>\n<QSO_DATE:8>20260101" + fields + "<EOR>\n").messages,
             QStringList{QStringLiteral("1 Qso Records added")});
    QCOMPARE(rows(kTexts), stored);
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.isValidUtf8() && !out.contains("Ã"));
    QVERIFY(out.contains(' ' + field("NAME", stored.left(stored.indexOf('|'))) + ' '));
    importBytes(out, QStringLiteral("back.sqlite3"));
    QCOMPARE(SqlHelpers::rows(QStringLiteral("back.sqlite3"), kTexts), stored);
    QCOMPARE(SqlHelpers::rows(QStringLiteral("back.sqlite3"), "SELECT NAME, VALUE FROM QSOFIELDS"), rows("SELECT NAME, VALUE FROM QSOFIELDS"));
}

// A logbook made before text was stored as UTF-8, holding Windows-1252 text, as Korva3
// on Windows wrote it.
void TestAdif::olderLogbookTextBecomesUtf8Once()
{
    TestDir dir;
    const QByteArray insert = "INSERT INTO QSOS (DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, CQZONE, GRID, "
                              "QSLSENT, QSLRCVD, NAME, QTH, ADDRESS1, ADDRESS2, REMARKS, QSLMGR, IOTA, COUNTRY) VALUES ";
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog),
        QByteArray(Sqlite3DB::kCreateQsos) + ";" + Sqlite3DB::kCreateQsosIndex + ";" + Sqlite3DB::kCreateDxccReport + ";"
        + insert + "('2026-01-02','10:00:00','F5ABC','599','599','14.025','20',1,'','','',2,1,'Jos\xe9','M\xfcnchen',"
                   "'Stra\xdf" "e 1','','5 \x80 tip','','',227),"
                   "('2026-01-03','11:00:00','SP1ABC','599','599','14.025','20',1,'','','',2,1,'Łukasz','Łódź',"
                   "'','','','','',269),"
                   "('2026-01-04','12:00:00','K1AB','599','599','14.025','20',1,'','','',2,1,'Bob','','','','','',"
                   "'',291)"));
    const QByteArray before = rows("SELECT NAME, QTH, ADDRESS1, REMARKS FROM QSOS ORDER BY ROWID");

    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    {
        CKorva3Doc doc{QLatin1String(kLog)};
        QVERIFY(doc.openState() == CKorva3Doc::OpenState::Ready);
        QCOMPARE(doc.ReadQso(1)->name, QString::fromUtf8("José"));
        QCOMPARE(doc.ReadQso(1)->remarks, QString::fromUtf8("5 € tip"));
        doc.m_adifPeriod = 0;
        QVERIFY(doc.ExportAdifFile(QStringLiteral("out.adi")));
    }
    const QByteArray converted = "José|München|Straße 1|5 € tip\nŁukasz|Łódź||\nBob|||";
    QCOMPARE(rows("SELECT NAME, QTH, ADDRESS1, REMARKS FROM QSOS ORDER BY ROWID"), converted);
    QCOMPARE(rows("PRAGMA user_version"), QByteArray("1"));
    // The copy taken before holds the text as it was.
    QCOMPARE(SqlHelpers::rows(QStringLiteral("log.sqlite3.v0.bak"), "SELECT NAME, QTH, ADDRESS1, REMARKS FROM QSOS "
                                                                    "ORDER BY ROWID"),
             before);
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("<NAME:5>José <QTH:8>München <ADDRESS:9>Straße 1\r\n<COMMENT:9>5 € tip "));
    QVERIFY(out.contains("<NAME:7>Łukasz <QTH:7>Łódź "));

    // Opened again, nothing is converted twice; Windows-1252 text another program writes
    // into it later reads right and goes out as UTF-8 too.
    QVERIFY(SqlHelpers::exec(QLatin1String(kLog), "UPDATE QSOS SET QTH = 'K\xf6ln' WHERE ROWID = 3"));
    CKorva3Doc again{QLatin1String(kLog)};
    QCOMPARE(rows("SELECT NAME, QTH FROM QSOS ORDER BY ROWID"),
             QByteArray("José|München\nŁukasz|Łódź\nBob|K\xf6ln"));
    QCOMPARE(again.ReadQso(3)->qth, QString::fromUtf8("Köln"));
    again.m_adifPeriod = 0;
    QVERIFY(again.ExportAdifFile(QStringLiteral("again.adi")));
    QVERIFY(TestDir::readFile(QStringLiteral("again.adi")).contains("<QTH:5>Köln "));
}

// --- Duplicates -----------------------------------------------------------------------

namespace {

QByteArray qsoRecord(const QByteArray &call, const QByteArray &date, const QByteArray &time, const QByteArray &band,
                     const QByteArray &mode)
{
    return field("CALL", call) + field("QSO_DATE", date) + field("TIME_ON", time) + field("BAND", band)
         + field("MODE", mode) + "<EOR>\n";
}

QByteArray sevenRecords()
{
    QByteArray adif = "<EOH>\n";
    for (int i = 1; i <= 7; ++i)
        adif += qsoRecord("DL" + QByteArray::number(i) + "AB", "20260101", "12" + QByteArray::number(10 + i) + "00",
                          "40m", "CW");
    return adif;
}

} // namespace

void TestAdif::duplicatesAreSkippedAndCounted_data()
{
    QTest::addColumn<QByteArray>("before"); // imported first, when not empty
    QTest::addColumn<QByteArray>("adif");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("stored");
    QTest::newRow("a file imported a second time")
        << sevenRecords() << sevenRecords() << QStringLiteral("0 Qso Records added, 7 duplicates skipped") << 7;
    QTest::newRow("twice in one file: the call in another case, seconds apart, the same mode code")
        << QByteArray() << "<EOH>\n" + qsoRecord("DL1AB", "20260101", "120005", "20m", "FT8")
                           + qsoRecord("dl1ab", "20260101", "1200", "20M", "MFSK")
        << QStringLiteral("1 Qso Records added, 1 duplicates skipped") << 1;
    QTest::newRow("another minute, date, band, mode or call is another QSO")
        << QByteArray() << "<EOH>\n" + qsoRecord("DL1AB", "20260101", "1200", "20m", "CW")
                           + qsoRecord("DL1AB", "20260101", "1201", "20m", "CW")
                           + qsoRecord("DL1AB", "20260102", "1200", "20m", "CW")
                           + qsoRecord("DL1AB", "20260101", "1200", "40m", "CW")
                           + qsoRecord("DL1AB", "20260101", "1200", "20m", "SSB")
                           + qsoRecord("DL1ABC", "20260101", "1200", "20m", "CW")
        << QStringLiteral("6 Qso Records added") << 6;
    QByteArray later = numberedRecords(600);
    later += "<CALL:1>1<EOR>\n";
    QTest::newRow("a repeat after its batch was written")
        << QByteArray() << later << QStringLiteral("600 Qso Records added, 1 duplicates skipped") << 600;
    // A large import takes the other indexes down and asks through the one on date and time.
    QTest::newRow("a large file a second time")
        << spreadRecords(3000) << spreadRecords(3000) << QStringLiteral("0 Qso Records added, 3000 duplicates skipped")
        << 3000;
    QTest::newRow("against the logbook and the file at once")
        << "<EOH>\n" + qsoRecord("DL1AB", "20260101", "1200", "20m", "CW")
        << "<EOH>\n" + qsoRecord("DL1AB", "20260101", "1200", "20m", "CW") + qsoRecord("DL2AB", "20260101", "1200", "20m", "CW")
               + qsoRecord("DL2AB", "20260101", "1200", "20m", "CW")
        << QStringLiteral("1 Qso Records added, 2 duplicates skipped") << 2;
}

void TestAdif::duplicatesAreSkippedAndCounted()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, adif);
    QFETCH(QString, message);
    QFETCH(int, stored);
    TestDir dir;
    if (!before.isEmpty())
        importBytes(before);
    const Imported imported = importBytes(adif);
    QCOMPARE(imported.messages, QStringList{message});
    QCOMPARE(SqlHelpers::count(kLog, "QSOS"), stored);
}

// --- Whole values, names, records and header ---------------------------------------------

void TestAdif::valuesOfAnySizeAndLongNamesAreKept()
{
    TestDir dir;
    const QByteArray big = QByteArray("0123456789").repeated(1024 * 1024);
    const QByteArray longName = "APP_K3_" + QByteArray(5000, 'N');
    importBytes("<EOH>\n" + field("CALL", "K1AB") + field("QSO_DATE", "20260101") + field("COMMENT", big)
                + field(longName, big) + "<EOR>\n");
    QCOMPARE(rows("SELECT length(REMARKS), substr(REMARKS, -4) FROM QSOS"), QByteArray("10485760|6789"));
    QCOMPARE(rows("SELECT length(NAME), length(VALUE) FROM QSOFIELDS"), QByteArray("5007|10485760"));

    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("\r\n" + field("COMMENT", big) + ' '));
    QVERIFY(out.contains(' ' + field(longName, big) + " <EOR>"));
}

void TestAdif::userDefinedFieldsAreKeptAndDeclared()
{
    TestDir dir;
    importBytes("Test file\n<ADIF_VER:5>3.1.4\n<USERDEF1:3:N>EPC\n<USERDEF2:19:E>SWEATERSIZE,{S,M,L}\n"
                "<USERDEF3:15:N>SHOESIZE,{5:20}\n<EOH>\n"
                "<CALL:4>K1AB<QSO_DATE:8>20260101<EPC:5>32123<SWEATERSIZE:1>M<SHOESIZE:2>11<EOR>\n");
    QCOMPARE(rows("SELECT NAME, TYPE, LIMITS FROM USERFIELDS ORDER BY ROWID"),
             QByteArray("EPC|N|\nSWEATERSIZE|E|{S,M,L}\nSHOESIZE|N|{5:20}"));
    // A later file's definition of a known name does not replace it; a new name is added.
    importBytes("Next file\n<USERDEF1:7:S>epc,{x}\n<USERDEF2:3>HAT\n<EOH>\n"
                "<CALL:4>K2CD<QSO_DATE:8>20260102<HAT:3>big<EOR>\n");
    QCOMPARE(rows("SELECT NAME, TYPE, LIMITS FROM USERFIELDS ORDER BY ROWID"),
             QByteArray("EPC|N|\nSWEATERSIZE|E|{S,M,L}\nSHOESIZE|N|{5:20}\nHAT||"));

    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adi"));
    QVERIFY(out.contains("\r\n<USERDEF1:3:N>EPC\r\n<USERDEF2:19:E>SWEATERSIZE,{S,M,L}\r\n<USERDEF3:15:N>SHOESIZE,{5:20}"
                         "\r\n<USERDEF4:3>HAT\r\n<EOH>\r\n"));
    QVERIFY(out.contains(" <EPC:5>32123 <SWEATERSIZE:1>M <SHOESIZE:2>11 <EOR>"));

    // The official test file declares twelve: they go out as they came in.
    const QString file = sharedAdifFolder() + QStringLiteral("/ADIF_316_test_QSOs_2025_08_27.adi");
    if (!QFile::exists(file))
        QSKIP("../shared/testdata/adif is not here (it is not part of the repository)");
    TestDir realDir;
    QByteArray original = TestDir::readFile(file);
    original.replace("\n", "\r\n");
    importBytes(original);
    QVERIFY(exportTo(QStringLiteral("out.adi"), QLatin1String(kLog), 36500));
    const QByteArray real = TestDir::readFile(QStringLiteral("out.adi"));
    const QByteArray header = real.left(real.indexOf("<EOH>"));
    QVERIFY(header.contains("\r\n<USERDEF1:20:B>RCVD_FROM_DX_CLUSTER\r\n<USERDEF2:32:E>MY_POWER_CATEGORY,{QRPP,QRP,QRO}\r\n"
                            "<USERDEF3:35:N>MY_TEMPERATURE_FAHRENHEIT,{-50:150}\r\n"));
    QVERIFY(header.endsWith("\r\n<USERDEF12:18:L>REMOTE_STATION_LON\r\n"));
}

// --- The XML form ---------------------------------------------------------------------

// The same records in both forms import alike; exported as .adx and imported again,
// they come back.
void TestAdif::adxReadsAsTheTaggedFormAndComesBack()
{
    TestDir dir;
    importBytes("Tagged\n<USERDEF1:3:N>EPC\n<EOH>\n"
                "<QSO_DATE:8>20260101<TIME_ON:4>1523<CALL:6>SP1ABC<BAND:3>20M<MODE:3>FT8<NAME:7>Łukasz<QTH:6>東京"
                + field("ADDRESS", "Line 1\r\nLine 2 <x> & \"q\"") + "<EPC:5>32123<APP_LoTW_2xQSL:1>Y<EOR>\n"
                "<QSO_DATE:8>20260102<TIME_ON:4>0800<CALL:4>K1AB<BAND:3>40m<MODE:2>CW<EOR>\n",
                QStringLiteral("tagged.sqlite3"));
    const Imported xml = importBytes(
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n <HEADER>\n  <ADIF_VER>3.1.4</ADIF_VER>\n"
        "  <USERDEF FIELDID=\"1\" TYPE=\"N\">EPC</USERDEF>\n </HEADER>\n <RECORDS>\n  <RECORD>\n"
        "   <QSO_DATE>20260101</QSO_DATE><TIME_ON>1523</TIME_ON><CALL>SP1ABC</CALL><BAND>20M</BAND><MODE>FT8</MODE>"
        "<NAME>Łukasz</NAME><QTH>東京</QTH><ADDRESS>Line 1&#13;\nLine 2 &lt;x> &amp; \"q\"</ADDRESS>\n"
        "   <USERDEF FIELDNAME=\"EPC\">32123</USERDEF><APP PROGRAMID=\"LoTW\" FIELDNAME=\"2xQSL\">Y</APP>\n"
        "  </RECORD>\n  <RECORD><qso_date>20260102</qso_date><time_on>0800</time_on><call>K1AB</call>"
        "<band>40m</band><mode>CW</mode></RECORD>\n </RECORDS>\n</ADX>\n");
    QCOMPARE(xml.messages, QStringList{QStringLiteral("2 Qso Records added")});
    // The export is newest first: QSOs are compared in date order, kept fields by call.
    const QList<QByteArray> sameRows{QByteArray(kAllColumns) + " ORDER BY DATE",
                                     "SELECT CALL, F.NAME, VALUE FROM QSOFIELDS F JOIN QSOS ON QSOS.ROWID = F.QSO "
                                     "ORDER BY CALL, F.ROWID",
                                     "SELECT NAME, TYPE, LIMITS FROM USERFIELDS"};
    for (const QByteArray &sql : sameRows)
        QCOMPARE(rows(sql), SqlHelpers::rows(QStringLiteral("tagged.sqlite3"), sql));
    QCOMPARE(rows(sameRows.at(1)), QByteArray("SP1ABC|MODE|FT8\nSP1ABC|EPC|32123\nSP1ABC|APP_LOTW_2XQSL|Y"));

    QVERIFY(exportTo(QStringLiteral("out.adx"), QLatin1String(kLog), 36500));
    const QByteArray out = TestDir::readFile(QStringLiteral("out.adx"));
    for (const QByteArray &expected :
         {QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n <HEADER>\n  <ADIF_VER>3.1.7</ADIF_VER>\n"),
          QByteArray("  <USERDEF FIELDID=\"1\" TYPE=\"N\">EPC</USERDEF>\n </HEADER>\n <RECORDS>\n  <RECORD>\n"),
          QByteArray("<MODE>FT8</MODE>"), QByteArray("<NAME>Łukasz</NAME>"),
          QByteArray("<ADDRESS>Line 1&#13;\nLine 2 &lt;x&gt; &amp; &quot;q&quot;</ADDRESS>"),
          QByteArray("<USERDEF FIELDNAME=\"EPC\">32123</USERDEF>"),
          QByteArray("<APP PROGRAMID=\"LOTW\" FIELDNAME=\"2XQSL\" TYPE=\"S\">Y</APP>\n  </RECORD>"),
          QByteArray(" </RECORDS>\n</ADX>\n")})
        QVERIFY2(out.contains(expected), expected.constData());
    importBytes(out, QStringLiteral("back.sqlite3"));
    for (const QByteArray &sql : sameRows)
        QCOMPARE(SqlHelpers::rows(QStringLiteral("back.sqlite3"), sql), rows(sql));
}

// --- What is refused before anything is read or written ---------------------------------

void TestAdif::whatIsNoPlainFileIsRefused_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind"); // the st_mode type of what is there, 0 for nothing
    QTest::newRow("export to a FIFO") << true << QStringLiteral("pipe") << int(S_IFIFO);
    QTest::newRow("export to a folder") << true << QStringLiteral("folder") << int(S_IFDIR);
    QTest::newRow("export to a device node") << true << QStringLiteral("null") << int(S_IFCHR);
    QTest::newRow("export to a rollback journal") << true << QStringLiteral("log.sqlite3-journal") << int(S_IFREG);
    QTest::newRow("export to a write-ahead log not there yet") << true << QStringLiteral("other.sqlite3-WAL") << 0;
    QTest::newRow("export to shared memory") << true << QStringLiteral("other.sqlite3-shm") << int(S_IFREG);
    QTest::newRow("import of a device that never ends") << false << QStringLiteral("/dev/zero") << int(S_IFCHR);
    QTest::newRow("import of a FIFO no program writes") << false << QStringLiteral("pipe") << int(S_IFIFO);
    QTest::newRow("import of a folder") << false << QStringLiteral("folder") << int(S_IFDIR);
}

void TestAdif::whatIsNoPlainFileIsRefused()
{
    QFETCH(bool, exporting);
    QFETCH(QString, path);
    QFETCH(int, kind);
    TestDir dir;
    QVERIFY(addQsos({exportQso(1, QStringLiteral("10:00:00"), QStringLiteral("K1AB"))}));
    ensureProgramDatabase();
    const QByteArray name = QFile::encodeName(path);
    if (kind == S_IFIFO)
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
    else if (kind == S_IFDIR)
        QVERIFY(QDir().mkdir(path));
    else if (kind == S_IFREG)
        QVERIFY(TestDir::writeFile(path, "kept as it is"));
    else if (kind == S_IFCHR && !path.startsWith(QLatin1Char('/'))) {
        if (geteuid() != 0)
            QSKIP("making a device node needs root");
        QCOMPARE(mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc{QLatin1String(kLog)};
    if (exporting) {
        QVERIFY(!doc.ExportAdifFile(path));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("This file cannot be overwritten")});
    } else {
        QVERIFY(doc.ImportAdifFile(path).status == AdifImporter::Status::NotAFile);
        QCOMPARE(prompter.texts(), QStringList{path + QStringLiteral(" is not a regular file: nothing imported")});
    }
    struct stat after;
    QCOMPARE(lstat(name.constData(), &after) == 0 ? int(after.st_mode & S_IFMT) : 0, kind);
    if (kind == S_IFREG)
        QCOMPARE(TestDir::readFile(path), QByteArray("kept as it is"));
}

void TestAdif::importNeedsAProgramDatabaseAndALogbook()
{
    TestDir dir;
    QVERIFY(Sqlite3DB().CreateLogbook(QLatin1String(kLog)));
    QVERIFY(TestDir::writeFile(QStringLiteral("in.adi"), numberedRecords(3)));
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    {
        CKorva3Doc doc{QLatin1String(kLog)};
        const QByteArray before = TestDir::readFile(QLatin1String(kLog));
        QVERIFY(doc.ImportAdifFile(QStringLiteral("in.adi")).status == AdifImporter::Status::NoProgramDatabase);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Program database not found: korva3.sqlite3. Records "
                                                              "without DXCC would get no entity: nothing imported")});
        QCOMPARE(TestDir::readFile(QLatin1String(kLog)), before);
        QVERIFY(!QFile::exists(QStringLiteral("korva3.sqlite3"))); // no empty one left behind
    }

    // An SQLite file of another kind gets none of the logbook's tables.
    ensureProgramDatabase();
    QVERIFY(SqlHelpers::exec(QStringLiteral("plain.sqlite3"), "CREATE TABLE OTHER (X)"));
    prompter.clear();
    CKorva3Doc plain{QStringLiteral("plain.sqlite3")};
    QVERIFY(plain.ImportAdifFile(QStringLiteral("in.adi")).status == AdifImporter::Status::NotALogbook);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("plain.sqlite3 is no logbook: it has no table of QSOs.")});
    QCOMPARE(SqlHelpers::rows(QStringLiteral("plain.sqlite3"), "SELECT name FROM sqlite_master"), QByteArray("OTHER"));
}

QTEST_GUILESS_MAIN(TestAdif)
#include "tst_adif.moc"
