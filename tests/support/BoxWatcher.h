// Finding a message box from outside, reading it and pressing its buttons, as a user would:
// through window messages only, so the box may belong to this process or to another one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Patience.h"

// Waits up to timeoutMs for a visible message box of the process with the caption.
HWND waitForBox(DWORD processId, const std::wstring& caption, DWORD timeoutMs = kPatienceMs);
// The same whatever its caption: the first message box (dialog class #32770) of the process.
HWND waitForMessageBox(DWORD processId, DWORD timeoutMs);

// What a message box shows: its caption, its message and its buttons' texts.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;
};
MessageBoxInfo readMessageBox(HWND box);
// Presses the box's first visible button (OK where there is one button).
void dismissMessageBox(HWND box);
// The message text the box shows.
std::wstring boxText(HWND box);
// True when the box shows an icon.
bool boxHasIcon(HWND box);
// Presses one of the box's buttons (IDOK, IDYES, ...). False when it has no such button.
bool pressBoxButton(HWND box, int buttonId);
