#pragma once

#include "ConversionOutcome.h"
#include "RefDataTexts.h"

#include <QString>
#include <QStringList>

// The country file (one line per DXCC entity: nine fields, then the entity's prefixes
// and exact calls) turned into the script that refills COUNTRIES, PREFIXES and CALLS.
namespace CtyConversion {

// The script's statements, one per element, in the order they are written. A line whose
// entity number, zone, latitude, longitude, time offset or a zone of one of its aliases
// is not a number is left out (such a field goes into the script bare, so a damaged or
// crafted one would change the statement), and so is a line of more than ten fields;
// `skipped`, when given, counts those lines.
QStringList statements(const QStringList &csvLines, int *skipped = nullptr);

// Reads the country file and writes the script. When the country file cannot be
// opened the script is neither created nor touched. Lines left out are counted in the
// final message, under "Ready".
ConversionOutcome run(const QString &csvPath = QLatin1String(RefDataTexts::kCtyInput),
                      const QString &sqlPath = QLatin1String(RefDataTexts::kCtyScript));

} // namespace CtyConversion
