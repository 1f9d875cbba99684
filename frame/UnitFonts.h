// The fonts of units.
#pragma once

#include <cstdint>
#include <string>

#include "frame/GdiObject.h"

// The fonts at a display scale (dpi), made at that scale's character height.
// DEFAULT_GUI_FONT; where the system's code page is not GBK, a Chinese face of its size
// (no smaller than a Chinese system's interface font) when one is installed.
GdiObject defaultUnitFont(int32_t dpi);
// The font of a unit's LOGFONTA attribute, whose sizes are given for 96 DPI; the default
// font when it is empty or cannot be made.
GdiObject makeUnitFont(const std::string& logFont, int32_t dpi);
