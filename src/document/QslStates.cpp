#include "QslStates.h"

#include "store/ConfirmedRule.h"

namespace {

bool isOneOf(const QString &value, const char *letters)
{
    const QString trimmed = value.trimmed();
    return trimmed.size() == 1 && QByteArray(letters).contains(trimmed.at(0).toUpper().toLatin1());
}

} // namespace

namespace QslStates {

bool dueForLotw(const QString &sent, const QString &uploaded, const QDateTime &nowUtc)
{
    if (isOneOf(sent, "YI"))
        return false;
    if (!isOneOf(sent, "Q"))
        return true;
    const QString text = uploaded.trimmed();
    const QDateTime when(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                         QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss")), Qt::UTC);
    return !when.isValid() || when.secsTo(nowUtc) > kLotwSeenWithinSecs;
}

bool dueForEqsl(const QString &sent)
{
    return !isOneOf(sent, "YI");
}

QString lotwLetter(const QString &received, const QString &sent)
{
    if (ConfirmedRule::lotwConfirms(received.toLatin1()))
        return QStringLiteral("Y");
    if (isOneOf(sent, "Y"))
        return QStringLiteral("S");
    if (isOneOf(sent, "Q"))
        return QStringLiteral("Q");
    return QString();
}

QString eqslLetter(const QString &received, const QString &sent)
{
    if (isOneOf(received, "YV"))
        return QStringLiteral("Y");
    return isOneOf(sent, "Y") ? QStringLiteral("S") : QString();
}

QString adifDate(const QString &date)
{
    QString digits = date.trimmed().left(10);
    digits.remove(QLatin1Char('-'));
    if (digits.size() != 8 || !QDate::fromString(digits, QStringLiteral("yyyyMMdd")).isValid())
        return QString();
    return digits;
}

} // namespace QslStates
