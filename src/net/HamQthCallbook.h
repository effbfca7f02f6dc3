#pragma once

#include "CallbookService.h"

// HamQTH's XML service (xml.php): a login with u and p gives <session><session_id>; a
// lookup carries id=SESSION, callsign=CALL and prg, the program's name.
class HamQthCallbook : public CallbookService
{
    Q_OBJECT

public:
    using CallbookService::CallbookService;

    QString name() const override;

protected:
    QUrl defaultUrl() const override;
    QUrlQuery loginQuery(const QString &user, const QString &password) const override;
    QUrlQuery lookupQuery(const QString &sessionKey, const QString &call) const override;
    CallbookReply parseReply(const QByteArray &xml) const override;
};
