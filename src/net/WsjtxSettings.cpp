#include "WsjtxSettings.h"

#include "platform/AppSettings.h"

#include <QSettings>

namespace {
const char kEnabled[] = "WSJT-X/Enabled";
const char kPort[] = "WSJT-X/Port";
const char kGroup[] = "WSJT-X/MulticastGroup";
const char kInterface[] = "WSJT-X/Interface";
const char kSecondaryEnabled[] = "WSJT-X/SecondaryEnabled";
const char kSecondaryPort[] = "WSJT-X/SecondaryPort";
const char kFollow[] = "WSJT-X/Follow";
const char kLogbook[] = "WSJT-X/Logbook";

// A port outside 1 to 65535 (or no number) gives the default.
int portValue(const QSettings &settings, const char *key, int fallback)
{
    bool isNumber = false;
    const int port = settings.value(QLatin1String(key)).toInt(&isNumber);
    return isNumber && port > 0 && port <= 65535 ? port : fallback;
}
} // namespace

WsjtxSettings WsjtxSettings::load(const QSettings &settings)
{
    const WsjtxSettings defaults;
    WsjtxSettings loaded;
    loaded.enabled = settings.value(QLatin1String(kEnabled), defaults.enabled).toBool();
    loaded.port = portValue(settings, kPort, defaults.port);
    loaded.multicastGroup = settings.value(QLatin1String(kGroup)).toString().trimmed();
    loaded.interfaceName = settings.value(QLatin1String(kInterface)).toString().trimmed();
    loaded.secondaryEnabled = settings.value(QLatin1String(kSecondaryEnabled), defaults.secondaryEnabled).toBool();
    loaded.secondaryPort = portValue(settings, kSecondaryPort, defaults.secondaryPort);
    loaded.follow = settings.value(QLatin1String(kFollow), defaults.follow).toBool();
    loaded.logbook = settings.value(QLatin1String(kLogbook)).toString();
    return loaded;
}

void WsjtxSettings::save(QSettings &settings) const
{
    settings.setValue(QLatin1String(kEnabled), enabled);
    settings.setValue(QLatin1String(kPort), port);
    settings.setValue(QLatin1String(kGroup), multicastGroup);
    settings.setValue(QLatin1String(kInterface), interfaceName);
    settings.setValue(QLatin1String(kSecondaryEnabled), secondaryEnabled);
    settings.setValue(QLatin1String(kSecondaryPort), secondaryPort);
    settings.setValue(QLatin1String(kFollow), follow);
    settings.setValue(QLatin1String(kLogbook), logbook);
}

WsjtxSettings WsjtxSettings::load()
{
    return load(*AppSettings::open());
}

void WsjtxSettings::save() const
{
    save(*AppSettings::open());
}

bool WsjtxSettings::operator==(const WsjtxSettings &other) const
{
    return enabled == other.enabled && port == other.port && multicastGroup == other.multicastGroup
        && interfaceName == other.interfaceName && secondaryEnabled == other.secondaryEnabled
        && secondaryPort == other.secondaryPort && follow == other.follow && logbook == other.logbook;
}
