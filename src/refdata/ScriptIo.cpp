#include "ScriptIo.h"

#include "platform/CodePage.h"

#include <QFile>

namespace ScriptIo {

QStringList decodeLines(const QByteArray &bytes)
{
    QList<QByteArray> pieces = bytes.split('\n');
    if (pieces.constLast().isEmpty())
        pieces.removeLast(); // the text ended in a line end, or was empty
    QStringList lines;
    lines.reserve(pieces.size());
    for (QByteArray &piece : pieces) {
        if (piece.endsWith('\r'))
            piece.chop(1);
        // The sqlite3 shell ends a script line at a NUL byte, and the rest of the line
        // would run on into the next statement: a NUL never reaches the script.
        piece.replace('\0', QByteArrayView());
        lines.append(CodePage::fromAnsi(piece));
    }
    return lines;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out.append(CodePage::toAnsi(line));
        out.append("\r\n");
    }
    return out;
}

bool readLines(const QString &path, QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines = decodeLines(file.readAll());
    return true;
}

ConversionOutcome writeLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return ConversionOutcome::cannotCreate(path);
    const QByteArray bytes = encodeLines(lines);
    if (file.write(bytes) != bytes.size() || !file.flush())
        return ConversionOutcome::cannotWrite(path);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return ConversionOutcome::cannotWrite(path);
    return ConversionOutcome::ready();
}

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace ScriptIo
