#pragma once

#include "DxSpot.h"

#include <QString>

#include <optional>

// The lines of a DX cluster read by their pattern. Clusters write spots in columns
// ("DX de SPOTTER:  FREQ  DXCALL  COMMENT  HHMMZ GRID", the spotter padded to 9, the
// frequency in kHz to one decimal in 8, the call padded to 12 and the comment to 30), but
// a long spotter, a 10 GHz frequency or an over-long comment pushes every column after
// it, so the fields are found by their shape, never by their position.
namespace DxSpotParser {

enum class LineKind {
    Spot,         // "DX de ..." with a frequency, a call and a time
    Wwv,          // "WWV de ...": solar flux and geomagnetic indices
    Wcy,          // "WCY de ...": the same from DK0WCY
    Announcement, // "To ALL de ...", also to a group ("To LOCAL de ...")
    Text,         // everything else: greetings, prompts, talk, lines that do not read
};

// The spot of a line, or nothing when the line is no spot.
std::optional<DxSpot> parse(const QString &line);

// What kind of line it is; Spot exactly when parse gives a spot.
LineKind kindOf(const QString &line);

} // namespace DxSpotParser

Q_DECLARE_METATYPE(DxSpotParser::LineKind)
