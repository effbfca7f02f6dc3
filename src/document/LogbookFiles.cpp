#include "LogbookFiles.h"

#include "platform/AppSettings.h"
#include "platform/Prompter.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QFile>
#include <QFileInfo>

namespace LogbookFiles {

namespace {

const char kFilter[] = "Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||";

Prompter::FileRequest logbookRequest(const char *title, bool mustExist)
{
    Prompter::FileRequest request;
    request.kind = Prompter::FileRequest::Kind::Open;
    request.title = QString::fromLatin1(title);
    request.filter = QString::fromLatin1(kFilter);
    request.defaultExtension = QStringLiteral("sqlite3");
    request.mustExist = mustExist;
    return request;
}

} // namespace

QString NewLogbook()
{
    // An "open" dialog, so that a name that does not exist yet can be typed.
    const QString path = Prompter::current().chooseFile(logbookRequest("New Logbook", false));
    if (path.isEmpty()) {
        Prompter::current().plain(QStringLiteral("Cancelled"));
        return QString();
    }
    if (QFileInfo::exists(path)) {
        Prompter::current().plain(QStringLiteral("Database already exists"));
        return QString();
    }
    Sqlite3DB db;
    if (!db.CreateLogbook(path)) {
        Prompter::current().plain(QStringLiteral("Database not created"));
        return QString();
    }
    return path;
}

QString ChooseLogbook()
{
    return Prompter::current().chooseFile(logbookRequest("Open Logbook", true));
}

QString ChooseLogbookFromDocument()
{
    const QString path = ChooseLogbook();
    if (!path.isEmpty() && QFileInfo(path).fileName() == QLatin1String(ProgramDb::kProgramDatabase)) {
        Prompter::current().plain(QStringLiteral("This Database cannot be openend"));
        return QString();
    }
    return path;
}

QString ChooseLogbookFromFrame()
{
    const QString path = ChooseLogbook();
    const QString name = QFileInfo(path).fileName();
    if (name == QLatin1String("settings.sqlite3") || name == QLatin1String("countries.sqlite3"))
        return QString();
    return path;
}

bool OnOpenDocument(const QString &path)
{
    // Not opened to find out: the document has it open in SQLite, and closing another
    // descriptor of the file would end the locks of its connections.
    if (!QFileInfo(path).isReadable()) {
        Prompter::current().warning(QStringLiteral("Cannot open the logbook %1.").arg(path));
        return false;
    }
    AppSettings::setMostRecentFile(QFileInfo(path).absoluteFilePath());
    return true;
}

} // namespace LogbookFiles
