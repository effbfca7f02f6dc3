#pragma once

#include "ConversionOutcome.h"
#include "RefDataTexts.h"

#include <QString>
#include <QStringList>

// The script that creates the reference and settings tables of the program database
// and fills the fixed lists. It drops and deletes nothing.
namespace BasicTablesScript {

// The script's lines, in the order they are written.
QStringList lines();

ConversionOutcome run(const QString &sqlPath = QLatin1String(RefDataTexts::kBasicScript));

} // namespace BasicTablesScript
