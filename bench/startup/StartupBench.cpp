// Start-up time of launcher.exe against a minimal window program built by the same
// toolchain: from process creation to the first visible top-level window of the process.
// Runs alternate between the two programs so that both see the same machine load; the
// figure that matters is the ratio of the medians.
//
//   startup_bench [runs]      (default 30 runs of each, after 2 warm-up runs of each)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct WindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK findVisible(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::string programFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, length);
  return full.substr(0, full.find_last_of('\\'));
}

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
  WindowSearch search{process.dwProcessId, nullptr};
  for (;;) {
    EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    if (search.found) {
      elapsed = ms;
      break;
    }
    if (ms > 20000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
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
  std::string bin = programFolder();

  // A scratch game folder: the launcher needs nothing there to show its window.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "startup-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string launcher = folder + "\\launcher.exe";
  const std::string minimal = folder + "\\minimal_window.exe";
  if (!CopyFileA((bin + "\\launcher.exe").c_str(), launcher.c_str(), FALSE) ||
      !CopyFileA((bin + "\\minimal_window.exe").c_str(), minimal.c_str(), FALSE)) {
    std::fprintf(stderr, "startup_bench: launcher.exe or minimal_window.exe missing in %s\n",
                 bin.c_str());
    return 1;
  }

  std::vector<double> launcherTimes, minimalTimes;
  int failures = 0;
  for (int i = -2; i < runs; ++i) {  // two warm-up rounds first
    double a = timeStartup(launcher, folder);
    double b = timeStartup(minimal, folder);
    if (a < 0 || b < 0) {
      ++failures;
      continue;
    }
    if (i >= 0) {
      launcherTimes.push_back(a);
      minimalTimes.push_back(b);
    }
  }
  DeleteFileA(launcher.c_str());
  DeleteFileA(minimal.c_str());
  DeleteFileA((folder + "\\wdpz.ini").c_str());
  RemoveDirectoryA(folder.c_str());
  if (launcherTimes.empty()) {
    std::fprintf(stderr, "startup_bench: no window appeared\n");
    return 1;
  }
  double launcherMedian = median(launcherTimes);
  double minimalMedian = median(minimalTimes);
  std::printf("start-up to visible window, median of %zu runs each (alternating):\n",
              launcherTimes.size());
  std::printf("  launcher.exe        %8.1f ms\n", launcherMedian);
  std::printf("  minimal window      %8.1f ms\n", minimalMedian);
  std::printf("  ratio               %8.2f\n", launcherMedian / minimalMedian);
  if (failures) std::printf("  runs without a window: %d\n", failures);
  std::printf("launcher_median_ms=%.1f\nminimal_median_ms=%.1f\nstartup_ratio=%.2f\n",
              launcherMedian, minimalMedian, launcherMedian / minimalMedian);
  return 0;
}
