#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// Signs and uploads an ADIF file to LoTW through TQSL, run as a program of its own
// (Debian's trustedqsl) in batch mode:
//     tqsl -d -u -a compliant -l LOCATION -x FILE
// No shell is involved and nothing secret is on its command line: TQSL holds the
// callsign certificate and asks for its passphrase itself. Each start ends with one
// `finished` that tells TQSL's exit codes apart in words.
class TqslUpload : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        // TQSL's exit code; -1 when it did not start, crashed, or was stopped.
        int exitCode = -1;
        // What happened, in words.
        QString words;
        // TQSL's own last status ("Final Status: ... (N)"), when it wrote one.
        QString finalStatus;
        // All TQSL wrote, for the log window.
        QString output;

        // LoTW has the QSOs now or had them already (0, 8, 9). They count as sent only
        // once a download of the account's own records shows them.
        bool reachedLotw() const { return exitCode == 0 || exitCode == 8 || exitCode == 9; }
    };

    static constexpr int kDefaultTimeoutMs = 15 * 60 * 1000;

    explicit TqslUpload(QObject *parent = nullptr);
    ~TqslUpload() override;

    // The program to run: "tqsl" (found on PATH) unless set.
    void setProgram(const QString &program);
    QString program() const { return m_program; }
    void setTimeout(int milliseconds);

    // Starts TQSL for the file with the station location; false while one runs.
    bool start(const QString &location, const QString &adifFile);
    bool isRunning() const;
    // Stops a running TQSL; its `finished` says it was cancelled.
    void cancel();

    static QStringList arguments(const QString &location, const QString &adifFile);
    // TQSL's exit code in words, as TQSL's documentation names it.
    static QString describeExitCode(int code);

signals:
    void finished(const TqslUpload::Result &result);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void finish(Result result);

    QProcess *m_process = nullptr;
    QString m_program = QStringLiteral("tqsl");
    int m_timeoutMs = kDefaultTimeoutMs;
    QString m_output;
    bool m_cancelled = false;
    bool m_timedOut = false;
};
