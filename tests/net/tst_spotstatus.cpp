#include "common/QsoBuilder.h"
#include "common/TestDir.h"
#include "document/CKorva3Doc.h"
#include "net/SpotStatusCalculator.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int kGermany = 230;
constexpr int kJapan = 339;
constexpr int kConfirmed = 2;

DxSpot spot(const char *call, double kHz, const char *comment)
{
    DxSpot made;
    made.spotter = QStringLiteral("K1TTT");
    made.dxCall = QString::fromLatin1(call);
    made.frequencyKHz = kHz;
    made.comment = QString::fromLatin1(comment);
    return made;
}

// The status as one text: "NEW_DXCC 339 Japan AS 20 CW", " b4" when the call was
// worked on the band in the mode before.
QString shown(const SpotStatus &status)
{
    QString text = SpotStatus::code(status.kind);
    if (text.isEmpty())
        text = QStringLiteral("UNKNOWN");
    text += QStringLiteral(" %1 %2 %3 %4 %5").arg(status.entity).arg(status.country, status.continent, status.band, status.mode);
    return status.callWorkedBefore ? text + QStringLiteral(" b4") : text;
}

} // namespace

// Spot statuses against a logbook made here: Germany worked on 20 m in CW (confirmed,
// by DL1ABC) and on 40 m in SSB (not confirmed, by DL2XYZ); nothing else.
class TestSpotStatus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statuses_data();
    void statuses();
    void followTheLogbook();
    void noLogbookGivesTheEntityOnly();

private:
    QTemporaryDir m_programDir;
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    std::unique_ptr<CKorva3Doc> m_doc;
    SpotStatusCalculator *m_calculator = nullptr;
};

void TestSpotStatus::initTestCase()
{
    QVERIFY(ProgramDatabaseBuilder::build(m_programDir.filePath("korva3.sqlite3")));
}

void TestSpotStatus::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    Prompter::install(&m_prompter);
    QVERIFY(QFile::copy(m_programDir.filePath("korva3.sqlite3"), "korva3.sqlite3"));
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(Sqlite3DB().CreateLogbook(log));
    m_doc = std::make_unique<CKorva3Doc>(log);
    QVERIFY(m_doc->AddQso(QsoBuilder().date("2026-01-02").time("10:00:00").call("DL1ABC").country(kGermany)
                              .qslRcvd(kConfirmed)));
    QVERIFY(m_doc->AddQso(QsoBuilder().date("2026-01-02").time("11:00:00").call("DL2XYZ").country(kGermany)
                              .band("40").freq("7.150").mode(2)));
    m_calculator = new SpotStatusCalculator;
    m_calculator->setLogbook(m_doc.get());
}

void TestSpotStatus::cleanup()
{
    delete m_calculator;
    m_doc.reset();
    Prompter::install(nullptr);
    delete m_dir;
}

void TestSpotStatus::statuses_data()
{
    QTest::addColumn<DxSpot>("spot");
    QTest::addColumn<QString>("status");
    QTest::newRow("entity never worked") << spot("JA1ABC", 14025.0, "") << "NEW_DXCC 339 Japan AS 20 CW";
    QTest::newRow("not on this band") << spot("DL5AAA", 21025.0, "CW") << "NEW_BAND 230 Fed. Rep. of Germany EU 15 CW";
    QTest::newRow("not in this mode class") << spot("DL5AAA", 14074.0, "FT8 -12 dB")
                                            << "NEW_MODE 230 Fed. Rep. of Germany EU 20 FT8";
    QTest::newRow("worked, not confirmed") << spot("DL5AAA", 7150.0, "") << "WORKED 230 Fed. Rep. of Germany EU 40 SSB";
    QTest::newRow("band and mode worked apart") << spot("DL5AAA", 7025.0, "")
                                                << "WORKED 230 Fed. Rep. of Germany EU 40 CW";
    QTest::newRow("confirmed") << spot("DL5AAA", 14025.0, "") << "CONFIRMED 230 Fed. Rep. of Germany EU 20 CW";
    QTest::newRow("this call before on band and mode")
        << spot("DL1ABC", 14010.0, "599") << "CONFIRMED 230 Fed. Rep. of Germany EU 20 CW b4";
    QTest::newRow("this call, another mode class") << spot("DL1ABC", 14250.0, "")
                                                   << "WORKED 230 Fed. Rep. of Germany EU 20 SSB";
    QTest::newRow("this call before on 40 m phone, now in USB") << spot("DL2XYZ", 7180.0, "USB")
                                                              << "WORKED 230 Fed. Rep. of Germany EU 40 SSB b4";
    QTest::newRow("outside the bands") << spot("DL5AAA", 11000.0, "") << "CONFIRMED 230 Fed. Rep. of Germany EU  ";
    QTest::newRow("no entity") << spot("QQ1QQ", 14025.0, "CW") << "UNKNOWN 0   20 CW";
}

void TestSpotStatus::statuses()
{
    QFETCH(DxSpot, spot);
    QFETCH(QString, status);
    QCOMPARE(shown(m_calculator->statusOf(spot)), status);
}

// Each write the document announces reaches the statuses, also one of another program.
void TestSpotStatus::followTheLogbook()
{
    QSignalSpy changed(m_calculator, &SpotStatusCalculator::statusesChanged);
    const DxSpot japan = spot("JA1ABC", 14025.0, "CW");
    QCOMPARE(shown(m_calculator->statusOf(japan)), "NEW_DXCC 339 Japan AS 20 CW");

    const int rowId = m_doc->AddQso(QsoBuilder().date("2026-01-03").time("10:00:00").call("JA1ABC").country(kJapan));
    QVERIFY(rowId > 0);
    QVERIFY(changed.count() > 0);
    QCOMPARE(shown(m_calculator->statusOf(japan)), "WORKED 339 Japan AS 20 CW b4");

    std::optional<Sqlite3DB::UM_RECORD> qso = m_doc->ReadQso(rowId);
    QVERIFY(qso);
    qso->qslRcvd = kConfirmed;
    QVERIFY(m_doc->ChangeQso(rowId, *qso));
    QCOMPARE(shown(m_calculator->statusOf(japan)), "CONFIRMED 339 Japan AS 20 CW b4");

    QVERIFY(m_doc->DeleteQso(rowId));
    QCOMPARE(shown(m_calculator->statusOf(japan)), "NEW_DXCC 339 Japan AS 20 CW");

    // Another program logs JA1ABC on 20 m in CW with its statistics.
    m_doc->watchForOutsideChanges(20);
    Sqlite3DB outside;
    QVERIFY(outside.InsertQso({QsoBuilder().date("2026-01-04").time("10:00:00").call("JA1ABC").country(kJapan)},
                              m_doc->pathName()));
    QVERIFY(outside.AddToDxccStats(kJapan, "20", 1, 1, m_doc->pathName()));
    changed.clear();
    QVERIFY(changed.wait(5000));
    QCOMPARE(shown(m_calculator->statusOf(japan)), "WORKED 339 Japan AS 20 CW b4");
}

void TestSpotStatus::noLogbookGivesTheEntityOnly()
{
    m_calculator->setLogbook(nullptr);
    QCOMPARE(shown(m_calculator->statusOf(spot("DL1ABC", 14025.0, "CW"))), "UNKNOWN 230 Fed. Rep. of Germany EU 20 CW");
}

QTEST_GUILESS_MAIN(TestSpotStatus)
#include "tst_spotstatus.moc"
