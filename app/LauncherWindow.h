// The launcher window of the window template: its ids, control ids, handler names, entries
// and rectangles as the build reads them from the template's description
// (LauncherTemplate.h, generated from resources/LauncherWindow.json).
#pragma once

#include "LauncherTemplate.h"
