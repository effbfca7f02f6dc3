#pragma once

#include "ConversionOutcome.h"
#include "RefDataTexts.h"

#include <QString>
#include <QStringList>

// The country file (one line per DXCC entity: nine fields, then the entity's prefixes
// and exact calls) turned into the script that refills COUNTRIES, PREFIXES and CALLS.
namespace CtyConversion {

// The script's statements, one per element, in the order they are written.
QStringList statements(const QStringList &csvLines);

// Reads the country file and writes the script. When the country file cannot be
// opened the script is neither created nor touched.
ConversionOutcome run(const QString &csvPath = QLatin1String(RefDataTexts::kCtyInput),
                      const QString &sqlPath = QLatin1String(RefDataTexts::kCtyScript));

} // namespace CtyConversion
