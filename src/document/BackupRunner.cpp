#include "BackupRunner.h"

#include "LogbookBackups.h"

#include <QPointer>
#include <QThread>

BackupRunner::BackupRunner(QObject *parent)
    : QObject(parent)
{
}

BackupRunner::~BackupRunner()
{
    waitForAll();
    qDeleteAll(m_threads);
}

void BackupRunner::start(const QString &logbookPath, const QString &folder)
{
    QPointer<BackupRunner> self(this);
    auto outcome = std::make_shared<LogbookBackups::Outcome>();
    QThread *thread = QThread::create([self, logbookPath, folder, outcome] {
        *outcome = LogbookBackups::write(logbookPath, folder, [self, logbookPath](int percent) {
            if (self)
                QMetaObject::invokeMethod(
                    self, [self, logbookPath, percent] { emit self->progress(logbookPath, percent); },
                    Qt::QueuedConnection);
        });
    });
    m_threads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread, logbookPath, outcome] {
        m_threads.removeOne(thread);
        thread->deleteLater();
        emit finished(logbookPath, outcome->written, outcome->written ? outcome->path : outcome->error);
    });
    thread->start(QThread::LowPriority);
}

void BackupRunner::waitForAll()
{
    for (QThread *thread : std::as_const(m_threads))
        thread->wait();
}
