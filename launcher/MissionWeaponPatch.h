// Writes the chosen sub-weapon and attribute into the weapon line of each mission file
// "Level\sn01_.pst" to "Level\sn20_.pst" that exists in the run directory.
#pragma once

#include <vector>

#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "launcher/UnwrittenFiles.h"
#include "services/Path.h"

// False, with nothing written, when there is no "Level" folder (or file): the caller tells
// the user "找不到任务文件。". A file without a weapon line, or whose weapon line already
// holds the number, is left untouched; each file that could not be read or rewritten is
// added to unwritten with its full name and cause.
bool patchMissionWeapon(LauncherControls& controls, LauncherHost& host,
                        std::vector<UnwrittenFile>& unwritten);
