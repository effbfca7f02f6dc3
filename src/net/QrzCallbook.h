#pragma once

#include "CallbookService.h"

// QRZ.com's XML data service: a login with username, password and agent gives
// <Session><Key>; a lookup carries s=KEY and callsign=CALL.
class QrzCallbook : public CallbookService
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
