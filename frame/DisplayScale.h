// The window template is laid out in pixels at 96 DPI (100 %). On a display of another scale
// every size of it is multiplied by dpi / 96 and rounded as MulDiv rounds: the outer size
// of the window, each control's rectangle, the height a drop-down list opens to and its
// extra item height. Portable: the figures only.
#pragma once

#include <cstdint>

#include "frame/TemplateReader.h"

// The scale the template's figures are given for.
inline constexpr int32_t templateDpi = 96;
// The height, at the template's scale, that a drop-down list (types 1 and 2) is created with
// at least: the selection field and the list dropped down below it.
inline constexpr int32_t droppedListMinimum = 160;

// value * dpi / 96 rounded half away from zero, with MulDiv's -1 for a result outside the
// 32-bit range.
int32_t scaleToDpi(int32_t value, int32_t dpi);

// A unit's figures at one scale.
struct UnitLayout {
  int32_t left = 0, top = 0, width = 0, height = 0;  // the rectangle
  int32_t createHeight = 0;     // the height to create with: a drop-down list's dropped height
  int32_t extraItemHeight = 0;  // drop-down lists: added to the font's item height
};

UnitLayout layoutAtDpi(const UnitTemplate& unit, int32_t dpi);
