#pragma once

#include <QStringList>

class QTextStream;

// korva3-cli: the store's operations without a window.
//   korva3-cli [-C DIR] COMMAND ARGS...
// Exit codes: 0 success, 1 the operation failed (message on the error stream),
// 2 usage error.
class CliRunner
{
public:
    enum Exit { Success = 0, Failed = 1, Usage = 2 };

    CliRunner(QTextStream &out, QTextStream &err);

    // `arguments` without the program name.
    int run(QStringList arguments);

private:
    int newLogbook(const QString &path);
    int rebuild(const QString &path);
    int stats(const QString &path);
    int fail(const QString &message);
    int usage(const QString &problem);
    bool logbookExists(const QString &path);

    QTextStream &m_out;
    QTextStream &m_err;
};
