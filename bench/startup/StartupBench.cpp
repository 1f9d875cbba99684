// Start-up time of launcher.exe against a minimal window program built by the same
// toolchain, and against the launcher's window written straight against Win32
// (handbuilt_window.exe): from process creation to the first visible top-level window of the
// process. Runs alternate between the programs so that all see the same machine load; the
// figures that matter are the ratios of the medians.
//
//   startup_bench [runs]      (default 30 runs of each, after 2 warm-up runs of each)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"

namespace {

// Milliseconds from CreateProcess to a visible window; negative when none appeared.
double timeStartup(const std::string& exe, const std::string& folder) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return -1;
  }
  double elapsed = -1;
  const DWORD pid = process.dwProcessId;
  HWND found = nullptr;
  for (;;) {
    found = firstVisibleTopWindow([&](HWND window) { return processOf(window) == pid; });
    QueryPerformanceCounter(&now);
    double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    if (found != nullptr) {
      elapsed = ms;
      break;
    }
    if (ms > 20000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (found != nullptr) PostMessageW(found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 30;
  if (runs < 1) runs = 1;
  std::string bin = testProgramFolder();

  // A scratch game folder: the launcher needs nothing there to show its window.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "startup-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const char* const names[] = {"launcher.exe", "minimal_window.exe", "handbuilt_window.exe"};
  constexpr size_t programCount = sizeof names / sizeof names[0];
  std::vector<std::string> programs;
  for (const char* name : names) {
    programs.push_back(folder + "\\" + name);
    if (!CopyFileA((bin + "\\" + name).c_str(), programs.back().c_str(), FALSE)) {
      std::fprintf(stderr, "startup_bench: %s missing in %s\n", name, bin.c_str());
      return 1;
    }
  }

  std::vector<double> times[programCount];
  int failures = 0;
  for (int i = -2; i < runs; ++i) {  // two warm-up rounds first
    double round[programCount];
    bool complete = true;
    for (size_t p = 0; p < programCount; ++p) {
      round[p] = timeStartup(programs[p], folder);
      complete = complete && round[p] >= 0;
    }
    if (!complete) {
      ++failures;
      continue;
    }
    if (i >= 0) {
      for (size_t p = 0; p < programCount; ++p) times[p].push_back(round[p]);
    }
  }
  for (const std::string& program : programs) DeleteFileA(program.c_str());
  DeleteFileA((folder + "\\wdpz.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  if (times[0].empty()) {
    std::fprintf(stderr, "startup_bench: no window appeared\n");
    return 1;
  }
  double launcherMedian = median(times[0]);
  double minimalMedian = median(times[1]);
  double handBuiltMedian = median(times[2]);
  std::printf("start-up to visible window, median of %zu runs each (alternating):\n",
              times[0].size());
  std::printf("  launcher.exe          %8.1f ms\n", launcherMedian);
  std::printf("  minimal window        %8.1f ms\n", minimalMedian);
  std::printf("  hand-built window     %8.1f ms\n", handBuiltMedian);
  std::printf("  launcher / minimal    %8.2f\n", launcherMedian / minimalMedian);
  std::printf("  hand-built / minimal  %8.2f\n", handBuiltMedian / minimalMedian);
  std::printf("  launcher / hand-built %8.2f\n", launcherMedian / handBuiltMedian);
  if (failures) std::printf("  rounds with a program that showed no window: %d\n", failures);
  std::printf(
      "launcher_median_ms=%.1f\nminimal_median_ms=%.1f\nhandbuilt_median_ms=%.1f\n"
      "startup_ratio=%.2f\nhandbuilt_ratio=%.2f\nlauncher_vs_handbuilt=%.2f\n",
      launcherMedian, minimalMedian, handBuiltMedian, launcherMedian / minimalMedian,
      handBuiltMedian / minimalMedian, launcherMedian / handBuiltMedian);
  return 0;
}
