#pragma once

#include "app/KeyboardLocks.h"

#include <QByteArray>

#include <optional>

// Sets the lock keys of a running X server's core keyboard, then reads them back through
// KeyboardLocks on the same connection. Kept apart from the tests: the X headers' macros
// (Expose, KeyPress, None) clash with Qt's names.
namespace XServerLocks {

// Nothing when the display cannot be opened or has no Num Lock modifier.
std::optional<KeyboardLocks::State> setAndRead(const QByteArray &display, bool caps, bool num);

} // namespace XServerLocks
