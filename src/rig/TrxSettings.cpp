#include "TrxSettings.h"

#include "SerialPortNames.h"
#include "platform/AppSettings.h"

#include <QRegularExpression>
#include <QSettings>

namespace {
const char kModel[] = "Transceiver/HamlibModel";
const char kPort[] = "Transceiver/HamlibPort";
const char kSpeed[] = "Transceiver/HamlibSpeed";
const char kAddress[] = "Transceiver/RigctldAddress";
const char kFollow[] = "Transceiver/Follow";
} // namespace

TrxSettings TrxSettings::load(const QSettings &settings)
{
    TrxSettings loaded;
    loaded.hamlibModel = settings.value(QLatin1String(kModel), 0).toInt();
    loaded.hamlibPort = settings.value(QLatin1String(kPort)).toString();
    loaded.hamlibSpeed = settings.value(QLatin1String(kSpeed), 0).toInt();
    loaded.rigctldAddress = settings.value(QLatin1String(kAddress)).toString();
    loaded.follow = settings.value(QLatin1String(kFollow), false).toBool();
    return loaded;
}

void TrxSettings::save(QSettings &settings) const
{
    settings.setValue(QLatin1String(kModel), hamlibModel);
    settings.setValue(QLatin1String(kPort), hamlibPort);
    settings.setValue(QLatin1String(kSpeed), hamlibSpeed);
    settings.setValue(QLatin1String(kAddress), rigctldAddress);
    settings.setValue(QLatin1String(kFollow), follow);
}

TrxSettings TrxSettings::load()
{
    return load(*AppSettings::open());
}

void TrxSettings::save() const
{
    save(*AppSettings::open());
}

QString TrxSettings::hamlibDevicePath() const
{
    static const QRegularExpression comPort(QStringLiteral("^com([0-9]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comPort.match(hamlibPort.trimmed());
    return match.hasMatch() ? SerialPortNames::devicePath(match.captured(1).toInt()) : hamlibPort.trimmed();
}

bool TrxSettings::sameRadio(const TrxSettings &other) const
{
    return hamlibModel == other.hamlibModel && hamlibPort == other.hamlibPort && hamlibSpeed == other.hamlibSpeed
        && rigctldAddress == other.rigctldAddress;
}

bool TrxSettings::operator==(const TrxSettings &other) const
{
    return sameRadio(other) && follow == other.follow;
}
