#include "KeyboardLocks.h"

#include <QGuiApplication>

// The X headers come last: they define macros (None, Bool, Status) that Qt's headers use
// as names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

// Whether the named indicator of the core keyboard is lit; an indicator the keyboard
// description lacks counts as off.
bool indicatorLit(Display *display, const char *name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return false;
    Bool lit = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &lit, nullptr, nullptr))
        return false;
    return lit != False;
}

} // namespace

std::optional<KeyboardLocks::State> KeyboardLocks::read()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return std::nullopt;
    return read(x11->display());
}

std::optional<KeyboardLocks::State> KeyboardLocks::read(_XDisplay *display)
{
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!display || !XkbQueryExtension(display, &opcode, &event, &error, &major, &minor))
        return std::nullopt;
    State state;
    state.caps = indicatorLit(display, "Caps Lock");
    state.num = indicatorLit(display, "Num Lock");
    state.scroll = indicatorLit(display, "Scroll Lock");
    return state;
}
