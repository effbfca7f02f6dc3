#include "ProgressScope.h"

#include "ImportProgress.h"

ProgressScope::ProgressScope(const QString &title)
    : m_progress(ImportProgress::current())
    , m_title(title)
    , m_savedStatus(m_progress.setStatusText(title))
{
    m_progress.showProgressBar();
}

ProgressScope::~ProgressScope()
{
    m_progress.hideProgressBar();
    m_progress.setStatusText(m_savedStatus);
}

void ProgressScope::setPercent(int percent)
{
    m_progress.setProgressPosition(percent);
    m_progress.setStatusText(QStringLiteral("%1 %2 %").arg(m_title).arg(percent));
}
