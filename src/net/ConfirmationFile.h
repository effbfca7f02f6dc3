#pragma once

#include "Confirmation.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The ADIF text a confirmation service sends back, read with the project's ADIF reader:
// the fields of its header (LoTW puts a text preamble and its own header fields before
// <EOH>), its records as confirmations, and the marks that tell a complete text from a
// cut one. Values are read as UTF-8 when they are valid UTF-8, else as Windows-1252.
struct ConfirmationFile
{
    // The header's fields, names in capitals.
    QHash<QString, QString> header;
    QList<Confirmation> records;
    // LoTW's end mark <APP_LoTW_EOF> came (in any letter case).
    bool endMark = false;
    // Fields other than LoTW's own came after the last <EOR>: the text ends inside a
    // record.
    bool openRecord = false;

    static ConfirmationFile read(const QByteArray &bytes);
};
