#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The amateur bands by frequency. A frequency text is read two ways: as a decimal
// number in MHz (single precision) and as the integer in front of any decimal point in
// kHz. Bounds are inclusive; the 70 MHz range counts as 6 m (it has no band of its own).
namespace BandPlan {

// The band label of a reading, or an empty text when it lies in no band.
QString bandOfMHz(float mhz);
QString bandOfKHz(int khz);
// Whether bandOfMHz gives a band, without making its label.
bool isInBandMHz(float mhz);

// The two readings of a frequency text, as the C library's atof and atoi take them:
// leading blanks, sign, digits (and for MHz point and exponent); 0 when there is none.
float readMHz(const QByteArray &text);
int readKHz(const QByteArray &text);

// The band of a frequency text: the first band in which either reading lies.
QString bandOf(const QByteArray &text);

// The bands' labels, lowest frequency first, each once.
QStringList bands();
// The label a typed band stands for, ignoring case and a unit ("20m", "70CM"); empty
// when it names no band of the plan.
QString matchBand(const QString &typed);

} // namespace BandPlan
