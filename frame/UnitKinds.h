// The kinds of unit the frame builds, by the kind numbers of the template: their window
// classes and the unit object of a template record. Windows only.
#pragma once

#include <cstddef>

#include "frame/WindowRegistry.h"

// Registers "WTWindow" and "WTLabel" once. False when a class cannot be registered.
bool registerUnitClasses();
// Makes the unit object of a template record (null for a kind the frame does not know).
LiveUnit makeUnit(WindowEntry& window, size_t index);
