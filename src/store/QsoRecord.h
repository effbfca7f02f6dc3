#pragma once

#include <QString>
#include <QtGlobal>

// One QSO, fields in the column order of the inserts.
struct UM_RECORD
{
    qint32 rowId = 0;
    QString date;
    QString time;
    QString call;
    QString sent;
    QString rcvd;
    QString freq;
    QString band;
    qint32 mode = 0;
    QString power;
    QString cqZone;
    QString grid;
    qint32 qslSent = 0;
    qint32 qslRcvd = 0;
    QString name;
    QString qth;
    QString address1;
    QString address2;
    QString remarks;
    QString qslMgr;
    QString iota;
    qint32 country = 0;
    // Not columns of QSOS: the ADIF MODE and SUBMODE the QSO was logged in when they say
    // more than its mode code (FT8, MFSK with FT4), kept beside it; empty otherwise.
    QString adifMode;
    QString adifSubmode;
};
