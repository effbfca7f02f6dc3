#include "ConfirmationFile.h"

#include "ConfirmationStream.h"

#include <QBuffer>

ConfirmationFile ConfirmationFile::read(const QByteArray &bytes)
{
    ConfirmationFile file;
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ConfirmationStream stream(buffer);
    Confirmation record;
    while (stream.next(record))
        file.records.append(record);
    file.header = stream.header();
    file.endMark = stream.endMark();
    file.openRecord = stream.openRecord();
    return file;
}
