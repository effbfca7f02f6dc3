#pragma once

#include "common/TestDir.h"
#include "progdb/ProgramDatabaseBuilder.h"

#include <QDir>
#include <QFileInfo>

// A program database with one entity, QX "Sample Isle", at `path`: enough for the
// program to start without offering to make one.
inline bool makeSampleProgramDatabase(const QString &path)
{
    const QString cty = QFileInfo(path).dir().filePath(QStringLiteral("sample-cty.csv"));
    return TestDir::writeFile(cty, "QX,Sample Isle,999,EU,14,27,52.50,-4.25,-1.0,QX;\n")
        && ProgramDatabaseBuilder::build(path, cty) && QFile::remove(cty);
}
