#pragma once

#include "store/QsoBytes.h"
#include "store/QsoRow.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// The ADIF fields of a QSO, both ways, from one tag table: how a field of a file fills a
// record (names in any letter case; values stored as UTF-8, see AdifText), and how a
// stored row is written as a record of the four lines the export writes, in UTF-8 with
// each length counted in bytes.
//
// Nothing of a record is lost on the way: a field QSOS has no column for is kept aside,
// by its name in capitals, and so is the original text of MODE, QSL_RCVD and DXCC where
// the export would not write the same text again from the column (and of MODE always
// when a SUBMODE goes with it). A field the record gives twice fills its column from the
// first, and the repeat is kept aside. The export writes the kept fields back after its
// own, and a kept MODE, QSL_RCVD or DXCC in place of its own as long as the column still
// holds what the kept text gave it.
class AdifQsoMapping
{
public:
    struct Record
    {
        QsoBytes qso;
        // The fields kept aside, in the order they came (their qso number still 0).
        QList<Sqlite3DB::UM_QSOFIELD> kept;
        // The tags whose column this record has filled, one bit each.
        quint32 given = 0;
        // Room for a name and a value turned into UTF-8.
        QByteArray nameText;
        QByteArray valueText;
    };
    using Fields = QList<std::pair<QByteArrayView, QByteArrayView>>;

    // Makes `record` the one every ADIF record starts from: empty texts, mode 1 (CW),
    // QSL sent 2 (N), QSL received 1 (N), entity 0. Its buffers keep their room, so a
    // reader that reuses one record allocates nothing for the usual fields.
    static void startRecord(Record &record);
    // EOR in any letter case, with or without a length.
    static bool endsRecord(QByteArrayView name);
    // Applies one field to the record being read; `valueIsAscii` when the reader knows
    // the value's bytes are all ASCII (then nothing needs to be converted).
    static void apply(Record &record, QByteArrayView name, QByteArrayView value, bool valueIsAscii = false);
    // Once the record is read: drops the kept originals the export gives back by itself.
    static void finishRecord(Record &record);

    // Appends the export's record for one row to `out`: the fields in their four lines,
    // each "<NAME:LENGTH>VALUE", separated by one blank, lines ended by CR LF, the kept
    // fields after the last of them, then " <EOR>".
    static void appendRecord(QByteArray &out, const QsoRow &row);
    // The fields of a text of "<NAME:LENGTH>VALUE" fields one after the other, as the
    // export writes them and the store hands out kept fields; anything between them is
    // passed over. The views point into `text`.
    static Fields taggedFields(QByteArrayView text);

    // The band label a BAND value is stored as, and the value the export writes for a
    // stored label. Metres lose their unit ("20m" is 20), and so do 70 cm and 23 cm,
    // which the band plan knows; any other band ("6cm", "2mm", "submm") is kept in
    // lower case as it came, counts on no report band, and is written as stored.
    static QByteArray storedBand(QByteArrayView value);
    static void appendStoredBand(QByteArray &out, QByteArrayView value);
    static QByteArray exportedBand(QByteArrayView stored);
    static void appendExportedBand(QByteArray &out, QByteArrayView stored);
    // The mode code of a MODE value: CW, SSB (and USB, LSB), FM, AM by name; the digital
    // voice family with the phone modes; every other mode with the digital ones.
    static int modeCode(QByteArrayView value, int current);
};
