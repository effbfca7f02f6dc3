#pragma once

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>

// Every log line written while the object lives, with all korva3.* categories switched
// on as QT_LOGGING_RULES="korva3.*=true" does, so a test can look for what must never
// be logged.
class CapturedLog
{
public:
    CapturedLog()
    {
        QMutexLocker lock(&mutex());
        lines().clear();
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

    QStringList all() const
    {
        QMutexLocker lock(&mutex());
        return lines();
    }
    // The lines that hold `text` in any letter case.
    QStringList containing(const QString &text) const { return all().filter(text, Qt::CaseInsensitive); }

private:
    static void collect(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        QMutexLocker lock(&mutex());
        lines().append(QString::fromLatin1(context.category ? context.category : "default") + QLatin1String(": ")
                       + message);
    }
    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }
    static QMutex &mutex()
    {
        static QMutex lock;
        return lock;
    }

    QtMessageHandler m_previous = nullptr;
};
