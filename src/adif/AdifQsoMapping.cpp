#include "AdifQsoMapping.h"

#include "AdifFrequency.h"
#include "AdifText.h"
#include "platform/CodePage.h"
#include "store/QsoModes.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <charconv>
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
    QByteArrayView name; // a literal: its data ends with a NUL
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
constexpr Tag kTags[] = {
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

bool sameName(QByteArrayView name, QByteArrayView known)
{
    return name.size() == known.size()
        && qstrnicmp(name.data(), known.data(), static_cast<uint>(known.size())) == 0;
}

const Tag *findTag(QByteArrayView name)
{
    for (const Tag &tag : kTags) {
        if (tag.read && sameName(name, tag.name))
            return &tag;
    }
    return nullptr;
}

// Inserts at index, or at the end when the text is shorter.
// The byte where the character `index` of a UTF-8 text starts, or the text's size.
qsizetype characterStart(const QByteArray &text, qsizetype index)
{
    qsizetype characters = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text.at(at)) & 0xC0) == 0x80)
            continue; // inside a character
        if (characters++ == index)
            return at;
    }
    return text.size();
}

// Inserts before the character `index`, or at the end when the text is shorter: a
// separator never lands inside a character.
void insertAt(QByteArray &target, qsizetype index, QByteArrayView what)
{
    target.insert(characterStart(target, index), what);
}

// YYYYMMDD becomes YYYY-MM-DD; other contents are reshaped by the same positions. An
// empty value (the export writes one for a QSO without a date) leaves the column as it
// is: the separators alone would make a date of nothing.
void appendDate(QByteArray &date, QByteArrayView value)
{
    if (value.isEmpty())
        return;
    date.append(value);
    insertAt(date, 4, "-");
    insertAt(date, 7, "-");
}

// HHMM becomes HH:MM:00 and HHMMSS becomes HH:MM:SS. An empty value leaves the column
// as it is, as for a date.
void appendTime(QByteArray &time, QByteArrayView value)
{
    if (value.isEmpty())
        return;
    time.append(value);
    insertAt(time, 2, ":");
    insertAt(time, 5, characterStart(time, 5) == time.size() ? QByteArrayView(":00") : QByteArrayView(":"));
}

// Digits with at most one point between digits: "20", "2.5", "0.136".
bool isDecimal(QByteArrayView text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const qsizetype point = text.indexOf('.');
    const QByteArrayView whole = point < 0 ? text : text.first(point);
    const QByteArrayView fraction = point < 0 ? QByteArrayView("0") : text.sliced(point + 1);
    return !whole.isEmpty() && !fraction.isEmpty() && std::all_of(whole.begin(), whole.end(), isDigit)
        && std::all_of(fraction.begin(), fraction.end(), isDigit);
}

// The text of a number without a temporary string.
QByteArrayView decimalText(std::array<char, 16> &buffer, int number)
{
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number).ptr;
    return QByteArrayView(buffer.data(), end - buffer.data());
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

// The mode table of the store decides, so the form and an import give a mode one code.
int modeOf(QByteArrayView value, int current)
{
    return QsoModes::codeOfAdif(value, current);
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

void AdifQsoMapping::startRecord(Record &record)
{
    for (QByteArray &text : record.qso.text)
        text.truncate(0);
    record.qso.number.fill(0);
    record.qso.number[QsoColumns::Mode] = 1;
    record.qso.number[QsoColumns::QslSent] = 2;
    record.qso.number[QsoColumns::QslRcvd] = 1;
    record.kept.clear();
    record.given = 0;
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

// A field kept aside, after those kept before it.
void keep(AdifQsoMapping::Record &record, const QByteArray &name, QByteArrayView value)
{
    record.kept.append({0, name, value.toByteArray()});
}

// The tag's name is static: a kept name shares it instead of copying it.
QByteArray tagName(const Tag &tag)
{
    return QByteArray::fromRawData(tag.name.data(), tag.name.size());
}

// Names the first field of which stands in the record's own lines (or is given back by
// them), so that a later one of the same name is a repeat written after them.
constexpr const char *kInPlace[] = {"MODE", "QSL_RCVD", "DXCC", "TIME_OFF"};

// The name's place in kInPlace, -1 when it has none.
int inPlaceIndex(QByteArrayView name)
{
    for (int i = 0; i < 4; ++i) {
        if (name == kInPlace[i])
            return i;
    }
    return -1;
}

bool standsInPlace(QByteArrayView name)
{
    return inPlaceIndex(name) >= 0;
}

// The part of a value the logbook stores: texts are bound as C strings, so a value
// ends at its first NUL byte. A field is kept as it will be read back: one whose value
// starts with a NUL is kept no more than an empty one, which would otherwise stand in
// for the MODE, TIME_OFF or DXCC the export writes.
QByteArrayView storedPart(QByteArrayView value)
{
    const qsizetype nul = value.indexOf('\0');
    return nul < 0 ? value : value.first(nul);
}

} // namespace

namespace {
void keepRepeat(AdifQsoMapping::Record &record, const Tag &tag, QByteArrayView value);
} // namespace

void AdifQsoMapping::apply(Record &record, QByteArrayView name, QByteArrayView value, bool valueIsAscii)
{
    if (!valueIsAscii)
        value = AdifText::stored(value, record.valueText);
    const Tag *tag = findTag(name);
    if (!tag) {
        // A name is stored up to its first NUL byte, and "QSL_SENT\0" would come back
        // from the export as QSL_SENT: a name holding one is no field of any program.
        const QByteArrayView stored = storedPart(value);
        if (!stored.isEmpty() && !name.contains('\0'))
            keep(record, AdifText::stored(name, record.nameText).toByteArray().toUpper(), stored);
        return;
    }
    value = withoutTrailingLineEnd(value);
    // Texts are bound as C strings, so a column holds a value up to its first NUL byte, as
    // a kept field does; a line end before that byte goes as the one at the end does.
    const QByteArrayView stored = withoutTrailingLineEnd(storedPart(value));
    // The column takes the first field of its name, also an empty one: the export writes
    // the column's field first, so a repeat comes back a repeat.
    const quint32 bit = 1u << (tag - kTags);
    if (record.given & bit) {
        if (!stored.isEmpty())
            keepRepeat(record, *tag, stored);
        return;
    }
    record.given |= bit;
    QByteArray &text = record.qso.text[tag->column];
    qint32 &number = record.qso.number[tag->column];
    switch (tag->rule) {
    case Rule::Call:
        text.truncate(0);
        text.append(stored);
        break;
    case Rule::Text:
    case Rule::Freq: text.append(stored); break;
    case Rule::Date: appendDate(text, stored); break;
    case Rule::Time: appendTime(text, stored); break;
    case Rule::Band: appendStoredBand(text, stored); break;
    case Rule::Mode: number = modeOf(value, number); break;
    case Rule::QslSent: number = qslSentOf(value, number); break;
    case Rule::QslRcvd: number = qslRcvdOf(value, number); break;
    case Rule::Country: number = leadingInteger(value); break;
    }
    if (keepsOriginal(*tag) && !stored.isEmpty())
        keep(record, tagName(*tag), stored);
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

// A repeat is kept aside, not lost. The export tells the original of MODE, QSL_RCVD and
// DXCC from a repeat by its place, the first of its name: when the first field gave no
// original to keep (it was empty), what the column writes stands in for it.
void keepRepeat(AdifQsoMapping::Record &record, const Tag &tag, QByteArrayView value)
{
    const QByteArray name = tagName(tag);
    const bool hasOriginal = std::any_of(record.kept.cbegin(), record.kept.cend(),
                                         [&name](const Sqlite3DB::UM_QSOFIELD &field) { return field.name == name; });
    if (keepsOriginal(tag) && !hasOriginal) {
        const qint32 number = record.qso.number[tag.column];
        std::array<char, 16> digits;
        keep(record, name,
             tag.rule == Rule::Mode      ? exportMode(number)
             : tag.rule == Rule::QslRcvd ? exportQslRcvd(number)
                                         : decimalText(digits, number));
    }
    keep(record, name, value);
}

// A field's tag and value. Its length in characters (one byte each in the file's code
// page) is known once the value is written, so the value goes first, right behind
// "<NAME:", and the length and the ">" are then slipped in before it: a few bytes
// moved instead of a string made for the value.
class FieldAppender
{
public:
    FieldAppender(QByteArray &out, QByteArrayView name)
        : m_out(out)
    {
        out += '<';
        out += name;
        out += ':';
        m_valueStart = out.size();
    }
    ~FieldAppender()
    {
        std::array<char, 16> length;
        const QByteArrayView digits = decimalText(length, static_cast<int>(m_out.size() - m_valueStart));
        length[static_cast<std::size_t>(digits.size())] = '>';
        m_out.insert(m_valueStart, QByteArrayView(length.data(), digits.size() + 1));
    }
    FieldAppender(const FieldAppender &) = delete;
    FieldAppender &operator=(const FieldAppender &) = delete;

private:
    QByteArray &m_out;
    qsizetype m_valueStart;
};

// A stored name and value in UTF-8 (a value stored before the logbooks held UTF-8 is
// Windows-1252), its length the bytes written.
void appendField(QByteArray &out, QByteArrayView name, QByteArrayView value)
{
    QByteArray utf8Name;
    if (!CodePage::isAscii(name))
        CodePage::appendAsUtf8(utf8Name, name);
    FieldAppender field(out, utf8Name.isEmpty() ? name : QByteArrayView(utf8Name));
    CodePage::appendAsUtf8(out, value);
}

// The stored text without the character `drop` (the separators of a date or time).
void appendWithout(QByteArray &out, QByteArrayView value, char drop)
{
    for (const char c : value) {
        if (c != drop)
            out += c;
    }
}

// The value a tag writes for a row, appended to `out`.
void appendExportValue(QByteArray &out, const Tag &tag, const QsoRow &row)
{
    switch (tag.rule) {
    case Rule::Call:
    case Rule::Text: CodePage::appendAsUtf8(out, row.text(tag.column)); break;
    case Rule::Date: appendWithout(out, row.text(tag.column), '-'); break;
    case Rule::Time: appendWithout(out, row.text(tag.column), ':'); break;
    case Rule::Freq: AdifFrequency::appendExportValue(out, row.text(tag.column), row.text(QsoColumns::Band)); break;
    case Rule::Band: AdifQsoMapping::appendExportedBand(out, row.text(tag.column)); break;
    case Rule::Mode: out += exportMode(row.number(tag.column)); break;
    case Rule::QslSent: out += exportQslSent(row.number(tag.column)); break;
    case Rule::QslRcvd: out += exportQslRcvd(row.number(tag.column)); break;
    case Rule::Country: {
        std::array<char, 16> number;
        out += decimalText(number, row.number(tag.column));
        break;
    }
    }
}

} // namespace

namespace {

// The kept fields of a stored row, from the "<NAME:LENGTH>VALUE" list the store hands
// out with it.
struct KeptFields
{
    explicit KeptFields(QByteArrayView fields)
        : all(fields.isEmpty() ? AdifQsoMapping::Fields() : AdifQsoMapping::taggedFields(fields))
    {
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

    AdifQsoMapping::Fields all;
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

// A kept field goes after the record's own lines unless it stands in one of them (the
// first of its name). A SUBMODE belongs to its MODE: it goes only while the kept MODE
// still holds (or the record had none).
bool writtenAfter(QByteArrayView name, QByteArrayView value, const QsoRow &row, const KeptFields &kept)
{
    if (standsInPlace(name))
        return kept.value(name)->data() != value.data();
    if (name == "SUBMODE") {
        const std::optional<QByteArrayView> mode = kept.value("MODE");
        return !mode || modeOf(*mode, 1) == row.number(QsoColumns::Mode);
    }
    return true;
}

} // namespace

void AdifQsoMapping::finishRecord(Record &record)
{
    if (record.kept.isEmpty())
        return;
    const QsoBytes &qso = record.qso;
    // How many of each name that stands in place the record kept, and whether it has a
    // SUBMODE, counted in one pass.
    std::array<int, 4> inPlace{};
    bool hasSubmode = false;
    for (const Sqlite3DB::UM_QSOFIELD &field : record.kept) {
        const int index = inPlaceIndex(field.name);
        if (index >= 0)
            ++inPlace[static_cast<std::size_t>(index)];
        else if (field.name == "SUBMODE")
            hasSubmode = true;
    }
    std::array<char, 16> country;
    record.kept.removeIf([&](const Sqlite3DB::UM_QSOFIELD &field) {
        const int index = inPlaceIndex(field.name);
        // With a repeat behind it, the first stays: the export tells the two apart by
        // their order.
        if (index < 0 || inPlace[static_cast<std::size_t>(index)] > 1)
            return false;
        switch (index) {
        case 0: // MODE, which also decides whether a SUBMODE is written
            return !hasSubmode && field.value == exportMode(qso.number[QsoColumns::Mode]);
        case 1: return field.value == exportQslRcvd(qso.number[QsoColumns::QslRcvd]);
        case 2: return field.value == decimalText(country, qso.number[QsoColumns::Country]);
        default: {
            QByteArray time = qso.text[QsoColumns::Time];
            return field.value == time.replace(':', QByteArray());
        }
        }
    });
}

void AdifQsoMapping::appendRecord(QByteArray &out, const QsoRow &row)
{
    const KeptFields kept(row.keptFields());
    bool lineStart = true;
    for (const Tag &tag : kTags) {
        if (!lineStart)
            out += ' ';
        const std::optional<QByteArrayView> original = kept.all.isEmpty() ? std::nullopt : keptInPlace(tag, row, kept);
        if (original) {
            appendField(out, tag.name, *original);
        } else {
            FieldAppender field(out, tag.name);
            appendExportValue(out, tag, row);
        }
        lineStart = tag.lineEnd;
        if (tag.lineEnd)
            out += "\r\n";
    }
    for (const auto &[name, value] : kept.all) {
        if (!writtenAfter(name, value, row, kept))
            continue;
        out += ' ';
        appendField(out, name, value);
    }
    out += " <EOR>\r\n";
}

QByteArray AdifQsoMapping::storedBand(QByteArrayView value)
{
    QByteArray band;
    appendStoredBand(band, value);
    return band;
}

void AdifQsoMapping::appendStoredBand(QByteArray &out, QByteArrayView value)
{
    if (!value.isEmpty() && (value.back() == 'm' || value.back() == 'M') && isDecimal(value.chopped(1))) {
        out.append(value.chopped(1));
    } else if (sameName(value, "70cm") || sameName(value, "23cm")) {
        out.append(value.first(2));
    } else {
        for (const char c : value)
            out.append(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
}

QByteArray AdifQsoMapping::exportedBand(QByteArrayView stored)
{
    QByteArray band;
    appendExportedBand(band, stored);
    return band;
}

void AdifQsoMapping::appendExportedBand(QByteArray &out, QByteArrayView stored)
{
    CodePage::appendAsUtf8(out, stored);
    if (isDecimal(stored))
        out += stored == "70" || stored == "23" ? "cm" : "m";
}

AdifQsoMapping::Fields AdifQsoMapping::taggedFields(QByteArrayView text)
{
    Fields fields;
    qsizetype at = text.indexOf('<');
    while (at >= 0) {
        const qsizetype colon = text.indexOf(':', at);
        const qsizetype close = colon < 0 ? -1 : text.indexOf('>', colon);
        if (close < 0)
            break;
        const qsizetype length = qMax(0LL, text.sliced(colon + 1, close - colon - 1).toLongLong());
        const QByteArrayView value = text.sliced(close + 1, qMin<qsizetype>(length, text.size() - close - 1));
        fields.append({text.sliced(at + 1, colon - at - 1), value});
        at = text.indexOf('<', close + 1 + value.size());
    }
    return fields;
}
