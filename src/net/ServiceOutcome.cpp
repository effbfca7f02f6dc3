#include "ServiceOutcome.h"

QString ServiceOutcome::words() const
{
    if (!ok)
        return error;
    QString text = QStringLiteral("matched %1 (%2 newly confirmed), unmatched %3, sent %4, refused %5")
                       .arg(matched)
                       .arg(confirmed)
                       .arg(unmatched)
                       .arg(sent)
                       .arg(refused);
    if (!note.isEmpty())
        text += QStringLiteral("; ") + note;
    return text;
}
