#include "frame/Unit.h"

#include "frame/ButtonUnits.h"
#include "frame/DropDownListUnit.h"
#include "frame/LabelUnit.h"
#include "frame/WindowUnit.h"

namespace {

constexpr wchar_t unitProperty[] = L"WTUnit";

}  // namespace

HINSTANCE moduleInstance() { return GetModuleHandleW(nullptr); }

void Unit::attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, unitProperty, this);
}

void Unit::detach() {
  if (hwnd_ != nullptr) RemovePropW(hwnd_, unitProperty);
}

int32_t Unit::dpi() const {
  const Unit* window = window_.units.empty() ? nullptr : window_.units[0].live.get();
  return window != nullptr ? static_cast<const WindowUnit*>(window)->layoutDpi() : templateDpi;
}

UnitLayout Unit::layout() const { return layoutAtDpi(description(), dpi()); }

Unit* unitFromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return static_cast<Unit*>(GetPropW(hwnd, unitProperty));
}

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

std::unique_ptr<Unit> makeUnit(WindowEntry& window, size_t index) {
  switch (window.units[index].description->kind) {
    case unit_kind::window:
      return std::make_unique<WindowUnit>(window, index);
    case unit_kind::label:
      return std::make_unique<LabelUnit>(window, index);
    case unit_kind::button:
      return std::make_unique<ButtonUnit>(window, index);
    case unit_kind::checkBox:
      return std::make_unique<CheckBoxUnit>(window, index);
    case unit_kind::dropDownList:
      return std::make_unique<DropDownListUnit>(window, index);
    default:
      return nullptr;
  }
}
