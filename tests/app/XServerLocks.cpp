#include "XServerLocks.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace XServerLocks {

std::optional<KeyboardLocks::State> setAndRead(const QByteArray &display, bool caps, bool num)
{
    Display *x = XOpenDisplay(display.constData());
    if (!x)
        return std::nullopt;
    std::optional<KeyboardLocks::State> state;
    const unsigned int numMask = XkbKeysymToModifiers(x, XK_Num_Lock);
    if (numMask != 0) {
        XkbLockModifiers(x, XkbUseCoreKbd, LockMask | numMask, (caps ? LockMask : 0) | (num ? numMask : 0));
        XSync(x, False);
        state = KeyboardLocks::read(x);
    }
    XCloseDisplay(x);
    return state;
}

} // namespace XServerLocks
