#pragma once

#include <optional>

// The X library's connection to a display, as its own header declares it.
struct _XDisplay;

// The state of the keyboard's lock keys. Qt has no call for it; on X11 the X keyboard
// extension tells it, through the X library connection Qt itself uses.
class KeyboardLocks
{
public:
    struct State
    {
        bool caps = false;
        bool num = false;
        bool scroll = false;

        bool operator==(const State &other) const
        {
            return caps == other.caps && num == other.num && scroll == other.scroll;
        }
    };

    // The state now; nothing where the window system gives no way to read it (a
    // platform other than X11, or a server without the keyboard extension).
    static std::optional<State> read();
    // The state as the X server behind `display` reports it.
    static std::optional<State> read(_XDisplay *display);
};
