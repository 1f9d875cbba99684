#include "services/Launch.h"

#include <windows.h>

#include <string>

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
