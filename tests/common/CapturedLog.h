#pragma once

#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

// Every log line written while the object lives, with all korva3.* categories switched
// on as QT_LOGGING_RULES="korva3.*=true" does, so a test can look for what must never
// be logged.
class CapturedLog
{
public:
    CapturedLog()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
        m_previous = qInstallMessageHandler(&CapturedLog::collect);
        QLoggingCategory::setFilterRules(QStringLiteral("korva3.*=true"));
    }
    ~CapturedLog()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
    }
    CapturedLog(const CapturedLog &) = delete;
    CapturedLog &operator=(const CapturedLog &) = delete;

    // The lines that hold `text` in any letter case.
    QStringList containing(const QString &text) const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines.filter(text, Qt::CaseInsensitive);
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        QMutexLocker lock(&s_mutex);
        s_lines.append(QLatin1String(context.category ? context.category : "default") + QLatin1String(": ") + message);
    }

    static inline QStringList s_lines;
    static inline QMutex s_mutex;
    QtMessageHandler m_previous = nullptr;
};
