#pragma once

#include "CallbookReply.h"

#include <QByteArray>

// The replies of the two callbook services read with QXmlStreamReader, without any I/O.
// Both put the session (or its error) and the record one level below the root; element
// names are compared without their namespace.
namespace CallbookXml {

// QRZ.com: <QRZDatabase><Session><Key>/<Error></Session><Callsign><call>, <fname>,
// <name>, <addr2>, <grid>, <qslmgr>, ...</Callsign></QRZDatabase>.
CallbookReply parseQrz(const QByteArray &xml);

// HamQTH: <HamQTH><session><session_id>/<error></session><search><callsign>, <nick>,
// <qth>, <grid>, <qsl_via>, ...</search></HamQTH>.
CallbookReply parseHamQth(const QByteArray &xml);

} // namespace CallbookXml
