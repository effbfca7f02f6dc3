#include "LotwReport.h"

#include "ConfirmationFile.h"

namespace {

bool looksLikeWebPage(const QByteArray &reply)
{
    const QByteArray start = reply.left(512).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html");
}

} // namespace

LotwReport LotwReport::failed(const QString &error)
{
    LotwReport report;
    report.error = error;
    return report;
}

LotwReport LotwReport::parse(const QByteArray &reply)
{
    // LoTW answers a wrong login with a web page, not with an HTTP error.
    if (reply.contains("Username/password incorrect"))
        return failed(QStringLiteral("LoTW refused the user name or password (\"Username/password incorrect\")"));
    const ConfirmationFile file = ConfirmationFile::read(reply);
    if (!file.endMark) {
        if (looksLikeWebPage(reply))
            return failed(QStringLiteral("LoTW answered with a web page instead of a report"));
        return failed(QStringLiteral("LoTW's reply ends before its end mark <APP_LoTW_EOF>: it was cut, nothing of it was taken"));
    }
    if (file.openRecord)
        return failed(QStringLiteral("LoTW's reply ends inside a record: nothing of it was taken"));
    const QString announced = file.header.value(QStringLiteral("APP_LOTW_NUMREC"));
    if (!announced.isEmpty() && announced.trimmed().toInt() != file.records.size())
        return failed(QStringLiteral("LoTW announced %1 records but sent %2: nothing of it was taken")
                          .arg(announced.trimmed())
                          .arg(file.records.size()));
    LotwReport report;
    report.ok = true;
    report.records = file.records;
    report.lastQsl = file.header.value(QStringLiteral("APP_LOTW_LASTQSL")).trimmed();
    report.lastQsoRx = file.header.value(QStringLiteral("APP_LOTW_LASTQSORX")).trimmed();
    return report;
}
