#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "document/CKorva3Doc.h"
#include "document/CallsignIndex.h"
#include "document/StoreCallLookup.h"
#include "platform/CodePage.h"
#include "progdb/ProgramDatabaseBuilder.h"

#include <QtTest>

#include <memory>

// Call-sign resolution against a program database made from the real country file,
// and against small hand-made tables for what the real file does not hold.
class TestCallResolution : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void resolvesRealCalls_data();
    void resolvesRealCalls();
    void everyCallOfMasterScpResolvesAsTheQueriesDo();
    void countryInfoZones_data();
    void countryInfoZones();
    void countryInfoReadsTheWholeEntityRecord();
    void countryInfoWithoutEntityKeepsOnlyTheZones();
    void prefixStandingTwiceIsPassedOver();
    void callWithoutEntityFallsBackToItsPrefix();
    void failingProgramDatabaseFindsNothing();

private:
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<CKorva3Doc> m_doc;
};

namespace {

// Tables like the program database's but without the UNIQUE constraints, so a prefix
// may stand twice and an entity have several records.
const char kLooseTables[] =
    "CREATE TABLE COUNTRIES (ID INTEGER PRIMARY KEY, COUNTRYPREFIX TEXT, COUNTRY TEXT, DXCCID INTEGER, "
    "CONTINENT TEXT, CQZONE TEXT, ITUZONE TEXT, LATITUDE FLOAT, LONGITUDE FLOAT, GMTDIFF FLOAT);"
    "CREATE TABLE PREFIXES (ID INTEGER PRIMARY KEY, DXCCID INTEGER, COUNTRYPREFIX TEXT, CQZONE TEXT, ITUZONE TEXT);"
    "CREATE TABLE CALLS (ID INTEGER PRIMARY KEY, DXCCID INTEGER, CALL TEXT, CQZONE TEXT, ITUZONE TEXT);"
    "INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES "
    "(1, 'D', NULL, NULL), (2, 'DL', '1', '2'), (3, 'DL', '3', '4');"
    "INSERT INTO CALLS (DXCCID, CALL, CQZONE, ITUZONE) VALUES (9, 'DL1ABC', '5', NULL), (0, 'DL3ABC', NULL, NULL);"
    "INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, LATITUDE, LONGITUDE, GMTDIFF) "
    "VALUES ('QA', 'First', 7, 'EU', '11', '21', 1.5, 2.5, 1.0), ('QB', 'Second', 7, 'AS', '12', '22', 3.5, 4.5, 2.0), "
    "('*QC', 'Not an entity', 7, 'AF', '13', '23', 5.5, 6.5, 3.0);";

bool sameRecord(const ProgramDb::UM_COUNTRYINFO &a, const ProgramDb::UM_COUNTRYINFO &b)
{
    return a.rowId == b.rowId && a.countryPrefix == b.countryPrefix && a.country == b.country && a.dxccId == b.dxccId
        && a.continent == b.continent && a.cqZone == b.cqZone && a.ituZone == b.ituZone && a.latitude == b.latitude
        && a.longitude == b.longitude && a.gmtDiff == b.gmtDiff;
}

// The country information as the store's queries give it, in a list that a failure
// leaves empty; the document's in-memory index must give the same record. When the two
// disagree the list holds two records, which no test expects.
QList<ProgramDb::UM_COUNTRYINFO> countryInfo(CKorva3Doc &doc, int dxcc, const QString &call)
{
    QList<ProgramDb::UM_COUNTRYINFO> fromStore{ProgramDb::UM_COUNTRYINFO()};
    StoreCallLookup().countryInfo(fromStore, dxcc, call);
    const std::optional<ProgramDb::UM_COUNTRYINFO> fromIndex = doc.GetCountryInfo(dxcc, call);
    const bool agree = fromIndex ? fromStore.size() == 1 && sameRecord(*fromIndex, fromStore.first())
                                 : fromStore.isEmpty();
    if (!agree) {
        qWarning("the store and the index disagree on %d %s", dxcc, qPrintable(call));
        return {ProgramDb::UM_COUNTRYINFO(), ProgramDb::UM_COUNTRYINFO()};
    }
    return fromStore;
}

} // namespace

void TestCallResolution::initTestCase()
{
    m_dir = std::make_unique<TestDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY2(ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")),
             "the country file of hamradio-files is needed");
    m_doc = std::make_unique<CKorva3Doc>(QString());
}

void TestCallResolution::cleanupTestCase()
{
    m_doc.reset();
    m_dir.reset();
}

void TestCallResolution::resolvesRealCalls_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("dxcc");

    QTest::newRow("prefix DL") << "DL1ABC" << 230;
    QTest::newRow("home call before the portable suffix") << "DL1ABC/P" << 230;
    QTest::newRow("prefix in front of a slash") << "F/DL1ABC" << 227;
    QTest::newRow("prefix in front of a backslash") << "F\\DL1ABC" << 227;
    QTest::newRow("prefix in front of a hyphen") << "F-DL1ABC" << 227;
    QTest::newRow("first separator counts") << "EA8/DL1ABC-F" << 29;
    QTest::newRow("longest prefix EA8, not EA") << "EA8BH" << 29;
    QTest::newRow("longest prefix VK9X, not VK9") << "VK9XX" << 35;
    QTest::newRow("prefix with zones") << "K0ABC" << 291;

    QTest::newRow("exact call") << "4U1A" << 206;
    QTest::newRow("exact call, mobile") << "4U1A/M" << 206;
    QTest::newRow("exact call, QRP") << "4U1A/QRP" << 206;
    QTest::newRow("exact call, QRP and mobile") << "4U1A/QRP/M" << 206;
    // /QRP is taken off only after /M, so here the exact call is not found and the
    // prefix 4U decides.
    QTest::newRow("mobile then QRP") << "4U1A/M/QRP" << 248;
    QTest::newRow("exact call only as a whole") << "4U1A/P" << 248;
    // CALLS holds KH6DX/M and KL7PE/M (United States), but the /M is taken off first.
    QTest::newRow("mobile suffix before the exact lookup") << "KH6DX/M" << 110;
    QTest::newRow("mobile suffix before the exact lookup, Alaska") << "KL7PE/M" << 6;

    // A location suffix shorter than the home call names the entity, as operators read
    // it; a one-character, all-digit or operating suffix keeps the home call's.
    QTest::newRow("suffix Hawaii") << "W1AW/KH6" << 110;
    QTest::newRow("suffix Germany") << "PA1AB/DL" << 230;
    QTest::newRow("suffix Canada with call area") << "K1ABC/VE3" << 1;
    QTest::newRow("suffix Canaries") << "DL1ABC/EA8" << 29;
    QTest::newRow("suffix Canaries, portable") << "DL1ABC/EA8/P" << 29;
    QTest::newRow("suffix Canaries, QRP") << "DL1ABC/EA8/QRP" << 29;
    QTest::newRow("portable keeps home") << "G4ABC/P" << 223;
    QTest::newRow("call area digit keeps home") << "W1AW/4" << 291;
    QTest::newRow("digits keep home") << "W1AW/10" << 291;
    QTest::newRow("QRPP keeps home") << "G4ABC/QRPP" << 223;
    QTest::newRow("lighthouse keeps home") << "W1AW/LH" << 291;
    QTest::newRow("beacon keeps home") << "W1AW/BCN" << 291;
    QTest::newRow("pedestrian mobile keeps home") << "DL1ABC/PM" << 230;
    QTest::newRow("suffix that is no prefix keeps home") << "DL1ABC/QQ" << 230;
    QTest::newRow("prefix in front of a longer home call") << "KH6/W1AW" << 110;
    QTest::newRow("suffix as long as the home call keeps home") << "W1AW/KH6A" << 291;

    // A call area digit replaces the home call's last digit where that moves the entity.
    QTest::newRow("call area Asiatic Russia") << "RZ3DN/9" << 15;
    QTest::newRow("call area Kaliningrad") << "UA1OMX/2" << 126;
    // KH2BD is listed on its own in the United States; KH6BD is in Hawaii by its prefix.
    QTest::newRow("call area Hawaii") << "KH2BD/6" << 110;
    QTest::newRow("call area European Russia, portable") << "UA9QCP/3/P" << 54;
    QTest::newRow("call area, lighthouse") << "RZ3DN/9/LH" << 15;
    QTest::newRow("call area, mobile") << "RZ3DN/9/M" << 15;
    QTest::newRow("call area makes a call listed on its own") << "KH6BD/2" << 291;
    QTest::newRow("call area without entity keeps home") << "JD1BNN/3" << 192;
    QTest::newRow("call area in the home entity") << "W1AW/6" << 291;
    QTest::newRow("call area in the home entity, Germany") << "DL1ABC/3" << 230;
    QTest::newRow("call area of no entity") << "QQ1ABC/3" << 0;
    QTest::newRow("call area after a location") << "W1AW/KH6/3" << 110;

    // Far longer than any call: resolved by its leading part, in time in proportion to
    // its length.
    QTest::newRow("10,000,000 characters") << QStringLiteral("RZ3") + QString(10'000'000, QLatin1Char('A')) << 54;
    QTest::newRow("10,000,000 characters, portable")
        << QStringLiteral("RZ3") + QString(10'000'000, QLatin1Char('A')) + QStringLiteral("/P") << 54;
    QTest::newRow("10,000,000 characters, call area")
        << QStringLiteral("RZ3") + QString(10'000'000, QLatin1Char('A')) + QStringLiteral("/9") << 15;
    QTest::newRow("aeronautical mobile") << "DL1ABC/AM" << 0;
    QTest::newRow("maritime mobile") << "DL1ABC/MM" << 0;
    QTest::newRow("maritime mobile listed in CALLS") << "N2NL/MM" << 0;
    QTest::newRow("no prefix matches") << "QQ1ABC" << 0;
    QTest::newRow("nothing before the separator") << "/DL1ABC" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("lower case is not a call") << "dl1abc" << 0;
}

void TestCallResolution::resolvesRealCalls()
{
    QFETCH(QString, call);
    QFETCH(int, dxcc);
    QCOMPARE(m_doc->ResolveCallsign(call), dxcc);
    // The import resolves a call's stored bytes by the same rules.
    QCOMPARE(CallsignIndex::current()->resolveStored(CodePage::toAnsi(call)), dxcc);
}

// The in-memory index against the program database's queries, on every call of the
// super check partial file that comes with the country file.
void TestCallResolution::everyCallOfMasterScpResolvesAsTheQueriesDo()
{
    QFile scp(QStringLiteral("/usr/share/hamradio-files/MASTER.SCP"));
    if (!scp.open(QIODevice::ReadOnly | QIODevice::Text))
        QSKIP("MASTER.SCP of hamradio-files is not installed");
    const StoreCallLookup queries;
    QVERIFY(queries.isOpen());
    int calls = 0;
    int resolved = 0;
    QStringList differing;
    while (!scp.atEnd()) {
        const QString call = QString::fromLatin1(scp.readLine()).trimmed();
        if (call.isEmpty() || call.startsWith(QLatin1Char('#')))
            continue;
        ++calls;
        const int entity = m_doc->ResolveCallsign(call);
        if (entity != queries.resolve(call))
            differing.append(call);
        if (entity != 0)
            ++resolved;
    }
    QCOMPARE(differing, QStringList());
    QCOMPARE(calls, 85456);
    QCOMPARE(resolved, 85427);
}

void TestCallResolution::countryInfoZones_data()
{
    QTest::addColumn<int>("dxcc");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("countryPrefix");
    QTest::addColumn<QString>("cqZone");
    QTest::addColumn<QString>("ituZone");

    QTest::newRow("entity zones") << 230 << "DL1ABC" << "DL" << "14" << "28";
    QTest::newRow("prefix zones") << 291 << "K0ABC" << "K" << "4" << "7";
    QTest::newRow("prefix ITU zone only") << 1 << "VE2ABC" << "VE" << "5" << "4";
    QTest::newRow("call zones") << 54 << "R25EMW" << "UA" << "17" << "19";
    QTest::newRow("call looked up whole") << 54 << "R25EMW/P" << "UA" << "16" << "29";
    QTest::newRow("call keeps its mobile suffix") << 13 << "8J1RF/M" << "CE9" << "39" << "67";
    QTest::newRow("prefix zones win over the call's") << 13 << "VK0BFG" << "CE9" << "39" << "69";
    QTest::newRow("rows marked * are skipped") << 248 << "I1ABC" << "I" << "15" << "28";
    QTest::newRow("Vienna is not Austria's record") << 206 << "4U1A" << "OE" << "15" << "28";
    QTest::newRow("call area moves the zones") << 54 << "UA0ABC/3" << "UA" << "16" << "29";
    QTest::newRow("call area within the entity") << 15 << "UA9ABC/0" << "UA9" << "18" << "32";
    QTest::newRow("call area within the entity, W6") << 291 << "W1AW/6" << "K" << "3" << "6";
    QTest::newRow("call area without entity, the call's zones") << 192 << "JD1BNN/3" << "JD/o" << "27" << "45";
}

void TestCallResolution::countryInfoZones()
{
    QFETCH(int, dxcc);
    QFETCH(QString, call);
    QFETCH(QString, countryPrefix);
    QFETCH(QString, cqZone);
    QFETCH(QString, ituZone);

    const QList<ProgramDb::UM_COUNTRYINFO> list = countryInfo(*m_doc, dxcc, call);
    QCOMPARE(list.size(), 1);
    const ProgramDb::UM_COUNTRYINFO &info = list.first();
    QCOMPARE(info.dxccId, dxcc);
    QCOMPARE(info.countryPrefix, countryPrefix);
    QCOMPARE(info.cqZone, cqZone);
    QCOMPARE(info.ituZone, ituZone);
    // The import gives a record without zones the same CQ zone.
    QString importZone;
    QVERIFY(CallsignIndex::current()->cqZone(dxcc, CodePage::toAnsi(call), importZone));
    QCOMPARE(importZone, cqZone);
}

void TestCallResolution::countryInfoReadsTheWholeEntityRecord()
{
    QList<ProgramDb::UM_COUNTRYINFO> again;
    ProgramDb().GetCountryInfo(again, 230, QStringLiteral("DL1ABC"));
    ProgramDb().GetCountryInfo(again, 230, QStringLiteral("DL1ABC"));
    QCOMPARE(again.size(), 1);
    const QList<ProgramDb::UM_COUNTRYINFO> list = countryInfo(*m_doc, 230, QStringLiteral("DL1ABC"));
    QCOMPARE(list.size(), 1);
    const ProgramDb::UM_COUNTRYINFO &info = list.first();
    QCOMPARE(QByteArray::number(info.rowId),
             SqlHelpers::rows("korva3.sqlite3", "SELECT ROWID FROM COUNTRIES WHERE COUNTRYPREFIX = 'DL'"));
    QCOMPARE(info.countryPrefix, QStringLiteral("DL"));
    QCOMPARE(info.country, QStringLiteral("Fed. Rep. of Germany"));
    QCOMPARE(info.dxccId, 230);
    QCOMPARE(info.continent, QStringLiteral("EU"));
    QCOMPARE(info.latitude, 51.0);
    QCOMPARE(info.longitude, -10.0);
    QCOMPARE(info.gmtDiff, -1.0);
}

void TestCallResolution::countryInfoWithoutEntityKeepsOnlyTheZones()
{
    QList<ProgramDb::UM_COUNTRYINFO> list = countryInfo(*m_doc, 0, QStringLiteral("K0ABC"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].rowId, 0);
    QCOMPARE(list[0].countryPrefix, QString());
    QCOMPARE(list[0].country, QString());
    QCOMPARE(list[0].dxccId, 0);
    QCOMPARE(list[0].continent, QString());
    QCOMPARE(list[0].cqZone, QStringLiteral("4"));
    QCOMPARE(list[0].ituZone, QStringLiteral("7"));
    QCOMPARE(list[0].latitude, 0.0);
    QCOMPARE(list[0].longitude, 0.0);
    QCOMPARE(list[0].gmtDiff, 0.0);

    list = countryInfo(*m_doc, 0, QStringLiteral("QQ1ABC"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].cqZone, QString());
    QCOMPARE(list[0].ituZone, QString());
}

void TestCallResolution::prefixStandingTwiceIsPassedOver()
{
    TestDir dir;
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", kLooseTables));
    CKorva3Doc doc{QString()};
    QCOMPARE(ProgramDb().FindEntityByPrefix(QStringLiteral("DL1ABC")).value_or(0), 1);
    QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL2ABC")), 1);

    // The last of the entity's records wins; the one marked * is skipped. The call's own
    // zone replaces the record's, its entity number does not; DL, standing twice, gives
    // no zones.
    const QList<ProgramDb::UM_COUNTRYINFO> list = countryInfo(doc, 7, QStringLiteral("DL1ABC"));
    QCOMPARE(list.size(), 1);
    const ProgramDb::UM_COUNTRYINFO &info = list.first();
    QCOMPARE(info.rowId, 2);
    QCOMPARE(info.countryPrefix, QStringLiteral("QB"));
    QCOMPARE(info.country, QStringLiteral("Second"));
    QCOMPARE(info.dxccId, 7);
    QCOMPARE(info.continent, QStringLiteral("AS"));
    QCOMPARE(info.cqZone, QStringLiteral("5"));
    QCOMPARE(info.ituZone, QStringLiteral("22"));
    QCOMPARE(info.latitude, 3.5);
    QCOMPARE(info.longitude, 4.5);
    QCOMPARE(info.gmtDiff, 2.0);
}

void TestCallResolution::callWithoutEntityFallsBackToItsPrefix()
{
    TestDir dir;
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", kLooseTables));
    CKorva3Doc doc{QString()};
    QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL1ABC")), 9);
    QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL3ABC")), 1);
}

void TestCallResolution::failingProgramDatabaseFindsNothing()
{
    {
        TestDir dir;
        CKorva3Doc doc{QString()};
        QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL1ABC")), 0);
        QVERIFY(countryInfo(doc, 230, QStringLiteral("DL1ABC")).isEmpty());
    }
    {
        // Entities and calls are there, the prefix table is not.
        TestDir dir;
        QVERIFY(SqlHelpers::exec("korva3.sqlite3", kLooseTables));
        QVERIFY(SqlHelpers::exec("korva3.sqlite3", "DROP TABLE PREFIXES"));
        CKorva3Doc doc{QString()};
        QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL2ABC")), 0);
        QCOMPARE(doc.ResolveCallsign(QStringLiteral("DL1ABC")), 9);
        QVERIFY(countryInfo(doc, 7, QStringLiteral("DL1ABC")).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestCallResolution)
#include "tst_callresolution.moc"
