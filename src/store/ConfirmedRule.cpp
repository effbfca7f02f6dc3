#include "ConfirmedRule.h"

#include "QslStore.h"

#include "platform/AppSettings.h"

bool ConfirmedRule::confirms(int qslRcvd, bool lotwConfirmed) const
{
    const bool card = qslRcvd == kCardReceived;
    switch (m_means) {
    case QslCard: return card;
    case Lotw: return lotwConfirmed;
    case CardOrLotw: return card || lotwConfirmed;
    }
    return card;
}

bool ConfirmedRule::lotwConfirms(QByteArrayView value)
{
    const QByteArrayView trimmed = value.trimmed();
    return trimmed.size() == 1 && (trimmed[0] == 'Y' || trimmed[0] == 'y' || trimmed[0] == 'V' || trimmed[0] == 'v');
}

std::optional<ConfirmedRule::Means> ConfirmedRule::fromNumber(int number)
{
    if (number < QslCard || number > CardOrLotw)
        return std::nullopt;
    return static_cast<Means>(number);
}

ConfirmedRule ConfirmedRule::of(sqlite3 *db)
{
    bool isNumber = false;
    const int number = QslStore::stateOf(db, QLatin1String(kStateName)).value_or(QString()).toInt(&isNumber);
    return ConfirmedRule(isNumber ? fromNumber(number).value_or(kDefault) : kDefault);
}

bool ConfirmedRule::keep(sqlite3 *db, ConfirmedRule rule)
{
    return QslStore::setStateOf(db, QLatin1String(kStateName), QString::number(rule.means()));
}

ConfirmedRule ConfirmedRule::fromSettings()
{
    bool isNumber = false;
    const int number = AppSettings::open()->value(QLatin1String(kSettingsKey)).toInt(&isNumber);
    return ConfirmedRule(isNumber ? fromNumber(number).value_or(kDefault) : kDefault);
}
