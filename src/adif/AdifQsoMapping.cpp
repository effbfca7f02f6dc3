#include "AdifQsoMapping.h"

#include "AdifFrequency.h"
#include "platform/CodePage.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <algorithm>
#include <optional>

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

// Fields whose original text the export cannot always give back from the column.
bool keepsOriginal(const Tag &tag)
{
    return tag.rule == Rule::Mode || tag.rule == Rule::QslRcvd || tag.rule == Rule::Country;
}

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

void appendBand(QString &band, QByteArrayView value)
{
    band += CodePage::fromAnsi(AdifQsoMapping::storedBand(value));
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
    // Digital voice (the mode and its submodes, some of which older files give as the
    // mode) is a phone mode for the awards.
    static const Code kModes[] = {{"CW", 1},     {"SSB", 2},  {"USB", 2},    {"LSB", 2},  {"DIGITALVOICE", 2},
                                  {"C4FM", 2},   {"DSTAR", 2}, {"DMR", 2},   {"FREEDV", 2}, {"M17", 2},
                                  {"RTTY", 3},   {"FM", 4},   {"AM", 5}};
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

AdifQsoMapping::Record AdifQsoMapping::startRecord()
{
    Record record;
    record.qso.mode = 1;
    record.qso.qslSent = 2;
    record.qso.qslRcvd = 1;
    record.qso.country = 0;
    return record;
}

bool AdifQsoMapping::endsRecord(QByteArrayView name)
{
    return sameName(name, "EOR");
}

int AdifQsoMapping::modeCode(QByteArrayView value, int current)
{
    return modeOf(value, current);
}

namespace {

// A field kept aside; a later one of the same name replaces an earlier one, as the
// column's value would.
void keep(AdifQsoMapping::Record &record, QByteArray name, QByteArrayView value, bool replace)
{
    if (replace) {
        record.kept.removeIf([&name](const Sqlite3DB::UM_QSOFIELD &field) { return field.name == name; });
    }
    record.kept.append({0, std::move(name), value.toByteArray()});
}

} // namespace

void AdifQsoMapping::apply(Record &record, QByteArrayView name, QByteArrayView value)
{
    const Tag *tag = findTag(name);
    if (!tag) {
        if (!value.isEmpty())
            keep(record, name.toByteArray().toUpper(), value, false);
        return;
    }
    value = withoutTrailingLineEnd(value);
    Sqlite3DB::UM_RECORD &qso = record.qso;
    switch (tag->rule) {
    case Rule::Call: qso.call = text(value); break;
    case Rule::Text:
    case Rule::Freq: textColumn(qso, tag->column) += text(value); break;
    case Rule::Date: appendDate(qso.date, value); break;
    case Rule::Time: appendTime(qso.time, value); break;
    case Rule::Band: appendBand(qso.band, value); break;
    case Rule::Mode: qso.mode = modeOf(value, qso.mode); break;
    case Rule::QslSent: qso.qslSent = qslSentOf(value, qso.qslSent); break;
    case Rule::QslRcvd: qso.qslRcvd = qslRcvdOf(value, qso.qslRcvd); break;
    case Rule::Country: qso.country = leadingInteger(value); break;
    }
    if (keepsOriginal(*tag) && !value.isEmpty())
        keep(record, QByteArray(tag->name), value, true);
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

// The value a tag writes for a row.
QByteArray exportValue(const Tag &tag, const QsoRow &row)
{
    QByteArray value;
    switch (tag.rule) {
    case Rule::Call:
    case Rule::Text: value = row.text(tag.column).toByteArray(); break;
    case Rule::Date: appendWithout(value, row.text(tag.column), '-'); break;
    case Rule::Time: appendWithout(value, row.text(tag.column), ':'); break;
    case Rule::Freq:
        value = AdifFrequency::exportValue(row.text(tag.column).toByteArray(), row.text(QsoColumns::Band));
        break;
    case Rule::Band: value = AdifQsoMapping::exportedBand(row.text(tag.column)); break;
    case Rule::Mode: value = exportMode(row.number(tag.column)).toByteArray(); break;
    case Rule::QslSent: value = exportQslSent(row.number(tag.column)).toByteArray(); break;
    case Rule::QslRcvd: value = exportQslRcvd(row.number(tag.column)).toByteArray(); break;
    case Rule::Country: value = QByteArray::number(row.number(tag.column)); break;
    }
    return value;
}

} // namespace

namespace {

// The kept fields of a stored row, from the "<NAME:LENGTH>VALUE" list the store hands
// out with it.
struct KeptFields
{
    explicit KeptFields(QByteArrayView fields)
    {
        qsizetype at = 0;
        while (at < fields.size() && fields[at] == '<') {
            const qsizetype colon = fields.indexOf(':', at);
            const qsizetype close = colon < 0 ? -1 : fields.indexOf('>', colon);
            if (close < 0)
                break;
            const qsizetype length = fields.sliced(colon + 1, close - colon - 1).toLongLong();
            const QByteArrayView value = fields.sliced(close + 1, qMin(length, fields.size() - close - 1));
            all.append({fields.sliced(at + 1, colon - at - 1), value});
            at = close + 1 + value.size();
        }
    }

    // The value of a field the record kept, or nothing.
    std::optional<QByteArrayView> value(QByteArrayView name) const
    {
        for (const auto &field : all) {
            if (field.first == name)
                return field.second;
        }
        return std::nullopt;
    }

    QList<std::pair<QByteArrayView, QByteArrayView>> all;
};

// The fields of the record's own lines that a kept original may stand in for: its
// MODE and QSL_RCVD as long as the column still holds the code the original gave it,
// and TIME_OFF, which the record had of its own.
std::optional<QByteArrayView> keptInPlace(const Tag &tag, const QsoRow &row, const KeptFields &kept)
{
    const std::optional<QByteArrayView> original = kept.value(tag.name);
    if (!original)
        return std::nullopt;
    switch (tag.rule) {
    case Rule::Mode: return modeOf(*original, 1) == row.number(tag.column) ? original : std::nullopt;
    case Rule::QslRcvd: return qslRcvdOf(*original, 1) == row.number(tag.column) ? original : std::nullopt;
    case Rule::Country: return leadingInteger(*original) == row.number(tag.column) ? original : std::nullopt;
    case Rule::Time: return tag.read ? std::nullopt : original;
    default: return std::nullopt;
    }
}

// A kept field goes after the record's own lines unless it stands in one of them. A
// SUBMODE belongs to its MODE: it goes only while the kept MODE still holds (or the
// record had none).
bool writtenAfter(QByteArrayView name, const QsoRow &row, const KeptFields &kept)
{
    if (name == "MODE" || name == "QSL_RCVD" || name == "DXCC" || name == "TIME_OFF")
        return false;
    if (name == "SUBMODE") {
        const std::optional<QByteArrayView> mode = kept.value("MODE");
        return !mode || modeOf(*mode, 1) == row.number(QsoColumns::Mode);
    }
    return true;
}

} // namespace

void AdifQsoMapping::finishRecord(Record &record)
{
    const Sqlite3DB::UM_RECORD &qso = record.qso;
    const bool hasSubmode = std::any_of(record.kept.cbegin(), record.kept.cend(),
                                        [](const Sqlite3DB::UM_QSOFIELD &field) { return field.name == "SUBMODE"; });
    record.kept.removeIf([&](const Sqlite3DB::UM_QSOFIELD &field) {
        if (field.name == "TIME_OFF")
            return field.value == CodePage::toAnsi(qso.time).replace(':', QByteArray());
        if (field.name == "MODE") // also decides whether a SUBMODE is written
            return !hasSubmode && field.value == exportMode(qso.mode);
        if (field.name == "QSL_RCVD")
            return field.value == exportQslRcvd(qso.qslRcvd);
        if (field.name == "DXCC")
            return field.value == QByteArray::number(qso.country);
        return false;
    });
}

void AdifQsoMapping::appendRecord(QByteArray &out, const QsoRow &row)
{
    const KeptFields kept(row.keptFields());
    bool lineStart = true;
    for (const Tag &tag : kTags) {
        if (!lineStart)
            out += ' ';
        const std::optional<QByteArrayView> original = keptInPlace(tag, row, kept);
        appendField(out, tag.name, original ? *original : QByteArrayView(exportValue(tag, row)));
        lineStart = tag.lineEnd;
        if (tag.lineEnd)
            out += "\r\n";
    }
    for (const auto &[name, value] : kept.all) {
        if (!writtenAfter(name, row, kept))
            continue;
        out += ' ';
        out += '<';
        out += name;
        out += ':';
        out += QByteArray::number(value.size());
        out += '>';
        out += value;
    }
    out += " <EOR>\r\n";
}

QByteArray AdifQsoMapping::storedBand(QByteArrayView value)
{
    static const QRegularExpression metres(QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)[mM]$"));
    const QString text = QString::fromLatin1(value.data(), value.size());
    const QRegularExpressionMatch match = metres.match(text);
    if (match.hasMatch())
        return match.captured(1).toLatin1();
    if (text.compare(QLatin1String("70cm"), Qt::CaseInsensitive) == 0)
        return QByteArrayLiteral("70");
    if (text.compare(QLatin1String("23cm"), Qt::CaseInsensitive) == 0)
        return QByteArrayLiteral("23");
    return value.toByteArray().toLower();
}

QByteArray AdifQsoMapping::exportedBand(QByteArrayView stored)
{
    static const QRegularExpression label(QStringLiteral("^[0-9]+(?:\\.[0-9]+)?$"));
    if (!label.match(QString::fromLatin1(stored.data(), stored.size())).hasMatch())
        return stored.toByteArray();
    return stored.toByteArray() + (stored == "70" || stored == "23" ? "cm" : "m");
}
