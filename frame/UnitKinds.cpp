#include "frame/UnitKinds.h"

#include "frame/ButtonUnits.h"
#include "frame/DropDownListUnit.h"
#include "frame/LabelUnit.h"
#include "frame/WindowUnit.h"

bool registerUnitClasses() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW window{};
  window.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  window.lpfnWndProc = &WindowUnit::procedure;
  window.hInstance = moduleInstance();
  window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  window.lpszClassName = windowClassName;
  WNDCLASSW label = window;
  label.lpfnWndProc = &LabelUnit::procedure;
  label.lpszClassName = labelClassName;
  if (RegisterClassW(&window) == 0 || RegisterClassW(&label) == 0) return false;
  registered = true;
  return true;
}

LiveUnit makeUnit(WindowEntry& window, size_t index) {
  switch (window.units[index].description->kind) {
    case unit_kind::window:
      return LiveUnit(new WindowUnit(window, index));
    case unit_kind::label:
      return LiveUnit(new LabelUnit(window, index));
    case unit_kind::button:
      return LiveUnit(new ButtonUnit(window, index));
    case unit_kind::checkBox:
      return LiveUnit(new CheckBoxUnit(window, index));
    case unit_kind::dropDownList:
      return LiveUnit(new DropDownListUnit(window, index));
    default:
      return nullptr;
  }
}
