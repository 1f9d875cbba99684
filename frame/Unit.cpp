#include "frame/Unit.h"

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
  return window != nullptr ? window->layoutDpi() : templateDpi;
}

UnitLayout Unit::layout() const { return layoutAtDpi(description(), dpi()); }

Unit* unitFromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return static_cast<Unit*>(GetPropW(hwnd, unitProperty));
}

Unit* unitOfControl(const WindowEntry& window, HWND control) {
  if (control == nullptr) return nullptr;
  for (size_t i = 1; i < window.units.size(); ++i) {
    Unit* unit = window.units[i].live.get();
    if (unit != nullptr && unit->ownsHandle(control)) return unit;
  }
  return nullptr;
}

void UnitDeleter::operator()(Unit* unit) const { delete unit; }

HWND windowHandle(const WindowEntry& window) {
  if (window.units.empty() || !window.units[0].live) return nullptr;
  return window.units[0].live->hwnd();
}

bool isWindowAlive(const WindowEntry& window) {
  HWND hwnd = windowHandle(window);
  return hwnd != nullptr && IsWindow(hwnd);
}

bool anyWindowAlive() {
  for (const WindowEntry& w : windowRegistry().windows) {
    if (isWindowAlive(w)) return true;
  }
  return false;
}

void clearWindowRegistry() {
  for (WindowEntry& w : windowRegistry().windows) {
    if (isWindowAlive(w)) DestroyWindow(windowHandle(w));
  }
  windowRegistry().windows.clear();
}
