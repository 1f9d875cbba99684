// Finding a message box from outside, reading it and pressing its buttons, as a user would:
// through window messages only, so the box may belong to this process or to another one.
#pragma once

#include <windows.h>

#include <string>

// Waits up to timeoutMs for a visible message box of the process with the caption.
HWND waitForBox(DWORD processId, const std::wstring& caption, DWORD timeoutMs = 20000);
// The message text the box shows.
std::wstring boxText(HWND box);
// True when the box shows an icon.
bool boxHasIcon(HWND box);
// Presses one of the box's buttons (IDOK, IDYES, ...). False when it has no such button.
bool pressBoxButton(HWND box, int buttonId);
