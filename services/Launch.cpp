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

AdministratorRun runSelfAsAdministrator(const std::wstring& arguments) {
  AdministratorRun run;
  // A failure that came without a cause of its own is told as a general one.
  auto notStarted = [&run](DWORD error) {
    if (error == ERROR_SUCCESS) error = ERROR_GEN_FAILURE;
    run.outcome = AdministratorRun::Outcome::notStarted;
    run.error = error;
    run.reason = systemErrorText(error);
    return run;
  };
  const std::optional<std::wstring> program = ownProgramPath();
  if (!program) return notStarted(ERROR_FILENAME_EXCED_RANGE);
  // The shell is loaded only here, so that an ordinary start of the program does not pay
  // for it; it stays loaded, as it may keep threads of its own after the call.
  using ShellExecuteExCall = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  const auto shellExecuteEx = systemFunction<ShellExecuteExCall>(L"shell32.dll", "ShellExecuteExW");
  if (shellExecuteEx == nullptr) return notStarted(GetLastError());
  // The file name alone, relative to its folder, which is given as the directory: Wine's
  // shell expands "%NAME%" in the file's path even unasked (Windows' only with
  // SEE_MASK_DOENVSUBST), which would turn a folder named "x%PATH%y" into a path that does
  // not exist. The leading ".\" keeps the name from being looked for anywhere else.
  const std::wstring folder = folderOfPath(Path(*program)).wide();
  const std::wstring file = L".\\" + program->substr(folder.empty() ? 0 : folder.size() + 1);
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  start.hwnd = GetActiveWindow();
  start.lpVerb = L"runas";
  start.lpFile = file.c_str();
  start.lpParameters = arguments.c_str();
  start.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  start.nShow = SW_SHOWNORMAL;
  if (shellExecuteEx(&start) == FALSE) {
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) {
      run.outcome = AdministratorRun::Outcome::refused;
      return run;
    }
    return notStarted(error);
  }
  // Started, but through something that gives no process to wait for.
  if (start.hProcess == nullptr) return notStarted(ERROR_NOT_SUPPORTED);
  waitWithWindowsDisabled(start.hProcess);
  DWORD code = 0;
  // An end whose code cannot be had counts as an end without the program's own report.
  if (GetExitCodeProcess(start.hProcess, &code) == FALSE) code = 0xFFFFFFFF;
  CloseHandle(start.hProcess);
  run.outcome = AdministratorRun::Outcome::ended;
  run.exitCode = code;
  return run;
}

std::wstring systemErrorText(uint32_t error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason =
      length == 0 || text == nullptr ? std::wstring() : std::wstring(text, length);
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) {
    reason.pop_back();
  }
  return reason;
}
