#include "tests/support/ProgramRun.h"

#include "tests/support/BoxWatcher.h"

ProgramEnd runProgramToEnd(std::string commandLine, const std::wstring& boxCaption,
                           const std::function<void(DWORD processId)>& atBox,
                           const std::string& folder) {
  ProgramEnd end;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return end;
  }
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
