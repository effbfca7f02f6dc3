#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where Window > Tile and Window > Cascade put the document windows: always inside the
// area given (the main window's MDI area as it stands), so that arranging never asks
// the main window to grow.
namespace MdiArrangement {

// `count` rectangles that fill the area without overlapping: rows of windows side by
// side, as near a square grid as the count allows, the lower rows taking one window
// more when the count does not divide evenly.
QList<QRect> tile(const QRect &area, int count);

// One rectangle per window, each `step` pixels right of and below the one before, of
// the size the window would have (`sizes`), cut where it would leave the area. When the
// next step would leave too little room, the steps start again at the top left.
QList<QRect> cascade(const QRect &area, const QList<QSize> &sizes, int step);

} // namespace MdiArrangement
