// Writes the chosen sub-weapon and attribute into the weapon line of each mission file
// "Level\sn01_.pst" to "Level\sn20_.pst" that exists in the run directory.
#pragma once

#include <vector>

#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "services/Path.h"

// Without a "Level" folder (or file) shows "找不到任务文件。" and writes nothing. A file
// without a weapon line, or whose weapon line already holds the number, is left untouched;
// the full name of each file that could not be read or rewritten is added to unwritten.
void MissionWeaponPatch(LauncherControls& controls, LauncherHost& host,
                        std::vector<Path>& unwritten);
