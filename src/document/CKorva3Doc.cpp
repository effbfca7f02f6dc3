#include "CKorva3Doc.h"

#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct BandRange
{
    const char *band;
    float lowMHz;
    float highMHz;
    int lowKHz;
    int highKHz;
};

// Searched in order; both readings of a frequency are tried on each row, bounds
// inclusive. The MHz bounds are single precision like the reading they are compared
// with, so a text that names a bound ("1.8") lies on it. The 70 MHz range has no band
// of its own and counts as 6 m.
const BandRange kBandRanges[] = {
    {"160", 1.8f, 2.0f, 1800, 2000},
    {"80", 3.5f, 4.0f, 3500, 4000},
    {"60", 5.3f, 5.4f, 5300, 5400},
    {"40", 7.0f, 7.3f, 7000, 7300},
    {"30", 10.1f, 10.15f, 10100, 10150},
    {"20", 14.0f, 14.5f, 14000, 14500},
    {"17", 18.0f, 18.5f, 18000, 18500},
    {"15", 21.0f, 21.5f, 21000, 21500},
    {"12", 24.8f, 25.0f, 24800, 25000},
    {"10", 28.0f, 30.0f, 28000, 30000},
    {"6", 50.0f, 54.0f, 50000, 54000},
    {"6", 70.0f, 71.0f, 70000, 71000},
    {"2", 144.0f, 148.0f, 144000, 148000},
    {"70", 420.0f, 450.0f, 420000, 450000},
    {"23", 1200.0f, 1300.0f, 1200000, 1300000},
};

// The decimal number at the start of the text, as the C library's atof reads it
// (leading blanks, sign, digits, point, exponent); 0 when there is none. Always
// with a point as the decimal separator, whatever the locale.
float leadingNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toFloat() : 0.0f;
}

} // namespace

CKorva3Doc::CKorva3Doc(const QString &path, QObject *parent)
    : QObject(parent)
    , m_pathName(path)
    , m_title(QFileInfo(path).fileName())
{
    // A failed read gives one of the store's failure texts, which reads as 0 (all).
    m_adifPeriod = Numbers::atoi(m_db.GetParameter("adifexport"));
}

// --- Call-sign resolution -----------------------------------------------------------

int CKorva3Doc::ResolveCallsign(const QString &call)
{
    // A maritime mobile station is in no entity.
    if (call.endsWith(QLatin1String("/MM")))
        return 0;
    QString home = call;
    if (home.endsWith(QLatin1String("/M")))
        home.chop(2);
    if (home.endsWith(QLatin1String("/QRP")))
        home.chop(4);

    const int exact = m_db.FindEntityByCall(home);
    if (exact >= 1)
        return exact;

    // Only the part in front of the first separator is searched: "F/DL1ABC" by F,
    // "DL1ABC/P" by DL1ABC.
    static const QRegularExpression separator(QStringLiteral("[\\\\/-]"));
    const qsizetype cut = home.indexOf(separator);
    return m_db.FindEntityByPrefix(cut < 0 ? home : home.left(cut));
}

// --- Reference lists and bands ------------------------------------------------------

void CKorva3Doc::LoadReferenceLists()
{
    m_db.LoadCodeList(m_modes, Sqlite3DB::kModesQuery);
    m_db.LoadCodeList(m_qslSentList, Sqlite3DB::kQslSentQuery);
    m_db.LoadCodeList(m_qslRcvdList, Sqlite3DB::kQslRcvdQuery);
    m_db.LoadCodeList(m_countries, Sqlite3DB::kCountriesQuery);
}

QString CKorva3Doc::BandFromFrequency(const QString &frequency)
{
    const float mhz = leadingNumber(frequency);
    const int khz = Numbers::atoi(frequency);
    for (const BandRange &range : kBandRanges) {
        if ((mhz >= range.lowMHz && mhz <= range.highMHz)
            || (khz >= range.lowKHz && khz <= range.highKHz))
            return QString::fromLatin1(range.band);
    }
    return QString();
}

// --- QSOs ---------------------------------------------------------------------------

int CKorva3Doc::AddQso(const Sqlite3DB::UM_RECORD &qso)
{
    m_records.clear();
    m_records.append(qso);
    m_records.first().rowId = 0;
    return m_db.InsertQso(m_records, m_pathName);
}

bool CKorva3Doc::LoadLatestQsos(int count)
{
    m_records.clear();
    m_db.QueryLatestQsos(m_records, count, m_pathName);
    return !m_records.isEmpty();
}

bool CKorva3Doc::FindQsosByCall(const QString &callPrefix)
{
    m_records.clear();
    m_db.QueryQsosByCall(m_records, callPrefix, m_pathName);
    return !m_records.isEmpty();
}

bool CKorva3Doc::ReadQso(int rowId)
{
    m_records.clear();
    m_db.QueryQso(m_records, rowId, m_pathName);
    return !m_records.isEmpty();
}

// --- DXCC statistics ----------------------------------------------------------------

void CKorva3Doc::CountQsoInStatistics(int dxcc, const QString &band, int mode, int qslRcvd)
{
    m_db.AddToDxccStats(dxcc, band, mode, qslRcvd, m_pathName);
}

void CKorva3Doc::RemoveQsoFromStatistics(int dxcc, const QString &band, int mode, int qslRcvd)
{
    m_db.RemoveFromDxccStats(dxcc, band, mode, qslRcvd, m_pathName);
}

void CKorva3Doc::OnRebuildDxccStat()
{
    m_db.RebuildDxccStats(m_pathName);
    Prompter::current().plain(QStringLiteral("DXCC statistics rebuilt"));
}
