#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The conversions without a window: one option names one conversion, which runs in
// the current directory and reports through the current Prompter.
namespace RefDataCommandLine {

QString usage();

// Exit status: 0 when the conversion ended in "Ready" (or for --help), 1 otherwise,
// also for a missing, unknown or repeated option (the usage then goes to err).
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace RefDataCommandLine
