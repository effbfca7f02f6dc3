#pragma once

#include <QString>

#include <functional>

class QSettings;

// Which device "COM n" is on this system.
namespace SerialPortNames {

using Exists = std::function<bool(const QString &path)>;

// The device named in section "Serial ports", value "COMn" of `settings`; without one,
// /dev/ttyUSB(n-1) when `exists` says it is there, else /dev/ttyS(n-1). Port numbers
// below 1 have no default device (empty text).
QString devicePath(int portNumber, const QSettings &settings, const Exists &exists);
// The same in the program's settings store, looking at the real /dev.
QString devicePath(int portNumber);

} // namespace SerialPortNames
