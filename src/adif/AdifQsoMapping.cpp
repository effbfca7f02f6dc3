#include "AdifQsoMapping.h"

#include "AdifFrequency.h"
#include "platform/CodePage.h"

#include <QtGlobal>

#include <climits>

namespace {

using QsoColumns::Column;

// How a field's value goes into its column and comes out again.
enum class Rule {
    Call,    // replaces the column; written as stored
    Text,    // appended to the column; written as stored
    Date,    // YYYYMMDD in, the hyphens of YYYY-MM-DD out
    Time,    // HHMM or HHMMSS in, the colons of HH:MM:SS out
    Freq,    // appended; written as a number in MHz
    Band,    // the unit dropped; written with it
    Mode,    // the mode's name to its code and back
    QslSent, // R, N, Y, Q to 1 to 4; 1 to 4 to R, N, Y, Y
    QslRcvd, // Y to 2, N or R to 1; 2 to Y, 1 to N
    Country, // the leading integer; written as a number
};

struct Tag
{
    const char *name;
    Column column;
    Rule rule;
    bool read;    // TIME_OFF is written from TIME_ON and not read back
    bool lineEnd; // the export ends its line after this field
};

// In the order the export writes them.
const Tag kTags[] = {
    {"QSO_DATE", QsoColumns::Date, Rule::Date, true, false},
    {"TIME_ON", QsoColumns::Time, Rule::Time, true, false},
    {"TIME_OFF", QsoColumns::Time, Rule::Time, false, false},
    {"CALL", QsoColumns::Call, Rule::Call, true, false},
    {"RST_SENT", QsoColumns::Sent, Rule::Text, true, false},
    {"RST_RCVD", QsoColumns::Rcvd, Rule::Text, true, true},
    {"FREQ", QsoColumns::Freq, Rule::Freq, true, false},
    {"BAND", QsoColumns::Band, Rule::Band, true, false},
    {"MODE", QsoColumns::Mode, Rule::Mode, true, false},
    {"TX_PWR", QsoColumns::Power, Rule::Text, true, false},
    {"CQZ", QsoColumns::CqZone, Rule::Text, true, false},
    {"GRIDSQUARE", QsoColumns::Grid, Rule::Text, true, true},
    {"QSL_SENT", QsoColumns::QslSent, Rule::QslSent, true, false},
    {"QSL_RCVD", QsoColumns::QslRcvd, Rule::QslRcvd, true, false},
    {"NAME", QsoColumns::Name, Rule::Text, true, false},
    {"QTH", QsoColumns::Qth, Rule::Text, true, false},
    {"ADDRESS", QsoColumns::Address1, Rule::Text, true, true},
    {"COMMENT", QsoColumns::Remarks, Rule::Text, true, false},
    {"QSL_VIA", QsoColumns::QslMgr, Rule::Text, true, false},
    {"IOTA", QsoColumns::Iota, Rule::Text, true, false},
    {"DXCC", QsoColumns::Country, Rule::Country, true, false},
};

bool sameName(QByteArrayView name, const char *known)
{
    const qsizetype length = qstrlen(known);
    return name.size() == length && qstrnicmp(name.data(), known, static_cast<uint>(length)) == 0;
}

const Tag *findTag(QByteArrayView name)
{
    for (const Tag &tag : kTags) {
        if (tag.read && sameName(name, tag.name))
            return &tag;
    }
    return nullptr;
}

QString &textColumn(Sqlite3DB::UM_RECORD &record, Column column)
{
    return record.*QsoColumns::all()[column].text;
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
    const Tag *tag = findTag(name);
    if (!tag)
        return;
    value = withoutTrailingLineEnd(value);
    switch (tag->rule) {
    case Rule::Call: record.call = text(value); break;
    case Rule::Text:
    case Rule::Freq: textColumn(record, tag->column) += text(value); break;
    case Rule::Date: appendDate(record.date, value); break;
    case Rule::Time: appendTime(record.time, value); break;
    case Rule::Band: appendBand(record.band, value); break;
    case Rule::Mode: record.mode = modeOf(value, record.mode); break;
    case Rule::QslSent: record.qslSent = qslSentOf(value, record.qslSent); break;
    case Rule::QslRcvd: record.qslRcvd = qslRcvdOf(value, record.qslRcvd); break;
    case Rule::Country: record.country = leadingInteger(value); break;
    }
}

namespace {

// Mode numbers, QSL codes and bands as the export writes them; a number outside its
// table gives the empty value.
QByteArrayView exportMode(int mode)
{
    static const char *const kModes[] = {"CW", "SSB", "RTTY", "FM", "AM"};
    return mode >= 1 && mode <= 5 ? QByteArrayView(kModes[mode - 1]) : QByteArrayView();
}

QByteArrayView exportQslSent(int code)
{
    static const char *const kSent[] = {"R", "N", "Y", "Y"};
    return code >= 1 && code <= 4 ? QByteArrayView(kSent[code - 1]) : QByteArrayView();
}

QByteArrayView exportQslRcvd(int code)
{
    static const char *const kRcvd[] = {"N", "Y"};
    return code >= 1 && code <= 2 ? QByteArrayView(kRcvd[code - 1]) : QByteArrayView();
}

// One field: the tag with the value's length in characters (one byte each in the
// file's code page), then the value as it stands.
void appendField(QByteArray &out, const char *name, QByteArrayView value)
{
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(value.size());
    out += '>';
    out += value;
}

// The stored text without the character `drop` (the separators of a date or time).
void appendWithout(QByteArray &out, QByteArrayView value, char drop)
{
    for (const char c : value) {
        if (c != drop)
            out += c;
    }
}

// Band labels are metres except 70 and 23, which are centimetres; an empty band stays
// empty.
void appendBandWithUnit(QByteArray &out, QByteArrayView band)
{
    if (band.isEmpty())
        return;
    out += band;
    out += band == "70" || band == "23" ? "cm" : "m";
}

// The value a tag writes for a row.
QByteArray exportValue(const Tag &tag, const QsoRow &row)
{
    QByteArray value;
    switch (tag.rule) {
    case Rule::Call:
    case Rule::Text: value = row.text(tag.column).toByteArray(); break;
    case Rule::Date: appendWithout(value, row.text(tag.column), '-'); break;
    case Rule::Time: appendWithout(value, row.text(tag.column), ':'); break;
    case Rule::Freq: value = AdifFrequency::exportValue(row.text(tag.column).toByteArray()); break;
    case Rule::Band: appendBandWithUnit(value, row.text(tag.column)); break;
    case Rule::Mode: value = exportMode(row.number(tag.column)).toByteArray(); break;
    case Rule::QslSent: value = exportQslSent(row.number(tag.column)).toByteArray(); break;
    case Rule::QslRcvd: value = exportQslRcvd(row.number(tag.column)).toByteArray(); break;
    case Rule::Country: value = QByteArray::number(row.number(tag.column)); break;
    }
    return value;
}

} // namespace

void AdifQsoMapping::appendRecord(QByteArray &out, const QsoRow &row)
{
    bool lineStart = true;
    for (const Tag &tag : kTags) {
        if (!lineStart)
            out += ' ';
        appendField(out, tag.name, exportValue(tag, row));
        lineStart = tag.lineEnd;
        if (tag.lineEnd)
            out += "\r\n";
    }
    out += " <EOR>\r\n";
}
