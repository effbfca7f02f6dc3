#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of every text that goes to SQLite or comes from an
// ADIF, country or QSL manager file: Windows-1252. Logbook files written here stay
// byte-compatible with those written on Windows.
namespace CodePage {

// Wide text to Windows-1252 bytes. A character the code page cannot hold becomes
// '?' (one per character, also for characters outside the Basic Multilingual Plane).
QByteArray toAnsi(const QString &text);

// Windows-1252 bytes to wide text. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value,
// as Windows does, so that every byte survives a round trip.
QString fromAnsi(const QByteArray &bytes);
QString fromAnsi(const char *bytes);

// The byte for one character, or '?' when the code page cannot hold it.
char toAnsiChar(char32_t codePoint);

} // namespace CodePage
