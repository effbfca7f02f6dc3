#pragma once

#include <QIcon>

// The program's icon, painted rather than loaded so the program needs no resource
// files: a mast with radiating waves on a round blue field.
namespace RefDataIcon {

QIcon icon();

} // namespace RefDataIcon
