#include "AdifQsoMapping.h"

#include "platform/CodePage.h"

#include <QtGlobal>

#include <climits>

namespace {

enum class Column {
    Call, Date, Time, Band, Mode, QslMgr, QslRcvd, QslSent, Sent, Rcvd, Remarks, Name, Qth,
    Address1, Freq, Grid, Power, CqZone, Country, Iota,
};

struct FieldColumn
{
    const char *name;
    Column column;
};

const FieldColumn kFields[] = {
    {"CALL", Column::Call},         {"QSO_DATE", Column::Date},     {"TIME_ON", Column::Time},
    {"BAND", Column::Band},         {"MODE", Column::Mode},         {"QSL_VIA", Column::QslMgr},
    {"QSL_RCVD", Column::QslRcvd},  {"QSL_SENT", Column::QslSent},  {"RST_SENT", Column::Sent},
    {"RST_RCVD", Column::Rcvd},     {"COMMENT", Column::Remarks},   {"NAME", Column::Name},
    {"QTH", Column::Qth},           {"ADDRESS", Column::Address1},  {"FREQ", Column::Freq},
    {"GRIDSQUARE", Column::Grid},   {"TX_PWR", Column::Power},      {"CQZ", Column::CqZone},
    {"DXCC", Column::Country},      {"IOTA", Column::Iota},
};

bool sameName(QByteArrayView name, const char *known)
{
    const qsizetype length = qstrlen(known);
    return name.size() == length && qstrnicmp(name.data(), known, static_cast<uint>(length)) == 0;
}

bool findColumn(QByteArrayView name, Column &column)
{
    for (const FieldColumn &field : kFields) {
        if (sameName(name, field.name)) {
            column = field.column;
            return true;
        }
    }
    return false;
}

QString text(QByteArrayView value)
{
    return CodePage::fromAnsi(QByteArray::fromRawData(value.data(), value.size()));
}

// Inserts at index, or at the end when the text is shorter.
void insertAt(QString &target, qsizetype index, const QString &what)
{
    target.insert(qMin(index, target.size()), what);
}

// YYYYMMDD becomes YYYY-MM-DD; other contents are reshaped by the same positions.
void appendDate(QString &date, QByteArrayView value)
{
    date += text(value);
    insertAt(date, 4, QStringLiteral("-"));
    insertAt(date, 7, QStringLiteral("-"));
}

// HHMM becomes HH:MM:00 and HHMMSS becomes HH:MM:SS.
void appendTime(QString &time, QByteArrayView value)
{
    time += text(value);
    insertAt(time, 2, QStringLiteral(":"));
    insertAt(time, 5, time.size() < 6 ? QStringLiteral(":00") : QStringLiteral(":"));
}

// "20m", "20M", "70cm" and "70CM" give the band labels 20 and 70.
void appendBand(QString &band, QByteArrayView value)
{
    QByteArray kept;
    for (const char c : value) {
        if (c != 'c' && c != 'm' && c != 'C' && c != 'M')
            kept += c;
    }
    band += CodePage::fromAnsi(kept);
}

// The decimal integer at the start of the value, 0 when there is none.
int leadingInteger(QByteArrayView value)
{
    qsizetype i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    const bool negative = i < value.size() && value[i] == '-';
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        ++i;
    long long number = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = qMin<long long>(number * 10 + (value[i] - '0'), INT_MAX);
    return static_cast<int>(negative ? -number : number);
}

int modeOf(QByteArrayView value, int current)
{
    struct Code
    {
        const char *text;
        int code;
    };
    static const Code kModes[] = {{"CW", 1}, {"SSB", 2}, {"USB", 2}, {"LSB", 2},
                                  {"RTTY", 3}, {"FM", 4}, {"AM", 5}};
    if (value.isEmpty())
        return current;
    for (const Code &mode : kModes) {
        if (sameName(value, mode.text))
            return mode.code;
    }
    // Every other mode (FT8, MFSK, PSK31, ...) is digital and counts with RTTY.
    return 3;
}

int qslSentOf(QByteArrayView value, int current)
{
    if (value.size() != 1)
        return current;
    switch (value[0]) {
    case 'R': case 'r': return 1;
    case 'N': case 'n': return 2;
    case 'Y': case 'y': return 3;
    case 'Q': case 'q': return 4;
    default: return current;
    }
}

int qslRcvdOf(QByteArrayView value, int current)
{
    if (value.size() != 1)
        return current;
    switch (value[0]) {
    case 'Y': case 'y': return 2;
    case 'N': case 'n': case 'R': case 'r': return 1;
    default: return current;
    }
}

// Some writers count the line end after a value in its length; it is no part of the
// value (a band of "20m" and a line end would count on no band).
QByteArrayView withoutTrailingLineEnd(QByteArrayView value)
{
    while (!value.isEmpty() && (value.back() == '\n' || value.back() == '\r'))
        value.chop(1);
    return value;
}

} // namespace

Sqlite3DB::UM_RECORD AdifQsoMapping::startRecord()
{
    Sqlite3DB::UM_RECORD record;
    record.mode = 1;
    record.qslSent = 2;
    record.qslRcvd = 1;
    record.country = 0;
    return record;
}

bool AdifQsoMapping::endsRecord(QByteArrayView name)
{
    return sameName(name, "EOR");
}

void AdifQsoMapping::apply(Sqlite3DB::UM_RECORD &record, QByteArrayView name, QByteArrayView value)
{
    Column column;
    if (!findColumn(name, column))
        return;
    value = withoutTrailingLineEnd(value);
    switch (column) {
    case Column::Call: record.call = text(value); break;
    case Column::Date: appendDate(record.date, value); break;
    case Column::Time: appendTime(record.time, value); break;
    case Column::Band: appendBand(record.band, value); break;
    case Column::Mode: record.mode = modeOf(value, record.mode); break;
    case Column::QslMgr: record.qslMgr += text(value); break;
    case Column::QslRcvd: record.qslRcvd = qslRcvdOf(value, record.qslRcvd); break;
    case Column::QslSent: record.qslSent = qslSentOf(value, record.qslSent); break;
    case Column::Sent: record.sent += text(value); break;
    case Column::Rcvd: record.rcvd += text(value); break;
    case Column::Remarks: record.remarks += text(value); break;
    case Column::Name: record.name += text(value); break;
    case Column::Qth: record.qth += text(value); break;
    case Column::Address1: record.address1 += text(value); break;
    case Column::Freq: record.freq += text(value); break;
    case Column::Grid: record.grid += text(value); break;
    case Column::Power: record.power += text(value); break;
    case Column::CqZone: record.cqZone += text(value); break;
    case Column::Country: record.country = leadingInteger(value); break;
    case Column::Iota: record.iota += text(value); break;
    }
}
