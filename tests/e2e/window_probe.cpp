// What tests/e2e/xdotool_test.sh asks the system about the launcher's window, from inside
// the desktop it runs on, so that the script clicks where the controls are and waits for the
// events it checks instead of for a while:
//
//   window_probe point CONTROL   prints "X Y", the screen point (which is the X display's)
//                                of the centre of the control (attributeList, startButton,
//                                windowedBox, ...) or of the close box (closeBox); exit code
//                                1 when there is no launcher window or no such point
//   window_probe end FILE        opens the launcher's process, writes "ready" to FILE, and
//                                once the process has ended and every game (Drovar.exe) it
//                                started has ended too, ends itself: exit code 0, or 1 when
//                                it found no launcher window or they did not end
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "LauncherTemplate.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiProbe.h"

namespace {

HWND launcherWindow() { return FindWindowW(L"WTWindow", nullptr); }

int printPoint(const char* control) {
  HWND window = launcherWindow();
  if (window == nullptr) return 1;
  POINT point{};
  if (std::strcmp(control, "closeBox") == 0) {
    if (!closeBoxPoint(window, &point)) return 1;
  } else {
    const struct {
      const char* name;
      int id;
    } kControls[] = {
        {"weaponList", launcher_child::weaponList},
        {"attributeList", launcher_child::attributeList},
        {"resolutionList", launcher_child::resolutionList},
        {"startButton", launcher_child::startButton},
        {"windowedBox", launcher_child::windowedBox},
    };
    HWND child = nullptr;
    for (const auto& known : kControls) {
      if (std::strcmp(control, known.name) == 0) child = childById(window, known.id);
    }
    RECT rect{};
    if (child == nullptr || !GetWindowRect(child, &rect)) return 1;
    point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  std::printf("%ld %ld\n", point.x, point.y);
  return 0;
}

int waitForTheEnd(const char* readyFile) {
  HWND window = launcherWindow();
  DWORD processId = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) return 1;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return 1;
  writeBytes(readyFile, "ready\n");
  const bool ended = WaitForSingleObject(process, kPatienceMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  if (!ended) {
    std::fprintf(stderr, "the launcher (process %lu) did not end\n", processId);
    return 1;
  }
  // A game it started is listed as its child until that one has written its record and
  // ended.
  if (waitUntil([&] { return runningGames(processId).empty(); }, kPatienceMs)) return 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == processId && _wcsicmp(entry.szExeFile, L"Drovar.exe") == 0) {
      std::fprintf(stderr, "process %lu (%ls), started by the launcher, did not end\n",
                   entry.th32ProcessID, entry.szExeFile);
    }
  }
  CloseHandle(snapshot);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "point") == 0) return printPoint(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "end") == 0) return waitForTheEnd(argv[2]);
  std::fprintf(stderr, "usage: window_probe point CONTROL | end FILE\n");
  return 2;
}
