// Numbered properties and methods of units, named by (window id, unit id). Naming a window
// or unit that does not exist, or a kind property of a unit that is not built, ends the
// process through the fatal report.
#pragma once

#include <cstdint>
#include <span>

// Properties (frame/UnitNumbers.h): left, top, width, height, visible and disabled of every
// unit; tickState of a check box; currentSelection of a drop-down list. Other numbers read
// as 0 and are not set.
int32_t readUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number);
void writeUnitProperty(uint32_t windowId, uint32_t unitId, int32_t number, int32_t value);
// Methods: destroy (the window; optional argument atOnce) and itemValue (of a list entry).
// An unknown method yields 0.
int32_t callUnitMethod(uint32_t windowId, uint32_t unitId, int32_t number,
                       std::span<const int32_t> arguments = {});
