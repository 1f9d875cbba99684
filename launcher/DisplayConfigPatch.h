// Writes the chosen resolution into lines 2 and 3 of "config.ini" in the run directory.
#pragma once

#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "services/FileFault.h"
#include "services/Path.h"

enum class DisplayConfigOutcome {
  written,      // or already holding the chosen size, when nothing needed writing
  writeFailed,  // the file stays as it was
  unreadable,   // missing or unreadable (a folder, held open for writing)
  tooFewLines,  // fewer than three lines as CR LF separates them: left as it is
};

Path displayConfigFileName(LauncherHost& host);  // run directory + "\config.ini"

// With writeFailed, fault receives why the file could not be written.
DisplayConfigOutcome patchDisplayConfig(LauncherControls& controls, LauncherHost& host,
                                        FileFault& fault);
