#pragma once

#include <QByteArray>

// The FREQ value the ADIF export writes: a valid ADIF number in MHz made from the
// stored frequency text.
namespace AdifFrequency {

// - Every point after the first is dropped ("14.012.0", as the entry form may hold
//   it, gives "14.0120").
// - A number that lies in no band read as MHz but in a band read as kHz is divided by
//   1000 by moving its point three places left ("14074" gives "14.074").
// - Any other number is written as it stands; a text that is not a number (after
//   blanks around it are dropped) gives the empty value.
QByteArray exportValue(const QByteArray &stored);

} // namespace AdifFrequency
