// The launcher's entry routine, run by the program's start on the user-interface thread.
#pragma once

#include <string_view>

// Starts the frame, builds the launcher window (its created event loads the settings) and
// runs the message loop until the window is gone. Returns 0.
int launcherEntry();

// The program started with arguments. The elevated-apply argument, which the launcher
// passes when it starts itself with administrator rights: the files of an apply for its
// four choices are written, with no window and no game; exit code 0 when everything was
// written, 1 when some files were not (they are reported). Any other argument: a message,
// no file changed, exit code 2.
int administratorEntry(std::wstring_view arguments);
