#include "TqslUpload.h"

#include "NetLog.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

// More of TQSL's output is not kept: its last lines say what counts.
constexpr qsizetype kMaxOutput = 1 << 20;

QString finalStatusOf(const QString &output)
{
    static const QRegularExpression line(QStringLiteral("Final Status:\\s*([^\\n]*)"));
    QString last;
    auto matches = line.globalMatch(output);
    while (matches.hasNext())
        last = matches.next().captured(1).trimmed();
    return last;
}

} // namespace

TqslUpload::TqslUpload(QObject *parent)
    : QObject(parent)
{
}

TqslUpload::~TqslUpload()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

void TqslUpload::setProgram(const QString &program)
{
    m_program = program;
}

void TqslUpload::setTimeout(int milliseconds)
{
    m_timeoutMs = milliseconds;
}

bool TqslUpload::isRunning() const
{
    return m_process != nullptr;
}

QStringList TqslUpload::arguments(const QString &location, const QString &adifFile)
{
    return {QStringLiteral("-d"), QStringLiteral("-u"), QStringLiteral("-a"), QStringLiteral("compliant"),
            QStringLiteral("-l"), location, QStringLiteral("-x"), adifFile};
}

QString TqslUpload::describeExitCode(int code)
{
    switch (code) {
    case 0: return QStringLiteral("success: all QSOs submitted were signed and uploaded (0)");
    case 1: return QStringLiteral("cancelled by user (1)");
    case 2: return QStringLiteral("rejected by LoTW (2)");
    case 3: return QStringLiteral("unexpected response from TQSL server (3)");
    case 4: return QStringLiteral("TQSL error (4)");
    case 5: return QStringLiteral("TQSLlib error (5)");
    case 6: return QStringLiteral("unable to open input file (6)");
    case 7: return QStringLiteral("unable to open output file (7)");
    case 8: return QStringLiteral("no QSOs were processed since some QSOs were already uploaded or out of date range (8)");
    case 9:
        return QStringLiteral("some QSOs were processed, and some QSOs were ignored because they were already uploaded "
                              "or out of date range (9)");
    case 10: return QStringLiteral("command syntax error (10)");
    case 11: return QStringLiteral("LoTW connection error (no network or LoTW is unreachable) (11)");
    default: return QStringLiteral("TQSL ended with exit code %1").arg(code);
    }
}

bool TqslUpload::start(const QString &location, const QString &adifFile)
{
    if (m_process)
        return false;
    m_output.clear();
    m_cancelled = false;
    m_timedOut = false;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyRead, this, [this] {
        m_output += QString::fromLocal8Bit(m_process->readAll());
        if (m_output.size() > kMaxOutput)
            m_output.remove(0, m_output.size() - kMaxOutput);
    });
    connect(m_process, &QProcess::finished, this, &TqslUpload::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &TqslUpload::onError);
    auto *timer = new QTimer(m_process);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        m_process->kill();
    });
    timer->start(m_timeoutMs);
    qCDebug(lcNet) << "starting" << m_program << arguments(location, adifFile);
    m_process->start(m_program, arguments(location, adifFile));
    return true;
}

void TqslUpload::cancel()
{
    if (!m_process)
        return;
    m_cancelled = true;
    m_process->kill();
}

void TqslUpload::onError(QProcess::ProcessError error)
{
    // A program that ran and ended reports through `finished` as well.
    if (error != QProcess::FailedToStart)
        return;
    Result result;
    result.words = QStringLiteral("TQSL could not be started as \"%1\" (is the trustedqsl package installed?): %2")
                       .arg(m_program, m_process->errorString());
    finish(result);
}

void TqslUpload::onFinished(int exitCode, QProcess::ExitStatus status)
{
    m_output += QString::fromLocal8Bit(m_process->readAll());
    Result result;
    result.output = m_output;
    result.finalStatus = finalStatusOf(m_output);
    if (m_cancelled) {
        result.words = QStringLiteral("cancelled: TQSL was stopped");
    } else if (m_timedOut) {
        result.words = QStringLiteral("TQSL gave no result within %1 s and was stopped").arg(m_timeoutMs / 1000);
    } else if (status != QProcess::NormalExit) {
        result.words = QStringLiteral("TQSL stopped unexpectedly");
    } else {
        result.exitCode = exitCode;
        result.words = describeExitCode(exitCode);
    }
    finish(result);
}

void TqslUpload::finish(Result result)
{
    if (result.exitCode == 0)
        qCDebug(lcNet) << "TQSL:" << result.words;
    else
        qCWarning(lcNet) << "TQSL:" << result.words;
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    emit finished(result);
}
