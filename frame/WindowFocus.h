// The keyboard focus among a window's units: their Tab order, the unit that holds the focus,
// the move to the next or previous one, and the default push button. Windows only.
#pragma once

#include <vector>

#include "frame/WindowRegistry.h"

// The Tab order: the focusable, visible, enabled tab-stop units by ascending tab-order key,
// equal keys by descending template position.
std::vector<Unit*> focusOrder(const WindowEntry& window);
// The unit whose control, or a part of it, has the focus; null when none of the window's has.
Unit* unitHoldingFocus(const WindowEntry& window);
// Gives the focus to the next unit of the Tab order after the one holding it (or the one
// before it); to the first (or last) when none holds it. Nothing when the order is empty.
void moveFocus(const WindowEntry& window, bool forward);
// The first unit of the window's list that is a default push button, or null.
Unit* defaultPushButton(const WindowEntry& window);
