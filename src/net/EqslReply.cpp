#include "EqslReply.h"

#include <QRegularExpression>

namespace EqslReply {

QStringList textLines(const QByteArray &page)
{
    QString text = QString::fromUtf8(page);
    static const QRegularExpression breaks(QStringLiteral("<\\s*(br|/?p|/?li|/?div|/?tr|/?h[1-6])\\b[^>]*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression comments(QStringLiteral("<!--|-->"));
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.replace(breaks, QStringLiteral("\n"));
    // eQSL puts some of its answers into comments: their text counts.
    text.replace(comments, QStringLiteral("\n"));
    text.replace(tags, QString());
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines.append(simple);
    }
    return lines;
}

Upload parseUpload(const QByteArray &page)
{
    static const QRegularExpression result(QStringLiteral("^Result:\\s*(\\d+)\\s+out\\s+of\\s+(\\d+)\\s+records\\s+added"),
                                           QRegularExpression::CaseInsensitiveOption);
    Upload upload;
    for (const QString &line : textLines(page)) {
        const QRegularExpressionMatch match = result.match(line);
        if (match.hasMatch()) {
            upload.added = match.captured(1).toInt();
            upload.total = match.captured(2).toInt();
        } else if (line.startsWith(QLatin1String("Error:"), Qt::CaseInsensitive)) {
            upload.errors.append(line);
        } else if (line.startsWith(QLatin1String("Warning:"), Qt::CaseInsensitive)
                   || line.startsWith(QLatin1String("Caution:"), Qt::CaseInsensitive)) {
            upload.warnings.append(line);
            if (line.contains(QLatin1String("Duplicate"), Qt::CaseInsensitive))
                ++upload.duplicates;
        }
    }
    upload.ok = upload.added >= 0;
    if (!upload.errors.isEmpty())
        upload.error = upload.errors.join(QLatin1Char(' '));
    else if (!upload.ok)
        upload.error = QStringLiteral("eQSL's reply holds no result line");
    return upload;
}

QUrl inboxFile(const QByteArray &page, const QUrl &pageUrl, QString *error)
{
    // The address of a file: no query or fragment may follow the ".adi".
    static const QRegularExpression link(QStringLiteral("href\\s*=\\s*[\"']?([^\"' >#?]+\\.adi)[\"' >]"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString why;
    QUrl file;
    for (const QString &line : textLines(page)) {
        if (line.startsWith(QLatin1String("Error:"), Qt::CaseInsensitive)) {
            why = QStringLiteral("eQSL: %1").arg(line);
            break;
        }
    }
    if (why.isEmpty()) {
        const QRegularExpressionMatch match = link.match(QString::fromUtf8(page));
        if (match.hasMatch())
            file = pageUrl.resolved(QUrl(match.captured(1)));
        if (!file.isValid())
            why = QStringLiteral("eQSL's inbox page names no .adi file");
    }
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return QUrl();
    }
    return file;
}

} // namespace EqslReply
