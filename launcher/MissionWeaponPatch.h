// Writes the chosen sub-weapon and attribute into the weapon line of each mission file
// "Level\sn01_.pst" to "Level\sn20_.pst" that exists in the run directory.
#pragma once

#include <vector>

#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "launcher/UnwrittenFiles.h"
#include "services/Path.h"

// Whether the run directory has a "Level" folder (or file) to look in for mission files.
enum class LevelFolder { missing, present };

// `missing`, with nothing written, when there is no "Level" folder (or file): the caller
// tells the user "找不到任务文件。". A file without a weapon line, or whose weapon line already
// holds the number, is left untouched; each file that could not be read or rewritten is
// added to unwritten with its full name and cause, and after the missions that a damaged
// record kept as they were, the record's damaged lines.
LevelFolder patchMissionWeapon(LauncherControls& controls, LauncherHost& host,
                               std::vector<UnwrittenFile>& unwritten);
