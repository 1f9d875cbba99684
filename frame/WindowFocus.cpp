// The keyboard navigation of a window: the focus order of its controls, Tab and Shift+Tab,
// Enter and Esc before dispatch, and the focus a window gives back when it gets it again.
#include <algorithm>

#include "frame/UnitNumbers.h"
#include "frame/WindowUnit.h"

// The Tab order: the units that can take the focus, from the last of the template's list to
// the first, then sorted by their tabOrder, units of equal tabOrder keeping that reversed
// order. The launcher's template gives every unit tabOrder 0, so its order is the reversed
// list (its template's comment spells it out).
std::vector<Unit*> WindowUnit::focusOrder() const {
  std::vector<Unit*> order;
  for (size_t i = window_.units.size(); i-- > 1;) {
    Unit* unit = window_.units[i].live.get();
    if (unit == nullptr || unit->hwnd() == nullptr || !unit->canTakeFocus()) continue;
    if (!(unit->description().flags & unitTabStop)) continue;
    if (!IsWindowVisible(unit->hwnd()) || !IsWindowEnabled(unit->hwnd())) continue;
    order.push_back(unit);
  }
  std::stable_sort(order.begin(), order.end(), [](const Unit* a, const Unit* b) {
    return a->description().tabOrder < b->description().tabOrder;
  });
  return order;
}

Unit* WindowUnit::unitOfControl(HWND control) const {
  if (control == nullptr) return nullptr;
  for (size_t i = 1; i < window_.units.size(); ++i) {
    Unit* unit = window_.units[i].live.get();
    if (unit != nullptr && unit->ownsHandle(control)) return unit;
  }
  return nullptr;
}

Unit* WindowUnit::unitHoldingFocus() const {
  for (HWND h = GetFocus(); h != nullptr && h != hwnd_; h = GetParent(h)) {
    if (Unit* unit = unitOfControl(h)) return unit;
  }
  return nullptr;
}

void WindowUnit::moveFocus(bool forward) {
  std::vector<Unit*> order = focusOrder();
  if (order.empty()) return;
  Unit* current = unitHoldingFocus();
  auto at = std::find(order.begin(), order.end(), current);
  size_t next;
  if (at == order.end()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    size_t i = static_cast<size_t>(at - order.begin());
    next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
  }
  SetFocus(order[next]->hwnd());
}

void WindowUnit::focusFirstOrRemembered() {
  if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) &&
      IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
    return;
  }
  std::vector<Unit*> order = focusOrder();
  if (!order.empty()) SetFocus(order.front()->hwnd());
}

bool WindowUnit::pressEnter() {
  Unit* focused = unitHoldingFocus();
  if (focused != nullptr && focused->isDefaultPushButton() && IsWindowEnabled(focused->hwnd())) {
    focused->raise(unit_event::clicked);
    return true;
  }
  if (attributes().enterMovesFocus) {
    moveFocus(true);
    return true;
  }
  for (size_t i = 1; i < window_.units.size(); ++i) {
    Unit* unit = window_.units[i].live.get();
    if (unit != nullptr && unit->isDefaultPushButton()) {
      unit->raise(unit_event::clicked);
      return true;
    }
  }
  return false;
}

bool WindowUnit::preTranslate(MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  Unit* focused = unitHoldingFocus();
  if (focused != nullptr && focused->keepsNavigationKeys()) return false;
  switch (message.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
      moveFocus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    case VK_ESCAPE:
      if (!attributes().escCloses) return false;
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);  // may destroy this unit: nothing below touches it
      return true;
    case VK_RETURN:
      return pressEnter();
    default:
      return false;  // F1 help is off in every window the frame builds
  }
}
