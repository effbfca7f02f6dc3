#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// What eQSL's pages say, read as text: the reply of an ImportADIF upload, and the page
// DownloadInBox gives, which names the .adi file the inbox was written to.
namespace EqslReply {

struct Upload
{
    // The page held its result line.
    bool ok = false;
    // Why not, or what went wrong besides.
    QString error;
    // "Result: N out of M records added"; -1 when the page had no such line.
    int added = -1;
    int total = -1;
    // The page's "Warning:" and "Caution:" lines, and its "Error:" lines, as written.
    QStringList warnings;
    QStringList errors;
    // Warnings that name a duplicate: records eQSL had already.
    int duplicates = 0;
};

Upload parseUpload(const QByteArray &page);

// The .adi file the inbox page names, resolved against the page's address; an invalid
// address and the reason in `error` (eQSL's own error line, or that none is named).
QUrl inboxFile(const QByteArray &page, const QUrl &pageUrl, QString *error);

// The page's text without its markup, one line per line break or block.
QStringList textLines(const QByteArray &page);

} // namespace EqslReply
