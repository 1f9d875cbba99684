// The visible top-level windows on the desktop, picked by what a test asks of them: the
// one search that finds a program's window or message box from outside.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The process that owns the window.
DWORD processOf(HWND window);
// The window's class name.
std::wstring classOf(HWND window);

// Every visible top-level window for which `wanted` holds, top of the stacking order first.
std::vector<HWND> visibleTopWindows(const std::function<bool(HWND)>& wanted);
// The first of them; nullptr when there is none.
HWND firstVisibleTopWindow(const std::function<bool(HWND)>& wanted);
