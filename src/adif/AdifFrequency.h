#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The FREQ value the ADIF export writes: a valid ADIF number in MHz made from the
// stored frequency text, read as a person would read it.
namespace AdifFrequency {

// - Blanks around the text and a unit after it ("MHz", "kHz", any letter case) are
//   dropped; a number with a unit is taken in that unit. A decimal comma counts as a
//   point ("7,074"), and every point after the first is dropped ("14.012.0", as the
//   entry form may hold it, gives "14.0120").
// - A number without a unit is taken in kHz, and divided by 1000 by moving its point
//   three places left ("14074" gives "14.074"), only when read as MHz it lies in no
//   band and read as kHz it lies in the QSO's band (or in some band when the QSO has
//   none). So a microwave frequency above the band table stays as it is when the QSO's
//   band is the microwave band it lies in (10104.09 on 3 cm).
// - A text that is no number gives the empty value.
QByteArray exportValue(const QByteArray &stored, QByteArrayView band = QByteArrayView());
// The same value appended to `out`; a stored number already in MHz within a band, the
// usual case, is copied as it stands.
void appendExportValue(QByteArray &out, QByteArrayView stored, QByteArrayView band);

} // namespace AdifFrequency
