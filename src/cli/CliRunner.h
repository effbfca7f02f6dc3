#pragma once

#include <QHash>
#include <QStringList>

class CKorva3Doc;
struct WsjtxSettings;
struct TrxConnection;
class QTextStream;

// korva3-cli: the store's operations and the transceiver query without a window.
//   korva3-cli [--verbose] [-C DIR] COMMAND ARGS...
// The program database is korva3.sqlite3 in the current folder (or DIR), else the one in
// the folder `Korva3 --home` works in (WorkingFolder::home).
// Exit codes: 0 success, 1 the operation failed (message on the error stream),
// 2 usage error.
class CliRunner
{
public:
    enum Exit { Success = 0, Failed = 1, Usage = 2 };

    // `in` is read by resolve when no call is given.
    CliRunner(QTextStream &out, QTextStream &err, QTextStream *in = nullptr);

    // `arguments` without the program name.
    int run(QStringList arguments);

private:
    int newLogbook(const QStringList &arguments);
    int rebuild(const QStringList &arguments);
    int backup(const QStringList &arguments);
    int stats(const QStringList &arguments);
    int resolve(const QStringList &arguments);
    int info(const QStringList &arguments);
    int locator(const QStringList &arguments);
    int trx(const QStringList &arguments);
    int cluster(const QStringList &arguments);
    int lookup(const QStringList &arguments);
    static bool takeOptions(const QStringList &arguments, const QStringList &valued, const QStringList &flags,
                            QHash<QString, QString> &options, QStringList &positional);
    bool readPassword(QString &password);
    static QString serialConnection(const QHash<QString, QString> &options, TrxConnection &connection);
    static QString hamlibConnection(const QHash<QString, QString> &options, TrxConnection &connection);
    int importAdif(const QStringList &arguments);
    int exportAdif(const QStringList &arguments);
    int lotw(const QStringList &arguments);
    int eqsl(const QStringList &arguments);
    int clubLog(const QStringList &arguments);
    int listen(const QStringList &arguments);
    int listenInto(CKorva3Doc &document, const WsjtxSettings &settings, double seconds, int count);
    int reportMessages(const QStringList &messages, bool succeeded);
    void resolveOne(CKorva3Doc &doc, const QString &text);
    int fail(const QString &message);
    int usage(const QString &problem);
    bool logbookExists(const QString &path);
    bool programDatabaseExists();
    void chooseProgramDatabase(bool folderGiven);

    QTextStream &m_out;
    QTextStream &m_err;
    QTextStream *m_in;
    bool m_verbose = false;
};
