#include "BasicTablesScript.h"

#include "ScriptIo.h"

namespace BasicTablesScript {

QStringList lines()
{
    return {
        QStringLiteral("CREATE TABLE MODES (ID INTEGER PRIMARY KEY, MODENR INTEGER UNIQUE, MODE TEXT UNIQUE);"),
        QStringLiteral("INSERT INTO MODES(MODENR, MODE) VALUES (1, 'CW'),(2, 'SSB'),(3, 'RTTY'),(4, 'FM'),(5, 'AM');"),
        QStringLiteral("CREATE TABLE QSLSENT(ID INTEGER PRIMARY KEY, QSLNR INTEGER UNIQUE, QSL TEXT UNIQUE);"),
        QStringLiteral("INSERT INTO QSLSENT(QSLNR, QSL) VALUES (1, 'L'),(2, 'N'),(3, 'Y'),(4, 'D');"),
        QStringLiteral("CREATE TABLE QSLRCVD(ID INTEGER PRIMARY KEY, QSLNR INTEGER UNIQUE, QSL TEXT UNIQUE);"),
        QStringLiteral("INSERT INTO QSLRCVD(QSLNR, QSL) VALUES (1, 'N'),(2, 'Y');"),
        QStringLiteral("CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT UNIQUE, VALUE TEXT);"),
        QStringLiteral("INSERT INTO PARAMETERS(PARAMETER, VALUE) VALUES ('utcoffset', '-60'),('AskYesNo', 'Y'),"
                       "('gridlocator', 'JN47QK'),('rig', '0'),('comm', '1'),('adifexport', '1');"),
        QStringLiteral("CREATE TABLE COUNTRIES (ID INTEGER PRIMARY KEY UNIQUE NOT NULL, COUNTRYPREFIX TEXT UNIQUE "
                       "NOT NULL, COUNTRY TEXT UNIQUE NOT NULL, DXCCID INTEGER NOT NULL, CONTINENT TEXT NOT NULL, "
                       "CQZONE TEXT NOT NULL, ITUZONE TEXT NOT NULL, LATITUDE FLOAT NOT NULL, LONGITUDE FLOAT "
                       "NOT NULL, GMTDIFF FLOAT NOT NULL);"),
        QStringLiteral("CREATE TABLE PREFIXES (ID INTEGER PRIMARY KEY UNIQUE NOT NULL, DXCCID INTEGER NOT NULL, "
                       "COUNTRYPREFIX TEXT UNIQUE NOT NULL, CQZONE TEXT, ITUZONE TEXT);"),
        QStringLiteral("CREATE INDEX IDX_PREFIXES_COUNTRYPREFIX ON PREFIXES (COUNTRYPREFIX);"),
        QStringLiteral("CREATE TABLE CALLS(ID INTEGER PRIMARY KEY UNIQUE NOT NULL, DXCCID INTEGER NOT NULL, "
                       "CALL TEXT UNIQUE NOT NULL, CQZONE TEXT, ITUZONE TEXT);"),
        QStringLiteral("CREATE INDEX IDX_PREFIXES_CALL ON CALLS (CALL);"),
        QStringLiteral("CREATE TABLE QSLMGRS(ID INTEGER PRIMARY KEY UNIQUE NOT NULL, CALL TEXT NOT NULL, "
                       "QSLMGR TEXT NOT NULL);"),
    };
}

ConversionOutcome run(const QString &sqlPath)
{
    return ScriptIo::writeLines(sqlPath, lines());
}

} // namespace BasicTablesScript
