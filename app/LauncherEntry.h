// The launcher's entry routine, run by the program's start on the user-interface thread.
#pragma once

// Starts the frame, builds the launcher window (its created event loads the settings) and
// runs the message loop until the window is gone. Returns 0.
int launcherEntry();
