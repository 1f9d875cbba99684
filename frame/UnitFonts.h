// The fonts of units.
#pragma once

#include <string>

#include "frame/GdiObject.h"

// DEFAULT_GUI_FONT; where the system's code page is not GBK, a Chinese face of its size
// (no smaller than a Chinese system's interface font) when one is installed.
GdiObject defaultUnitFont();
// The font of a unit's LOGFONTA attribute; the default font when it is empty or cannot be
// made.
GdiObject makeUnitFont(const std::string& logFont);
