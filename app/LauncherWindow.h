// The launcher window of the window template: its ids, control ids, handler names, entries
// and rectangles as the build reads them from the template's description
// (LauncherTemplate.h, generated from resources/LauncherWindow.json).
#pragma once

#include "LauncherTemplate.h"
#include "frame/Unit.h"

// The control ids that the description gives are those that the frame gives the controls.
static_assert(launcher_child::weaponList == firstChildId);
static_assert(launcher_child::weaponLabel == firstChildId + childIdStep);
