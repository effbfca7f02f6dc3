#pragma once

#include "Confirmation.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class AdifReader;
class QIODevice;

// The ADIF text a confirmation service sends back, read one record at a time with the
// project's ADIF reader, so that a report of any size goes through a small buffer: the
// fields of its header (LoTW puts a text preamble and its own header fields before
// <EOH>), its records as confirmations, and the marks that tell a complete text from a
// cut one. Values are read as UTF-8 when they are valid UTF-8, else as Windows-1252.
class ConfirmationStream
{
public:
    // `source` is open for reading and outlives the stream.
    explicit ConfirmationStream(QIODevice &source);
    ~ConfirmationStream();
    ConfirmationStream(const ConfirmationStream &) = delete;
    ConfirmationStream &operator=(const ConfirmationStream &) = delete;

    // The next record; false at the end of the source.
    bool next(Confirmation &record);

    // The header's fields, names in capitals; at the end also LoTW's own fields that
    // stood behind the last record (a record count, say).
    const QHash<QString, QString> &header() const { return m_header; }
    // LoTW's end mark <APP_LoTW_EOF> came (in any letter case).
    bool endMark() const { return m_endMark; }
    // At the end: fields other than LoTW's own came after the last <EOR>, so the text
    // ends inside a record.
    bool openRecord() const { return m_openRecord; }

private:
    void finish();

    std::unique_ptr<AdifReader> m_reader;
    QHash<QString, QString> m_header;
    QList<Confirmation::Field> m_fields;
    bool m_headerDone = false;
    bool m_endMark = false;
    bool m_openRecord = false;
    bool m_finished = false;
};
