#include "WsjtxRecord.h"

#include "adif/AdifQsoMapping.h"
#include "adif/AdifReader.h"
#include "store/BandPlan.h"

#include <QBuffer>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

void appendField(QByteArray &out, QByteArrayView name, QByteArrayView value)
{
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(value.size());
    out += '>';
    out += value;
    out += ' ';
}

// 8 digits, or nothing for a time that is invalid or whose year has not 4 digits.
QByteArray adifDate(const QDateTime &time)
{
    const QDate date = time.date();
    if (!time.isValid() || date.year() < 1 || date.year() > 9999)
        return QByteArray();
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day()).toLatin1();
}

QByteArray adifTime(const QDateTime &time)
{
    if (adifDate(time).isEmpty())
        return QByteArray();
    const QTime clock = time.time();
    return QString::asprintf("%02d%02d%02d", clock.hour(), clock.minute(), clock.second()).toLatin1();
}

// ADIF strings hold no line ends: control characters become blanks.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

bool sameName(QByteArrayView name, QByteArrayView wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

// Each field of the record up to its end, with its name and trimmed value.
template <typename Visit>
void forEachField(const QByteArray &record, Visit visit)
{
    QByteArray bytes = record;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    AdifReader reader(source);
    AdifReader::Field field;
    while (reader.next(field) && !AdifQsoMapping::endsRecord(field.name))
        visit(field.name, field.value.trimmed());
}

} // namespace

namespace WsjtxRecord {

QByteArray fromQsoLogged(const WsjtxMessage::QsoLogged &qso)
{
    QByteArray out;
    const auto add = [&out](const char *name, const QByteArray &value) {
        if (!value.isEmpty())
            appendField(out, name, value);
    };
    const auto addText = [&add](const char *name, const QString &value) { add(name, oneLine(value).toUtf8()); };

    addText("CALL", qso.dxCall);
    addText("GRIDSQUARE", qso.dxGrid);
    QByteArray mode;
    QByteArray submode;
    adifMode(qso.mode, mode, submode);
    add("MODE", mode);
    add("SUBMODE", submode);
    add("FREQ", frequencyMHz(qso.txFrequencyHz));
    if (qso.txFrequencyHz > 0) {
        const QString band = BandPlan::bandOfMHz(static_cast<float>(static_cast<double>(qso.txFrequencyHz) / 1e6));
        if (!band.isEmpty())
            add("BAND", AdifQsoMapping::exportedBand(band.toLatin1()));
    }
    const QDateTime &timeOn = qso.timeOn.isValid() ? qso.timeOn : qso.timeOff;
    add("QSO_DATE", adifDate(timeOn));
    add("TIME_ON", adifTime(timeOn));
    add("QSO_DATE_OFF", adifDate(qso.timeOff));
    add("TIME_OFF", adifTime(qso.timeOff));
    addText("RST_SENT", qso.reportSent);
    addText("RST_RCVD", qso.reportReceived);
    addText("TX_PWR", qso.txPower);
    addText("COMMENT", qso.comments);
    addText("NAME", qso.name);
    addText("OPERATOR", qso.operatorCall);
    addText("STATION_CALLSIGN", qso.myCall);
    addText("MY_GRIDSQUARE", qso.myGrid);
    addText("STX_STRING", qso.exchangeSent);
    addText("SRX_STRING", qso.exchangeReceived);
    addText("PROP_MODE", qso.propagationMode);
    out += "<EOR>";
    return out;
}

QList<QByteArray> recordsOf(const QByteArray &adifText)
{
    // A Logged ADIF text starts with WSJT-X's own header; a header may start with "<".
    const qsizetype headerEnd = adifText.toLower().indexOf("<eoh>");
    QByteArray body = headerEnd >= 0 ? adifText.mid(headerEnd + 5) : adifText;
    QBuffer source(&body);
    source.open(QIODevice::ReadOnly);
    AdifReader reader(source);
    QList<QByteArray> records;
    QByteArray record;
    AdifReader::Field field;
    while (reader.next(field)) {
        if (AdifQsoMapping::endsRecord(field.name)) {
            if (!record.isEmpty())
                records.append(record + "<EOR>");
            record.clear();
        } else if (field.hasLength && !field.value.isEmpty()) {
            appendField(record, field.name, field.value);
        }
    }
    if (!record.isEmpty())
        records.append(record + "<EOR>");
    return records;
}

QString identity(const QByteArray &record)
{
    QByteArray call, date, time, band, frequency, mode, submode;
    const struct
    {
        const char *name;
        QByteArray *value;
    } wanted[] = {{"CALL", &call}, {"QSO_DATE", &date}, {"TIME_ON", &time}, {"BAND", &band},
                  {"FREQ", &frequency}, {"MODE", &mode}, {"SUBMODE", &submode}};

    forEachField(record, [&wanted](QByteArrayView name, QByteArrayView value) {
        const auto found = std::find_if(std::begin(wanted), std::end(wanted),
                                        [&name](const auto &entry) { return sameName(name, entry.name); });
        if (found != std::end(wanted))
            *found->value = value.toByteArray();
    });
    // WSJT-X writes BAND from the dial frequency, the band plan knows 4 m as 6 m: the
    // frequency decides wherever it lies in a band.
    const QString bandOfFrequency = BandPlan::bandOfMHz(BandPlan::readMHz(frequency));
    const QString bandText = bandOfFrequency.isEmpty() ? QString::fromUtf8(AdifQsoMapping::storedBand(band)) : bandOfFrequency;
    const QByteArray &modeText = submode.isEmpty() ? mode : submode;
    return QStringList{QString::fromUtf8(call).toUpper(), QString::fromUtf8(date), QString::fromUtf8(time.left(4)),
                       bandText, QString::fromUtf8(modeText).toUpper()}
        .join(QLatin1Char('|'));
}

QByteArray fieldValue(const QByteArray &record, QByteArrayView name)
{
    QByteArray found;
    forEachField(record, [&](QByteArrayView fieldName, QByteArrayView value) {
        if (found.isEmpty() && sameName(fieldName, name))
            found = value.toByteArray();
    });
    return found;
}

QByteArray withMissingFields(const QByteArray &record, const QList<Sqlite3DB::UM_QSOFIELD> &fields)
{
    QList<QByteArray> present;
    forEachField(record, [&present](QByteArrayView name, QByteArrayView) { present.append(name.toByteArray().toUpper()); });
    const QByteArray ownCall = fieldValue(record, "STATION_CALLSIGN");
    for (const Sqlite3DB::UM_QSOFIELD &field : fields) {
        if (field.name == "STATION_CALLSIGN" && !ownCall.isEmpty()
            && !sameName(ownCall, field.value.trimmed()))
            return record;
    }
    QByteArray added;
    for (const Sqlite3DB::UM_QSOFIELD &field : fields) {
        if (!field.value.isEmpty() && !present.contains(field.name.toUpper()))
            appendField(added, field.name, field.value);
    }
    if (added.isEmpty())
        return record;
    const qsizetype end = record.toUpper().lastIndexOf("<EOR>");
    if (end < 0)
        return record + ' ' + added + "<EOR>";
    QByteArray out = record;
    if (end > 0 && out.at(end - 1) != ' ')
        added.prepend(' ');
    return out.insert(end, added);
}

void adifMode(const QString &mode, QByteArray &adifMode, QByteArray &adifSubmode)
{
    static const char *const kMfskSubmodes[] = {"FT4", "FST4", "FST4W", "JS8", "JTMS", "Q65"};
    const QByteArray name = mode.trimmed().toUpper().toUtf8();
    const bool isSubmode = std::any_of(std::begin(kMfskSubmodes), std::end(kMfskSubmodes),
                                       [&name](const char *submode) { return name == submode; });
    adifMode = isSubmode ? QByteArray("MFSK") : name;
    adifSubmode = isSubmode ? name : QByteArray();
}

QByteArray frequencyMHz(quint64 hz)
{
    if (hz == 0)
        return QByteArray();
    QByteArray text = QByteArray::number(hz / 1000000) + '.' + QByteArray::number(hz % 1000000).rightJustified(6, '0');
    while (text.endsWith('0') && text.size() - text.indexOf('.') > 4)
        text.chop(1);
    return text;
}

} // namespace WsjtxRecord
