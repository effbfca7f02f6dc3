#include "ConfirmationSettings.h"

#include "platform/AppSettings.h"

#include <QSettings>

namespace {

// Each text value with its member; the defaults are those of a fresh value.
const struct
{
    const char *key;
    QString ConfirmationSettings::*member;
} kTexts[] = {
    {"Confirmations/LotwUser", &ConfirmationSettings::lotwUser},
    {"Confirmations/LotwUrl", &ConfirmationSettings::lotwUrl},
    {"Confirmations/TqslProgram", &ConfirmationSettings::tqslProgram},
    {"Confirmations/EqslUser", &ConfirmationSettings::eqslUser},
    {"Confirmations/EqslUrl", &ConfirmationSettings::eqslUrl},
    {"Confirmations/ClubLogEmail", &ConfirmationSettings::clubLogEmail},
    {"Confirmations/ClubLogCallsign", &ConfirmationSettings::clubLogCallsign},
    {"Confirmations/ClubLogApiKey", &ConfirmationSettings::clubLogApiKey},
    {"Confirmations/ClubLogUrl", &ConfirmationSettings::clubLogUrl},
};
const char kConfirmedMeans[] = "Confirmations/ConfirmedMeans";

} // namespace

ConfirmationSettings ConfirmationSettings::load(const QSettings &settings)
{
    ConfirmationSettings loaded;
    for (const auto &text : kTexts)
        loaded.*(text.member) = settings.value(QLatin1String(text.key), loaded.*(text.member)).toString();
    bool isNumber = false;
    const int means = settings.value(QLatin1String(kConfirmedMeans)).toInt(&isNumber);
    if (isNumber && means >= QslCard && means <= CardOrLotw)
        loaded.confirmedMeans = static_cast<ConfirmedMeans>(means);
    return loaded;
}

void ConfirmationSettings::save(QSettings &settings) const
{
    for (const auto &text : kTexts)
        settings.setValue(QLatin1String(text.key), this->*(text.member));
    settings.setValue(QLatin1String(kConfirmedMeans), static_cast<int>(confirmedMeans));
}

ConfirmationSettings ConfirmationSettings::load()
{
    return load(*AppSettings::open());
}

void ConfirmationSettings::save() const
{
    save(*AppSettings::open());
}

bool ConfirmationSettings::operator==(const ConfirmationSettings &other) const
{
    for (const auto &text : kTexts) {
        if (this->*(text.member) != other.*(text.member))
            return false;
    }
    return confirmedMeans == other.confirmedMeans;
}
