#pragma once

#include "CallbookRecord.h"

#include <QString>

// One reply of a callbook's XML service, read: what kind of answer it is, the session
// key it carries and the record it holds.
struct CallbookReply
{
    enum class Kind {
        Session,        // a login's answer: a session key
        Record,         // a lookup's answer: the record of the call
        NotFound,       // the call is not in the callbook
        SessionExpired, // the key is no longer good: log in again
        BadLogin,       // the user name or password is wrong
        Error,          // another error the service names in `message`
        Unreadable,     // no XML, cut short, or neither key nor record nor error
    };

    Kind kind = Kind::Unreadable;
    QString sessionKey; // empty when the reply has none
    CallbookRecord record;
    QString message;    // the service's own error text
};
