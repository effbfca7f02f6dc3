#include "LotwReport.h"

#include "ConfirmationStream.h"

#include <QBuffer>

namespace {

bool looksLikeWebPage(QByteArrayView head)
{
    const QByteArray start = head.first(qMin<qsizetype>(512, head.size())).trimmed().toByteArray().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html");
}

} // namespace

LotwReport LotwReport::failed(const QString &error)
{
    LotwReport report;
    report.error = error;
    return report;
}

QString LotwReport::problemOf(QByteArrayView head, const ConfirmationStream &ended, qsizetype records)
{
    // LoTW answers a wrong login with a web page, not with an HTTP error.
    if (head.indexOf(QByteArrayView("Username/password incorrect")) >= 0)
        return QStringLiteral("LoTW refused the user name or password (\"Username/password incorrect\")");
    if (!ended.endMark()) {
        if (looksLikeWebPage(head))
            return QStringLiteral("LoTW answered with a web page instead of a report");
        return QStringLiteral("LoTW's reply ends before its end mark <APP_LoTW_EOF>: it was cut, nothing of it was taken");
    }
    if (ended.openRecord())
        return QStringLiteral("LoTW's reply ends inside a record: nothing of it was taken");
    const QString announced = ended.header().value(QStringLiteral("APP_LOTW_NUMREC"));
    if (!announced.isEmpty() && announced.trimmed().toInt() != records)
        return QStringLiteral("LoTW announced %1 records but sent %2: nothing of it was taken")
            .arg(announced.trimmed())
            .arg(records);
    return QString();
}

LotwReport LotwReport::parse(const QByteArray &reply)
{
    QByteArray copy(reply);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ConfirmationStream stream(buffer);
    QList<Confirmation> records;
    Confirmation record;
    while (stream.next(record))
        records.append(record);
    const QString problem = problemOf(QByteArrayView(reply).first(qMin(kHeadBytes, reply.size())), stream, records.size());
    if (!problem.isEmpty())
        return failed(problem);
    LotwReport report;
    report.ok = true;
    report.records = records;
    report.lastQsl = stream.header().value(QStringLiteral("APP_LOTW_LASTQSL")).trimmed();
    report.lastQsoRx = stream.header().value(QStringLiteral("APP_LOTW_LASTQSORX")).trimmed();
    return report;
}
