#include "ConfirmationMatcher.h"

#include "adif/AdifQsoMapping.h"

#include <QDateTime>

namespace {

// Suffixes that leave a station where its home call is: portable, mobile, maritime and
// aeronautical mobile, alternative address, low power, lighthouse. LoTW's records may
// carry or lack them whatever the log says.
const char *const kPortable[] = {"P", "M", "A", "MM", "AM", "PM", "QRP", "QRPP", "LH", "LGT"};

bool isPortable(QStringView part)
{
    for (const char *suffix : kPortable) {
        if (part == QLatin1String(suffix))
            return true;
    }
    return false;
}

bool isAnyOf(QStringView mode, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (mode.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString ConfirmationMatcher::baseCall(QStringView call)
{
    QString base = call.trimmed().toString().toUpper();
    for (;;) {
        const qsizetype slash = base.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || !isPortable(QStringView(base).sliced(slash + 1)))
            return base;
        base.truncate(slash);
    }
}

QString ConfirmationMatcher::bandKey(QStringView band)
{
    return QString::fromLatin1(AdifQsoMapping::storedBand(band.trimmed().toLatin1()));
}

ConfirmationMatcher::Group ConfirmationMatcher::groupOf(QStringView mode, QStringView submode)
{
    const QStringView name = mode.trimmed().isEmpty() ? submode.trimmed() : mode.trimmed();
    if (name.isEmpty())
        return NoGroup;
    if (isAnyOf(name, {"CW"}))
        return Cw;
    if (isAnyOf(name, {"PHONE", "SSB", "USB", "LSB", "AM", "FM", "DIGITALVOICE", "C4FM", "DSTAR", "DMR", "FREEDV", "M17"}))
        return Phone;
    if (isAnyOf(name, {"IMAGE", "SSTV", "ATV", "FAX"}))
        return Image;
    return Data;
}

QString ConfirmationMatcher::modeGroup(QStringView mode, QStringView submode)
{
    switch (groupOf(mode, submode)) {
    case Cw: return QStringLiteral("CW");
    case Phone: return QStringLiteral("PHONE");
    case Image: return QStringLiteral("IMAGE");
    case Data: return QStringLiteral("DATA");
    case NoGroup: break;
    }
    return QString();
}

quint32 ConfirmationMatcher::intern(const QString &name)
{
    if (name.isEmpty())
        return 0;
    const auto found = m_names.constFind(name);
    if (found != m_names.constEnd())
        return *found;
    const quint32 number = static_cast<quint32>(m_names.size()) + 1;
    m_names.insert(name, number);
    return number;
}

qint64 ConfirmationMatcher::numberOf(const QString &name) const
{
    return name.isEmpty() ? 0 : m_names.value(name, -1);
}

void ConfirmationMatcher::reserve(qsizetype qsos)
{
    m_byCall.reserve(qsos / 4);
}

void ConfirmationMatcher::addQso(const QsoCandidate &qso)
{
    if (!qso.startUtc.isValid())
        return;
    const Entry entry{qso.rowId,
                      qso.startUtc.toSecsSinceEpoch(),
                      intern(bandKey(qso.band)),
                      intern(qso.mode.trimmed().toUpper()),
                      intern(qso.satellite.trimmed().toUpper()),
                      groupOf(qso.mode, qso.submode)};
    m_byCall[baseCall(qso.call)].append(entry);
    ++m_size;
}

std::optional<qint64> ConfirmationMatcher::match(const Confirmation &confirmation) const
{
    const auto candidates = m_byCall.constFind(baseCall(confirmation.call));
    if (candidates == m_byCall.constEnd() || !confirmation.start.isValid())
        return std::nullopt;
    const qint64 start = confirmation.start.toSecsSinceEpoch();
    const bool satellite = confirmation.isSatellite();
    const qint64 band = numberOf(bandKey(confirmation.band));
    const qint64 sat = numberOf(confirmation.satellite.trimmed().toUpper());
    const qint64 mode = numberOf(confirmation.mode.trimmed().toUpper());
    const Group group = confirmation.modeGroup.isEmpty() ? groupOf(confirmation.mode, confirmation.submode)
                                                         : groupOf(confirmation.modeGroup, {});
    std::optional<qint64> best;
    qint64 bestDistance = 0;
    for (const Entry &qso : *candidates) {
        const qint64 distance = qAbs(qso.start - start);
        if (distance > kWindowSeconds)
            continue;
        if (satellite ? (qso.satellite == 0 || (sat != 0 && qso.satellite != sat)) : (qso.satellite != 0 || qso.band != band))
            continue;
        if (!(mode > 0 && qso.mode == mode) && !(group != NoGroup && qso.group == group))
            continue;
        if (!best || distance < bestDistance || (distance == bestDistance && qso.rowId < *best)) {
            best = qso.rowId;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<qint64> ConfirmationMatcher::pick(const Confirmation &confirmation, const QList<QsoCandidate> &candidates)
{
    ConfirmationMatcher matcher;
    for (const QsoCandidate &qso : candidates)
        matcher.addQso(qso);
    return matcher.match(confirmation);
}
