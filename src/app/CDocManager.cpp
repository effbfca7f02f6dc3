#include "CDocManager.h"

#include "CChildFrame.h"
#include "CDocCommands.h"
#include "CImportTargetDlg.h"
#include "CQslChildFrm.h"
#include "document/CKorva3Doc.h"
#include "document/LogbookBackups.h"
#include "document/LogbookFiles.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QMdiArea>

#include <algorithm>

namespace {

const char kRecentSection[] = "Recent File List";

QString recentKey(int index)
{
    return QStringLiteral("%1/File%2").arg(QLatin1String(kRecentSection)).arg(index + 1);
}

} // namespace

CDocManager::CDocManager(QMdiArea *area, QObject *parent)
    : QObject(parent)
    , m_area(area)
{
    connect(&m_backups, &BackupRunner::progress, this, &CDocManager::backupProgress);
    connect(&m_backups, &BackupRunner::finished, this, &CDocManager::backupFinished);
}

CDocManager::~CDocManager()
{
    // The program ends: every logbook changed since its last backup gets one now; the
    // runner waits for them when it goes.
    for (CKorva3Doc *document : std::as_const(m_documents)) {
        if (document->changedSinceBackup())
            backUp(document);
    }
    qDeleteAll(m_commands);
}

CKorva3Doc *CDocManager::OpenDocumentFile(const QString &path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    CKorva3Doc *document = findDocument(full);
    if (document) {
        const QList<CDocumentFrame *> frames = framesOf(document);
        if (!frames.isEmpty()) {
            frames.first()->showNormal();
            m_area->setActiveSubWindow(frames.first());
            return document;
        }
        // Opened for another program's QSOs: the operator sees it as any file opened.
        if (!LogbookFiles::OnOpenDocument(full))
            return nullptr;
        if (!document->openMessage().isEmpty())
            Prompter::current().warning(document->openMessage());
    } else {
        document = openDocument(full);
        if (!document)
            return nullptr;
    }
    addFrame(document, CommandTable::WindowKind::Logbook);
    addRecentFile(full);
    emit documentsChanged();
    return document;
}

CKorva3Doc *CDocManager::DocumentWithoutWindow(const QString &path, QString &why)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (CKorva3Doc *document = findDocument(full))
        return document;
    // Opening a missing file would make an empty one.
    if (!QFileInfo(full).isFile()) {
        why = QStringLiteral("Logbook not found: %1").arg(full);
        return nullptr;
    }
    auto *document = new CKorva3Doc(full, this);
    if (!document->isLogbook()) {
        why = document->openMessage();
        delete document;
        return nullptr;
    }
    document->watchForOutsideChanges();
    m_documents.append(document);
    m_commands.insert(document, new CDocCommands(document, this));
    emit documentsChanged();
    return document;
}

// A file that is no logbook (the program database, another program's database) is
// refused before any window opens.
CKorva3Doc *CDocManager::openDocument(const QString &fullPath)
{
    auto *document = new CKorva3Doc(fullPath, this);
    if (!document->isLogbook() || !LogbookFiles::OnOpenDocument(fullPath)) {
        if (!document->isLogbook())
            Prompter::current().warning(document->openMessage());
        delete document;
        return nullptr;
    }
    if (!document->openMessage().isEmpty())
        Prompter::current().warning(document->openMessage());
    document->watchForOutsideChanges();
    m_documents.append(document);
    m_commands.insert(document, new CDocCommands(document, this));
    return document;
}

CKorva3Doc *CDocManager::findDocument(const QString &fullPath) const
{
    const auto found = std::find_if(m_documents.cbegin(), m_documents.cend(),
                                    [&fullPath](const CKorva3Doc *document) { return document->pathName() == fullPath; });
    return found != m_documents.cend() ? *found : nullptr;
}

void CDocManager::OpenFile(const QString &path)
{
    if (IsAdifFile(path))
        importAdifFile(QFileInfo(path).absoluteFilePath());
    else
        OpenDocumentFile(path);
}

bool CDocManager::IsAdifFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("adi"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("adif"), Qt::CaseInsensitive) == 0;
}

// With no logbook to offer, the choice is File>New's dialog straight away.
void CDocManager::importAdifFile(const QString &adifPath)
{
    const QStringList targets = importTargets();
    QString logbook;
    if (!targets.isEmpty()) {
        CImportTargetDlg dialog(adifPath, targets, m_area ? m_area->window() : nullptr);
        if (dialog.exec() != QDialog::Accepted)
            return;
        logbook = dialog.chosenLogbook();
    }
    if (logbook.isEmpty())
        logbook = LogbookFiles::NewLogbook();
    if (logbook.isEmpty())
        return;
    if (CKorva3Doc *document = OpenDocumentFile(logbook))
        document->ImportAdifFile(adifPath);
}

QStringList CDocManager::importTargets() const
{
    QStringList targets;
    if (const auto *active = m_area ? qobject_cast<CDocumentFrame *>(m_area->currentSubWindow()) : nullptr)
        targets.append(active->document()->pathName());
    for (const CKorva3Doc *document : m_documents) {
        if (!targets.contains(document->pathName()))
            targets.append(document->pathName());
    }
    for (const QString &recent : recentFiles()) {
        if (!targets.contains(recent) && QFileInfo::exists(recent))
            targets.append(recent);
    }
    return targets;
}

void CDocManager::OpenQslWindow(CKorva3Doc *document)
{
    for (CDocumentFrame *frame : framesOf(document)) {
        if (frame->windowKind() == CommandTable::WindowKind::Qsl) {
            frame->showNormal();
            m_area->setActiveSubWindow(frame);
            frame->viewWidget()->update();
            return;
        }
    }
    addFrame(document, CommandTable::WindowKind::Qsl);
}

void CDocManager::OpenNewWindow(const CDocumentFrame *like)
{
    addFrame(like->document(), like->windowKind());
}

void CDocManager::CloseDocument(CKorva3Doc *document)
{
    for (CDocumentFrame *frame : framesOf(document))
        frame->close();
}

void CDocManager::detachWindows()
{
    if (!m_area)
        return;
    for (QMdiSubWindow *window : m_area->subWindowList())
        disconnect(window, &QObject::destroyed, this, nullptr);
    m_area = nullptr;
}

QList<CDocumentFrame *> CDocManager::framesOf(const CKorva3Doc *document) const
{
    QList<CDocumentFrame *> frames;
    if (!m_area)
        return frames;
    for (QMdiSubWindow *window : m_area->subWindowList()) {
        auto *frame = qobject_cast<CDocumentFrame *>(window);
        if (frame && frame->document() == document)
            frames.append(frame);
    }
    return frames;
}

CDocCommands *CDocManager::commandsFor(const CKorva3Doc *document) const
{
    return m_commands.value(document, nullptr);
}

CDocumentFrame *CDocManager::addFrame(CKorva3Doc *document, CommandTable::WindowKind kind)
{
    CDocumentFrame *frame = kind == CommandTable::WindowKind::Qsl
                                ? static_cast<CDocumentFrame *>(new CQslChildFrm(document))
                                : static_cast<CDocumentFrame *>(new CChildFrame(document));
    m_area->addSubWindow(frame);
    connect(frame, &QObject::destroyed, this, [this, document] { frameClosed(document); });
    // Showing fills the view; the window then takes the size the filled view needs,
    // moved left and up as far as it must to stay inside the area.
    frame->show();
    frame->fitToView();
    const QSize area = m_area->viewport()->size();
    frame->move(std::max(0, std::min(frame->x(), area.width() - frame->width())),
                std::max(0, std::min(frame->y(), area.height() - frame->height())));
    m_area->setActiveSubWindow(frame);
    emit frameAdded(frame);
    return frame;
}

// A document lives until its last window closes.
void CDocManager::frameClosed(CKorva3Doc *document)
{
    if (!m_documents.contains(document) || !framesOf(document).isEmpty())
        return;
    m_documents.removeOne(document);
    delete m_commands.take(document);
    if (document->changedSinceBackup())
        backUp(document);
    document->deleteLater();
    emit documentsChanged();
}

void CDocManager::backUp(CKorva3Doc *document)
{
    m_backups.start(document->pathName(), LogbookBackups::folder());
    document->backupTaken(QDateTime::currentDateTimeUtc());
}

void CDocManager::backUpDailyChanges()
{
    const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
    for (CKorva3Doc *document : std::as_const(m_documents)) {
        if (document->changedSinceBackup() && document->lastBackup() <= dayAgo)
            backUp(document);
    }
}

QStringList CDocManager::recentFiles() const
{
    const auto settings = AppSettings::open();
    QStringList files;
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString file = settings->value(recentKey(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void CDocManager::addRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    saveRecentFiles(files.mid(0, kRecentFileCount));
}

void CDocManager::removeRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    saveRecentFiles(files);
}

void CDocManager::saveRecentFiles(const QStringList &files)
{
    const auto settings = AppSettings::open();
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (i < files.size())
            settings->setValue(recentKey(i), files.at(i));
        else
            settings->remove(recentKey(i));
    }
    emit recentFilesChanged();
}
