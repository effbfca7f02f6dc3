#include "ClubLogAnswer.h"

#include <QRegularExpression>

namespace {

constexpr qsizetype kMaxText = 500;

QString plainText(const QByteArray &body)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = QString::fromUtf8(body);
    text.replace(tags, QStringLiteral(" "));
    return text.simplified().left(kMaxText);
}

} // namespace

ClubLogAnswer ClubLogAnswer::classify(int status, const QByteArray &body, bool deleting)
{
    ClubLogAnswer answer;
    answer.status = status;
    answer.text = plainText(body);
    if (status == 200 || (deleting && status == 404))
        answer.kind = Done;
    else if (status == 400)
        answer.kind = Rejected;
    else if (status >= 500 && status <= 599)
        answer.kind = RetryLater;
    else
        answer.kind = Stop;
    return answer;
}

ClubLogAnswer ClubLogAnswer::noConnection(const QString &why)
{
    ClubLogAnswer answer;
    answer.kind = RetryLater;
    answer.text = why;
    return answer;
}

QString ClubLogAnswer::words() const
{
    const QString said = text.isEmpty() ? QString() : QStringLiteral(": %1").arg(text);
    switch (kind) {
    case Done:
        return QStringLiteral("Club Log took it (%1)%2").arg(status).arg(said);
    case Rejected:
        return QStringLiteral("Club Log rejected the QSO (%1)%2").arg(status).arg(said);
    case Stop:
        return QStringLiteral("Club Log refused the account (%1)%2; nothing more is sent until the account "
                              "settings are fixed")
            .arg(status)
            .arg(said);
    case RetryLater:
        break;
    }
    if (status == 0)
        return QStringLiteral("no answer from Club Log%1; sent again later").arg(said);
    return QStringLiteral("Club Log failed (%1)%2; sent again later").arg(status).arg(said);
}
