#include "tests/support/ProgramRun.h"

#include "tests/support/BoxWatcher.h"

ProgramEnd runProgramToEnd(std::string commandLine, const std::wstring& boxCaption,
                           const std::function<void(DWORD processId)>& atBox,
                           const std::string& folder) {
  ProgramEnd end;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // A start can fail for a moment on a loaded machine while the previous program is still
  // being torn down; what these runs check begins once the program runs, so a failed start
  // is tried again a few times before it counts.
  bool created = false;
  for (int attempt = 0; attempt < 5 && !created; ++attempt) {
    if (attempt > 0) Sleep(200);
    created =
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process) != FALSE;
  }
  if (!created) return end;
  end.started = true;
  if (!boxCaption.empty()) {
    HWND box = waitForBox(process.dwProcessId, boxCaption, 30000);
    if (box != nullptr) {
      end.boxShown = true;
      end.boxText = boxText(box);
      end.boxIcon = boxHasIcon(box);
      end.runningWithBox = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
      if (atBox) atBox(process.dwProcessId);
      pressBoxButton(box, IDOK);
    }
  }
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 10000);
  } else {
    GetExitCodeProcess(process.hProcess, &end.exitCode);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return end;
}
