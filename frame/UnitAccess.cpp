#include "frame/UnitAccess.h"

#include <windows.h>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "frame/Units.h"
#include "frame/WindowRegistry.h"

namespace {

UnitRecord& propertyTarget(uint32_t windowId, uint32_t unitId, int32_t number) {
  WindowEntry* window = findWindow(windowId);
  if (window == nullptr) reportFatalError(gbk::propertyWindowNotLoaded, 0);
  UnitRecord* unit = findUnit(*window, unitId);
  if (unit == nullptr) reportFatalError(gbk::propertyUnitNotLoaded, 0);
  if (number >= 8 && (!unit->live || unit->live->handle() == nullptr)) {
    reportFatalError(gbk::propertyUnitNotLoaded, 0);
  }
  return *unit;
}

// The unit's rectangle: a control's within its window's client area, the window's on the
// screen; the template's while the unit is not built.
RECT unitRectangle(const UnitRecord& unit) {
  const UnitTemplate& d = *unit.description;
  RECT r{d.left, d.top, d.left + d.width, d.top + d.height};
  if (unit.live && unit.live->handle() != nullptr) {
    HWND hwnd = unit.live->handle();
    GetWindowRect(hwnd, &r);
    if (HWND parent = GetParent(hwnd);
        parent != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
  }
  return r;
}

}  // namespace

int32_t readUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number) {
  UnitRecord& unit = propertyTarget(windowId, unitId, number);
  if (number >= 8) {
    int32_t value = 0;
    unit.live->readProperty(number, value);
    return value;
  }
  RECT r = unitRectangle(unit);
  HWND hwnd = unit.live ? unit.live->handle() : nullptr;
  switch (number) {
    case 0:
      return r.left;
    case 1:
      return r.top;
    case 2:
      return r.right - r.left;
    case 3:
      return r.bottom - r.top;
    case 5:
      return hwnd != nullptr ? (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0
                             : (unit.description->flags & unitVisible) != 0;
    case 6:
      return hwnd != nullptr ? !IsWindowEnabled(hwnd)
                             : (unit.description->flags & unitDisabled) != 0;
    default:
      return 0;
  }
}

void writeUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number, int32_t value) {
  UnitRecord& unit = propertyTarget(windowId, unitId, number);
  if (number >= 8) {
    unit.live->writeProperty(number, value);
    return;
  }
  HWND hwnd = unit.live ? unit.live->handle() : nullptr;
  if (hwnd == nullptr) return;
  RECT r = unitRectangle(unit);
  int left = r.left, top = r.top, width = r.right - r.left, height = r.bottom - r.top;
  switch (number) {
    case 0:
      left = value;
      break;
    case 1:
      top = value;
      break;
    case 2:
      width = value;
      break;
    case 3:
      height = value;
      break;
    case 5:
      ShowWindow(hwnd, value != 0 ? SW_SHOWNA : SW_HIDE);
      return;
    case 6:
      EnableWindow(hwnd, value == 0);
      return;
    default:
      return;
  }
  MoveWindow(hwnd, left, top, width, height, TRUE);
}

int32_t callUnitMethod(uint32_t windowId, uint32_t unitId, int32_t number,
                       std::span<const int32_t> arguments) {
  WindowEntry* window = findWindow(windowId);
  UnitRecord* unit = window != nullptr ? findUnit(*window, unitId) : nullptr;
  if (unit == nullptr || !unit->live || unit->live->handle() == nullptr) {
    reportFatalError(gbk::methodTargetMissing, 0);
  }
  int32_t result = 0;
  unit->live->callMethod(number, arguments, result);  // may delete the unit (destroy at once)
  return result;
}
