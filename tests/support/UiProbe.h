// Drives a program's window from outside, as a user or an accessibility tool would: finds
// its windows, reads controls through window messages, moves the focus with keys, presses
// buttons and dismisses message boxes. Everything crosses the process boundary.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/BoxWatcher.h"
#include "tests/support/Patience.h"
#include "tests/support/TopWindows.h"

// A started program; ended by force when the object goes before the program has ended.
class RunningProgram {
 public:
  RunningProgram() = default;
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Starts `exe` (full path) with the command line `"exe"` in `folder`; arguments, when
  // given, follow after a blank.
  bool start(const std::string& exe, const std::string& folder,
             const std::wstring& arguments = L"");
  // The same with wide paths, and an environment block of its own (UTF-16) when given.
  bool start(const std::wstring& exe, const std::wstring& folder,
             const std::wstring* environment = nullptr);
  // True when the program ended within `ms`; its exit code goes to `code`.
  bool waitExit(DWORD ms, DWORD* code);
  bool running() const;
  // Waits until the program's window thread has handled what was sent or posted to it and
  // waits for input (WaitForInputIdle). False when that did not happen within `ms`.
  bool waitIdle(DWORD ms);
  // Ends the program at once, and the programs it started (the stand-in game: a program
  // started while its parent is ended can be left waiting for ever under Wine), and waits
  // until they are gone.
  void kill();
  DWORD processId() const { return info_.dwProcessId; }
  DWORD threadId() const { return info_.dwThreadId; }

 private:
  PROCESS_INFORMATION info_{};
};

// The processes that the process `pid` started and that are still running or not yet
// gone from the system's list; with `exeName`, only those of that file name.
std::vector<DWORD> childProcesses(DWORD pid, const wchar_t* exeName = nullptr);
// The stand-in games ("Drovar.exe") that the process `pid` started and that have not ended:
// a game it started is listed here until it has written its record and ended. (Other
// programs may be its children too: Wine starts the desktop's explorer.exe from the first
// program that shows a window.)
inline std::vector<DWORD> runningGames(DWORD pid) { return childProcesses(pid, L"Drovar.exe"); }

// The first visible top-level window of class `className` owned by process `pid`, waited
// for up to `ms`; nullptr when none appeared.
HWND waitForWindow(DWORD pid, const wchar_t* className, DWORD ms);
// Every visible top-level window of the process with that class, now.
std::vector<HWND> topWindows(DWORD pid, const wchar_t* className);

std::wstring textOf(HWND window);  // WM_GETTEXT, wide
// The window's rectangle in the client coordinates of its parent.
RECT rectInParent(HWND window);

struct ChildInfo {
  HWND window;
  int id;
  std::wstring className;
  RECT rect;  // in the parent's client area
  std::wstring text;
  LONG style;
};
// Direct children of `parent`, top of the stacking order first.
std::vector<ChildInfo> childrenOf(HWND parent);
HWND childById(HWND parent, int id);

struct ListState {
  std::vector<std::wstring> entries;
  std::vector<LONG_PTR> itemValues;
  int selection;
};
ListState readList(HWND combo);
bool isTicked(HWND checkBox);

// The window with the keyboard focus in the given user-interface thread, or nullptr.
HWND focusOf(DWORD threadId);
// Waits until the focus in `threadId` is somewhere other than `from` (up to `ms`).
HWND waitFocusChange(DWORD threadId, HWND from, DWORD ms);
// The control id that holds the focus in `threadId` once it has reached `want`, or whatever
// holds it after `ms` when it never does.
int focusReaching(DWORD threadId, int want, DWORD ms = kPatienceMs);

// A key press and release posted to `target`, as the thread's queue would receive them.
void postKey(HWND target, UINT virtualKey);
// Real keyboard input through the system's input queue (goes to the foreground window);
// modifiers are held around the key.
void typeKey(UINT virtualKey, const std::vector<UINT>& modifiers = {});
// A real left click at a screen point.
void clickAt(POINT screen);
// The screen point of the close box of a top-level window, found by hit testing; false
// when the window has none.
bool closeBoxPoint(HWND window, POINT* screen);

// Waits until `condition` holds or `ms` has passed; returns the last result.
template <typename Condition>
bool waitUntil(Condition condition, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > ms) return condition();
    Sleep(20);
  }
}
