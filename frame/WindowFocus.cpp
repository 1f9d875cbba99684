#include "frame/WindowFocus.h"

#include <algorithm>

#include "frame/Unit.h"

// From the last of the template's list to the first, then sorted by tabOrder, units of equal
// tabOrder keeping that reversed order. The launcher's template gives every unit tabOrder 0,
// so its order is the reversed list (its template's comment spells it out).
std::vector<Unit*> focusOrder(const WindowEntry& window) {
  std::vector<Unit*> order;
  for (size_t i = window.units.size(); i-- > 1;) {
    Unit* unit = window.units[i].live.get();
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

Unit* unitHoldingFocus(const WindowEntry& window) {
  HWND own = windowHandle(window);
  for (HWND h = GetFocus(); h != nullptr && h != own; h = GetParent(h)) {
    if (Unit* unit = unitOfControl(window, h)) return unit;
  }
  return nullptr;
}

void moveFocus(const WindowEntry& window, bool forward) {
  std::vector<Unit*> order = focusOrder(window);
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), unitHoldingFocus(window));
  size_t next;
  if (at == order.end()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    size_t i = static_cast<size_t>(at - order.begin());
    next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
  }
  SetFocus(order[next]->hwnd());
}

Unit* defaultPushButton(const WindowEntry& window) {
  for (size_t i = 1; i < window.units.size(); ++i) {
    Unit* unit = window.units[i].live.get();
    if (unit != nullptr && unit->isDefaultPushButton()) return unit;
  }
  return nullptr;
}
