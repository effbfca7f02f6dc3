#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QThread;

// Writes logbook backups on threads of their own, so a window never waits for a copy;
// progress and the end come back as signals on the thread that started them. A
// program that ends waits for the copies under way (waitForAll), never leaves one half
// written.
class BackupRunner : public QObject
{
    Q_OBJECT

public:
    explicit BackupRunner(QObject *parent = nullptr);
    ~BackupRunner() override;

    // A backup of the logbook into `folder` (LogbookBackups::write).
    void start(const QString &logbookPath, const QString &folder);
    bool isRunning() const { return !m_threads.isEmpty(); }
    void waitForAll();

signals:
    void progress(const QString &logbookPath, int percent);
    // `written` with the backup's path, or not with the reason.
    void finished(const QString &logbookPath, bool written, const QString &pathOrError);

private:
    QList<QThread *> m_threads;
};
