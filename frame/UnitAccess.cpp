#include "frame/UnitAccess.h"

#include <windows.h>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "frame/Unit.h"
#include "frame/UnitNumbers.h"
#include "frame/WindowRegistry.h"

namespace {

UnitRecord& propertyTarget(uint32_t windowId, uint32_t unitId, int32_t number) {
  WindowEntry* window = findWindow(windowId);
  if (window == nullptr) reportFatalError(gbk::propertyWindowNotLoaded, 0);
  UnitRecord* unit = findUnit(*window, unitId);
  if (unit == nullptr) reportFatalError(gbk::propertyUnitNotLoaded, 0);
  if (number >= unit_property::firstOfKind && (!unit->live || unit->live->hwnd() == nullptr)) {
    reportFatalError(gbk::propertyUnitNotLoaded, 0);
  }
  return *unit;
}

// The unit's rectangle: a control's within its window's client area, the window's on the
// screen; the template's while the unit is not built.
RECT unitRectangle(const UnitRecord& unit) {
  const UnitTemplate& d = *unit.description;
  RECT r{d.left, d.top, d.left + d.width, d.top + d.height};
  if (unit.live && unit.live->hwnd() != nullptr) {
    HWND hwnd = unit.live->hwnd();
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
  if (number >= unit_property::firstOfKind) {
    int32_t value = 0;
    unit.live->readProperty(number, value);
    return value;
  }
  RECT r = unitRectangle(unit);
  HWND hwnd = unit.live ? unit.live->hwnd() : nullptr;
  switch (number) {
    case unit_property::left:
      return r.left;
    case unit_property::top:
      return r.top;
    case unit_property::width:
      return r.right - r.left;
    case unit_property::height:
      return r.bottom - r.top;
    case unit_property::visible:
      return hwnd != nullptr ? (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0
                             : (unit.description->flags & unitVisible) != 0;
    case unit_property::disabled:
      return hwnd != nullptr ? !IsWindowEnabled(hwnd)
                             : (unit.description->flags & unitDisabled) != 0;
    default:
      return 0;
  }
}

void writeUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number, int32_t value) {
  UnitRecord& unit = propertyTarget(windowId, unitId, number);
  if (number >= unit_property::firstOfKind) {
    unit.live->writeProperty(number, value);
    return;
  }
  HWND hwnd = unit.live ? unit.live->hwnd() : nullptr;
  if (hwnd == nullptr) return;
  RECT r = unitRectangle(unit);
  int left = r.left, top = r.top, width = r.right - r.left, height = r.bottom - r.top;
  switch (number) {
    case unit_property::left:
      left = value;
      break;
    case unit_property::top:
      top = value;
      break;
    case unit_property::width:
      width = value;
      break;
    case unit_property::height:
      height = value;
      break;
    case unit_property::visible:
      ShowWindow(hwnd, value != 0 ? SW_SHOWNA : SW_HIDE);
      return;
    case unit_property::disabled:
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
  if (unit == nullptr || !unit->live || unit->live->hwnd() == nullptr) {
    reportFatalError(gbk::methodTargetMissing, 0);
  }
  int32_t result = 0;
  unit->live->callMethod(number, arguments, result);  // may delete the unit (destroy at once)
  return result;
}
