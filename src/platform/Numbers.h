#pragma once

#include <QByteArray>
#include <QString>

namespace Numbers {

// The C library's atoi, made safe: leading blanks, an optional sign and the leading
// digits; anything that is not a number gives 0. Values beyond the 32-bit range
// saturate instead of overflowing.
int atoi(const QByteArray &text);
int atoi(const QString &text);

} // namespace Numbers
