#include "FirstStart.h"

#include "document/ProgressScope.h"
#include "platform/Prompter.h"
#include "refdata/ProgramDatabaseMaker.h"
#include "refdata/RefDataTexts.h"
#include "store/DatabaseSchema.h"
#include "store/ProgramDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FirstStart::s_sharedCountryFile = QLatin1String(ProgramDatabaseMaker::kDebianCountryFile);

namespace {

using Status = ProgramDatabaseMaker::Status;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString workingFolder()
{
    return QDir::currentPath();
}

// The operator's own list in the working folder comes first.
QString inWorkingFolder(const char *name)
{
    return QDir(workingFolder()).absoluteFilePath(QLatin1String(name));
}

QString question(bool fileThere)
{
    const QString folder = native(workingFolder());
    if (fileThere)
        return QStringLiteral("korva3.sqlite3 in %1 is no program database.\n"
                              "Make a new one? The file is kept under another name.")
            .arg(folder);
    return QStringLiteral("There is no program database (korva3.sqlite3) in %1.\n"
                          "Make it now from the country file and the QSL manager list?")
        .arg(folder);
}

QString failure(const ProgramDatabaseMaker::Result &result)
{
    const QString folder = native(workingFolder());
    QString reason;
    switch (result.status) {
    case Status::CountryFileMissing:
        reason = QStringLiteral("no country file.\nPut cty.csv in %1 or install the package hamradio-files (%2).")
                     .arg(folder, native(FirstStart::s_sharedCountryFile));
        break;
    case Status::QslMgrListMissing:
        reason = QStringLiteral("no QSL manager list.\nPut qslmgr.txt in %1.").arg(folder);
        break;
    case Status::NoEntities:
        reason = QStringLiteral("the country file %1 names no entity.").arg(native(FirstStart::countryFile()));
        break;
    case Status::CannotCreate:
        reason = QStringLiteral("no file can be made in %1.").arg(folder);
        break;
    case Status::WriteFailed:
        reason = QStringLiteral("writing it in %1 failed.").arg(folder);
        break;
    case Status::Made:
        return QString();
    case Status::CannotRename:
        reason = QStringLiteral("korva3.sqlite3 in %1 cannot be replaced.").arg(folder);
        break;
    case Status::InUse:
        reason = QStringLiteral("korva3.sqlite3 in %1 is in use by another program.").arg(folder);
        break;
    }
    return QStringLiteral("The program database was not made: ") + reason;
}

void report(const ProgramDatabaseMaker::Result &result)
{
    if (result.status != Status::Made) {
        Prompter::current().error(failure(result));
        return;
    }
    QString text = QStringLiteral("The program database was made: %1").arg(native(result.databasePath));
    if (!result.keptAside.isEmpty())
        text += QStringLiteral("\nThe file that was no program database is kept as %1").arg(native(result.keptAside));
    Prompter::current().information(text);
}

ProgramDatabaseMaker::Result makeShowingProgress()
{
    ProgressScope progress(QStringLiteral("Making the program database"));
    ProgramDatabaseMaker maker;
    maker.setProgressHandler([&progress](int percent) { progress.setPercent(percent); });
    return maker.make(workingFolder(), FirstStart::countryFile(), FirstStart::qslMgrList());
}

} // namespace

FirstStart::Found FirstStart::find()
{
    return ProgramDatabaseMaker::inspect(inWorkingFolder(ProgramDatabaseMaker::kDatabaseName));
}

bool FirstStart::run(Mode mode, Found found)
{
    if (found == Found::ProgramDatabase)
        return false;
    if (found == Found::InUse) {
        Prompter::current().error(QStringLiteral("The program database korva3.sqlite3 in %1 is in use by another "
                                                 "program and cannot be read now.\nIt is left as it is: start Korva3 "
                                                 "again when that program is done.")
                                      .arg(native(workingFolder())));
        return false;
    }
    if (mode == Mode::Ask && Prompter::current().question(question(found == Found::Other)) != Prompter::Answer::Ok)
        return false;
    const ProgramDatabaseMaker::Result result = makeShowingProgress();
    report(result);
    return result.status == Status::Made;
}

QString FirstStart::countryFile()
{
    const QString own = inWorkingFolder(RefDataTexts::kCtyInput);
    return QFileInfo::exists(own) ? own : s_sharedCountryFile;
}

QString FirstStart::qslMgrList()
{
    const QString own = inWorkingFolder(RefDataTexts::kQslMgrInput);
    if (QFileInfo::exists(own))
        return own;
    // Installed, the list is in <prefix>/share/korva3 beside <prefix>/bin.
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                              + QStringLiteral("/../share/korva3/")
                                              + QLatin1String(RefDataTexts::kQslMgrInput));
    if (QFileInfo::exists(installed))
        return installed;
    return QStringLiteral(KORVA3_SOURCE_QSLMGR);
}

void FirstStart::bringUpToDate()
{
    const QString path = inWorkingFolder(ProgramDatabaseMaker::kDatabaseName);
    const DatabaseSchema &schema = ProgramDb::Schema();
    int version = 0;
    QString error;
    switch (schema.inspect(path, &version)) {
    case DatabaseSchema::State::Older:
        if (!schema.migrate(path, version, &error))
            Prompter::current().error(
                QStringLiteral("The program database %1 could not be brought up to date: %2").arg(path, error));
        break;
    case DatabaseSchema::State::Newer:
        Prompter::current().warning(QStringLiteral("The program database %1 has schema version %2, newer than this "
                                                   "Korva3 knows (%3). It is only read: Setup cannot store.")
                                        .arg(path)
                                        .arg(version)
                                        .arg(schema.currentVersion()));
        break;
    default: break;
    }
}
