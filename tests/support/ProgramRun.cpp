#include "tests/support/ProgramRun.h"

#include <cstdio>

#include "tests/support/BoxWatcher.h"
#include "tests/support/TempFolder.h"

bool startProcess(const wchar_t* application, std::wstring commandLine, const wchar_t* folder,
                  DWORD flags, void* environment, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  DWORD error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0) Sleep(200);
    if (CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, flags, environment,
                       folder, &startup, &process)) {
      return true;
    }
    error = GetLastError();
  }
  std::fprintf(stderr, "could not start %ls: error %lu\n", commandLine.c_str(), error);
  return false;
}

ProbeEnd runProbeToEnd(const std::string& program, const std::string& mode,
                       const std::wstring& boxCaption,
                       const std::function<void(DWORD processId)>& atBox) {
  TempFolder temp{"probe"};
  const std::string marker = temp / "marker.txt";
  std::string commandLine = "\"";
  commandLine += testProgramFolder() + "\\" + program + "\" " + mode + " \"" + marker + "\"";
  ProbeEnd probe;
  probe.end = runProgramToEnd(commandLine, boxCaption, atBox);
  probe.marker = readBytes(marker);
  return probe;
}

ProgramEnd runProgramToEnd(std::string commandLine, const std::wstring& boxCaption,
                           const std::function<void(DWORD processId)>& atBox,
                           const std::string& folder) {
  ProgramEnd end;
  PROCESS_INFORMATION process{};
  const std::wstring wideFolder = widePath(folder);
  if (!startProcess(nullptr, widePath(commandLine), folder.empty() ? nullptr : wideFolder.c_str(),
                    0, nullptr, process)) {
    return end;
  }
  end.started = true;
  if (!boxCaption.empty()) {
    HWND box = waitForBox(process.dwProcessId, boxCaption, kPatienceMs);
    if (box != nullptr) {
      end.boxShown = true;
      end.boxText = boxText(box);
      end.boxIcon = boxHasIcon(box);
      end.runningWithBox = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
      if (atBox) atBox(process.dwProcessId);
      pressBoxButton(box, IDOK);
    }
  }
  if (WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kPatienceMs);
  } else {
    GetExitCodeProcess(process.hProcess, &end.exitCode);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return end;
}
