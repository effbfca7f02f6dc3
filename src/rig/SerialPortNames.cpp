#include "SerialPortNames.h"

#include "platform/AppSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace SerialPortNames {

QString devicePath(int portNumber, const QSettings &settings, const Exists &exists)
{
    const QString named = settings.value(QStringLiteral("Serial ports/COM%1").arg(portNumber)).toString();
    if (!named.isEmpty())
        return named;
    if (portNumber < 1)
        return QString();
    const QString usb = QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 1);
    if (exists(usb))
        return usb;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

QString devicePath(int portNumber)
{
    const auto settings = AppSettings::open();
    return devicePath(portNumber, *settings, [](const QString &path) { return QFileInfo::exists(path); });
}

} // namespace SerialPortNames
