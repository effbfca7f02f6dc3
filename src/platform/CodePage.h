#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encodings of stored and exchanged text. Logbooks store UTF-8; the single-byte
// Windows-1252 code page is what logbooks, ADIF files and the country and QSL manager
// files written on Windows hold, so every reader of stored or imported bytes takes them
// as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise.
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

// Text as the logbook stores it: UTF-8.
QByteArray toStored(const QString &text);
// Stored bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252 (a logbook or
// program database written before it stored UTF-8).
QString fromStored(QByteArrayView bytes);

// Only bytes below 0x80: the same text in every encoding here.
bool isAscii(QByteArrayView bytes);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(QByteArrayView bytes);
// Appends the bytes as UTF-8: as they are when they are valid UTF-8, else each byte read
// as Windows-1252.
void appendAsUtf8(QByteArray &out, QByteArrayView bytes);
// How many bytes at the end of `bytes` begin a UTF-8 character that the bytes do not
// complete (0 to 3); 0 when the bytes end on a whole character.
int incompleteUtf8Tail(QByteArrayView bytes);

} // namespace CodePage
