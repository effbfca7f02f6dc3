#pragma once

#include "CommandTable.h"
#include "document/BackupRunner.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class CDocCommands;
class CDocumentFrame;
class CKorva3Doc;
class QMdiArea;

// Plays the document templates: opens a path as a document in a logbook window (or
// brings forward the document already open on it), adds QSL and further windows, keeps
// the recent-file list, and closes a document when its last window closes.
class CDocManager : public QObject
{
    Q_OBJECT

public:
    explicit CDocManager(QMdiArea *area, QObject *parent = nullptr);
    ~CDocManager() override;

    // The document on path, shown and active; null when the file cannot be opened.
    CKorva3Doc *OpenDocumentFile(const QString &path);
    // The document open on path, else one opened on it without a window, for QSOs that
    // come from other programs: it is backed up and closed as the others, and gets its
    // window when the operator opens the file. Null, with the reason in `why` and
    // nothing said, when the file does not exist or is no logbook.
    CKorva3Doc *DocumentWithoutWindow(const QString &path, QString &why);
    // A file handed over from outside (the command line, a drop, a second start): an
    // ADIF file is imported into a logbook the operator chooses, or into a new one;
    // anything else opens as a logbook.
    void OpenFile(const QString &path);
    static bool IsAdifFile(const QString &path);
    // Brings the document's QSL window forward, or makes one.
    void OpenQslWindow(CKorva3Doc *document);
    // A further window of the same kind on the frame's document.
    void OpenNewWindow(const CDocumentFrame *like);
    // Closes every window of the document, and so the document.
    void CloseDocument(CKorva3Doc *document);
    // The main window is going: its windows go with it, and the documents with this
    // manager, without closing one by one.
    void detachWindows();

    QList<CKorva3Doc *> documents() const { return m_documents; }
    QList<CDocumentFrame *> framesOf(const CKorva3Doc *document) const;
    // The document's own command target on the route.
    CDocCommands *commandsFor(const CKorva3Doc *document) const;

    // Writes a backup of every open logbook changed since its last one that day old
    // or more; the main window runs it every hour.
    void backUpDailyChanges();

    // Most recent first, at most four.
    QStringList recentFiles() const;
    void removeRecentFile(const QString &path);

signals:
    void frameAdded(CDocumentFrame *frame);
    // A backup started, went on or ended, for the status bar.
    void backupProgress(const QString &logbookPath, int percent);
    void backupFinished(const QString &logbookPath, bool written, const QString &pathOrError);
    void recentFilesChanged();
    void documentsChanged();

private:
    CKorva3Doc *openDocument(const QString &fullPath);
    CKorva3Doc *findDocument(const QString &fullPath) const;
    CDocumentFrame *addFrame(CKorva3Doc *document, CommandTable::WindowKind kind);
    void frameClosed(CKorva3Doc *document);
    void importAdifFile(const QString &adifPath);
    // The logbooks an ADIF file may go into: the active one, the others open, then
    // those used lately.
    QStringList importTargets() const;
    void addRecentFile(const QString &path);
    void saveRecentFiles(const QStringList &files);
    void backUp(CKorva3Doc *document);

    QPointer<QMdiArea> m_area; // gone first when the main window closes
    QList<CKorva3Doc *> m_documents;
    QHash<const CKorva3Doc *, CDocCommands *> m_commands;
    // Last, so that it goes first and waits for the copies still under way.
    BackupRunner m_backups;
};
