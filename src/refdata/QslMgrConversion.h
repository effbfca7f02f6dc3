#pragma once

#include "ConversionOutcome.h"
#include "RefDataTexts.h"

#include <QString>
#include <QStringList>

// The QSL manager list ("call;manager;anything" per line) turned into the script that
// refills QSLMGRS.
namespace QslMgrConversion {

// The script's statements, one per element. A line without a complete pair (fewer
// than two ';', or an empty call or manager) gives no row.
QStringList statements(const QStringList &listLines);

// Reads the list and writes the script. When the list cannot be opened the script is
// neither created nor touched.
ConversionOutcome run(const QString &listPath = QLatin1String(RefDataTexts::kQslMgrInput),
                      const QString &sqlPath = QLatin1String(RefDataTexts::kQslMgrScript));

} // namespace QslMgrConversion
