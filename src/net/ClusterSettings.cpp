#include "ClusterSettings.h"

#include "platform/AppSettings.h"

#include <QSettings>

namespace {
const char kHost[] = "DX Cluster/Host";
const char kPort[] = "DX Cluster/Port";
const char kCall[] = "DX Cluster/Call";
const char kCommands[] = "DX Cluster/Commands";
const char kAutoConnect[] = "DX Cluster/AutoConnect";
} // namespace

ClusterSettings ClusterSettings::load(const QSettings &settings)
{
    ClusterSettings loaded;
    loaded.host = settings.value(QLatin1String(kHost)).toString().trimmed();
    const int port = settings.value(QLatin1String(kPort), kDefaultPort).toInt();
    loaded.port = port > 0 && port <= 65535 ? static_cast<quint16>(port) : kDefaultPort;
    loaded.call = settings.value(QLatin1String(kCall)).toString().trimmed();
    const QStringList lines = settings.value(QLatin1String(kCommands)).toString().split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            loaded.commands.append(line.trimmed());
    }
    loaded.autoConnect = settings.value(QLatin1String(kAutoConnect), false).toBool();
    return loaded;
}

void ClusterSettings::save(QSettings &settings) const
{
    settings.setValue(QLatin1String(kHost), host);
    settings.setValue(QLatin1String(kPort), port);
    settings.setValue(QLatin1String(kCall), call);
    settings.setValue(QLatin1String(kCommands), commands.join(QLatin1Char('\n')));
    settings.setValue(QLatin1String(kAutoConnect), autoConnect);
}

ClusterSettings ClusterSettings::load()
{
    return load(*AppSettings::open());
}

void ClusterSettings::save() const
{
    save(*AppSettings::open());
}

bool ClusterSettings::operator==(const ClusterSettings &other) const
{
    return host == other.host && port == other.port && call == other.call && commands == other.commands
        && autoConnect == other.autoConnect;
}
