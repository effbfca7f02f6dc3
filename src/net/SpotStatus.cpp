#include "SpotStatus.h"

QString SpotStatus::code(Kind kind)
{
    switch (kind) {
    case Kind::NewEntity: return QStringLiteral("NEW_DXCC");
    case Kind::NewBand: return QStringLiteral("NEW_BAND");
    case Kind::NewMode: return QStringLiteral("NEW_MODE");
    case Kind::Worked: return QStringLiteral("WORKED");
    case Kind::Confirmed: return QStringLiteral("CONFIRMED");
    case Kind::Unknown: break;
    }
    return QString();
}

QString SpotStatus::text(Kind kind)
{
    switch (kind) {
    case Kind::NewEntity: return QStringLiteral("New entity");
    case Kind::NewBand: return QStringLiteral("New band");
    case Kind::NewMode: return QStringLiteral("New mode");
    case Kind::Worked: return QStringLiteral("Worked");
    case Kind::Confirmed: return QStringLiteral("Confirmed");
    case Kind::Unknown: break;
    }
    return QString();
}
