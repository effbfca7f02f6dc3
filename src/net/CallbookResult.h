#pragma once

#include "CallbookRecord.h"

#include <QMetaType>
#include <QString>

// How a callbook lookup ended: the record when the call was found, else why not.
struct CallbookResult
{
    enum class Outcome {
        Found,
        NotFound,
        BadLogin, // the service refused the user name or password
        NoAnswer, // nothing came in time
        Failed,   // anything else; `message` says what, without any credential
    };

    Outcome outcome = Outcome::Failed;
    CallbookRecord record; // when found
    QString message;       // when failed
};

Q_DECLARE_METATYPE(CallbookResult)
