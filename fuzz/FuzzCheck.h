#pragma once

#include <QByteArray>

#include <cstdio>

// Stops the run when an invariant does not hold, after saying which one (and, when
// given, what was found against what was expected): libFuzzer then keeps the input
// that broke it, as it does for a crash.
inline void fuzzCheck(bool holds, const char *invariant, const QByteArray &found = QByteArray(),
                      const QByteArray &expected = QByteArray())
{
    if (holds)
        return;
    std::fprintf(stderr, "Invariant broken: %s\n", invariant);
    if (!found.isEmpty() || !expected.isEmpty())
        std::fprintf(stderr, "  found:    %s\n  expected: %s\n", found.toPercentEncoding(" |:<>").constData(),
                     expected.toPercentEncoding(" |:<>").constData());
    __builtin_trap();
}
