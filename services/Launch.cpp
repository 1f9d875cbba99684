#include "services/Launch.h"

#include <windows.h>
// After windows.h, on which it builds.
#include <shellapi.h>

#include <string>
#include <vector>

#include "services/RunDirectory.h"
#include "services/SystemLibrary.h"

int32_t showWindowForMode(std::optional<int32_t> showMode) {
  static constexpr int32_t showWindow[] = {SW_HIDE,          SW_SHOWNORMAL,     SW_SHOWMINIMIZED,
                                           SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  int32_t mode = showMode.value_or(2);
  if (mode < 1) mode = 1;
  if (mode > 6) mode = 6;
  return showWindow[mode - 1];
}

bool runProgram(const std::wstring& commandLine, bool wait, std::optional<int32_t> showMode,
                const Path& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindowForMode(showMode));
  PROCESS_INFORMATION process{};
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    return false;
  }
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
  } else {
    WaitForInputIdle(process.hProcess, 1000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

namespace {

BOOL CALLBACK collectEnabledWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  }
  return TRUE;
}

// Waits for the process to end with the thread's windows disabled, handling their
// messages meanwhile. A quit request that comes in the meantime is made again afterwards.
void waitWithWindowsDisabled(HANDLE process) {
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), &collectEnabledWindow,
                    reinterpret_cast<LPARAM>(&disabled));
  for (HWND window : disabled) EnableWindow(window, FALSE);
  std::optional<WPARAM> quit;
  while (!quit && MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) ==
                      WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = message.wParam;
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) WaitForSingleObject(process, INFINITE);
  for (auto window = disabled.rbegin(); window != disabled.rend(); ++window) {
    if (IsWindow(*window)) EnableWindow(*window, TRUE);
  }
  if (quit) PostQuitMessage(static_cast<int>(*quit));
}

}  // namespace

std::optional<uint32_t> runSelfAsAdministrator(const std::wstring& arguments) {
  const std::optional<std::wstring> program = ownProgramPath();
  if (!program) return std::nullopt;
  // The shell is loaded only here, so that an ordinary start of the program does not pay
  // for it; it stays loaded, as it may keep threads of its own after the call.
  using ShellExecuteExCall = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  const auto shellExecuteEx = systemFunction<ShellExecuteExCall>(L"shell32.dll", "ShellExecuteExW");
  if (shellExecuteEx == nullptr) return std::nullopt;
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  start.hwnd = GetActiveWindow();
  start.lpVerb = L"runas";
  start.lpFile = program->c_str();
  start.lpParameters = arguments.c_str();
  start.nShow = SW_SHOWNORMAL;
  bool started = shellExecuteEx(&start) != FALSE;
  if (!started || start.hProcess == nullptr) return std::nullopt;
  waitWithWindowsDisabled(start.hProcess);
  DWORD code = 0;
  bool known = GetExitCodeProcess(start.hProcess, &code) != FALSE;
  CloseHandle(start.hProcess);
  if (!known) return std::nullopt;
  return code;
}
