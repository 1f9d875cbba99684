// Many applies in a row on the same game folder, each a fresh start of the real program
// driven from outside: after the first, every apply leaves every file byte for byte as the
// first left it, and neither the program nor the driver grows in memory. (Handles are
// counted from outside by `./run bench`: the open files of the Wine server across the run.)
//
// LOAD_APPLIES sets the number of applies (20 by default; `./run bench` runs 500 and
// prints the figures).
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiProbe.h"

namespace {

struct Figures {
  SIZE_T programSet = 0;      // the program's working set once every write of the apply is done
  SIZE_T programPeakSet = 0;  // its peak working set by then, the whole apply's
  SIZE_T driverSet = 0;       // this program's own working set after the apply
  DWORD milliseconds = 0;     // start to end of the program
};

struct Apply {
  DWORD exitCode = 0xDEAD0001;
  std::vector<std::wstring> boxes;  // the texts of the message boxes shown
  Figures figures;
};

// One apply of the real program, 忍刀 and 速度属性（风） chosen in its window. The game's
// mission 19 is a folder, so every apply ends its writes with the list of files not
// written, which holds the program there: its working set is read at that message, once
// every write of the apply is done.
Apply applyMeasured(const std::string& folder) {
  Apply apply;
  DWORD start = GetTickCount();
  LauncherRun run;
  if (!run.start(folder + "\\launcher.exe", folder)) return apply;
  chooseInLauncher(run.window);
  pressStart(run.window);
  HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
  if (box != nullptr) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, run.program.processId());
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (process != nullptr && GetProcessMemoryInfo(process, &memory, sizeof memory)) {
      apply.figures.programSet = memory.WorkingSetSize;
      apply.figures.programPeakSet = memory.PeakWorkingSetSize;
    }
    if (process != nullptr) CloseHandle(process);
    apply.boxes.push_back(readMessageBox(box).text);
    dismissMessageBox(box);
  }
  apply.exitCode = run.exitCode();
  apply.figures.milliseconds = GetTickCount() - start;
  PROCESS_MEMORY_COUNTERS own{};
  own.cb = sizeof own;
  GetProcessMemoryInfo(GetCurrentProcess(), &own, sizeof own);
  apply.figures.driverSet = own.WorkingSetSize;
  return apply;
}

std::string mission(int number) {
  std::string text = "// mission ";
  text.append(std::to_string(number)).append("\r\n");
  for (int line = 0; line < 2000; ++line) {
    text.append("int EnemyCount").append(std::to_string(line)).append(" = 12;\r\n");
  }
  return text.append("int PlayerWeapon2 = 1;\r\n");
}

// The largest value among the first or the last tenth of the runs after the first (the
// first apply fills the caches of the driver and of the system).
template <typename Field>
Field peakOf(const std::vector<Figures>& runs, bool last, Field Figures::*field) {
  size_t settled = runs.size() - 1;
  size_t tenth = std::max<size_t>(1, settled / 10);
  size_t from = last ? runs.size() - tenth : 1;
  Field peak = 0;
  for (size_t i = from; i < from + tenth; ++i) peak = std::max(peak, runs[i].*field);
  return peak;
}

TEST(LoadRun, ManyAppliesLeaveTheFilesAsTheFirstAndGrowNothing) {
  int count = 20;
  if (const char* asked = std::getenv("LOAD_APPLIES")) count = std::max(2, std::atoi(asked));
  FolderFiles files = twoMissionGameFiles();
  for (int n = 1; n <= 20; ++n) files[missionPath(n)] = mission(n);
  files[missionPath(19)] = "<folder>";
  const GameFolder game("load", files);
  const std::wstring list =
      fromGbk(std::string(gbk::filesNotWritten) + "\r\n" + game.path() + "\\" + missionPath(19) +
              gbk::reasonFolderInPlace + gbk::hintStart + gbk::hintFolderInPlace + gbk::hintEnd);

  std::vector<Figures> runs;
  FolderFiles first;
  std::string record;
  int differing = 0;
  for (int run = 1; run <= count; ++run) {
    Apply apply = applyMeasured(game.path());
    ASSERT_EQ(apply.exitCode, 0u) << "apply " << run;
    ASSERT_EQ(apply.boxes, std::vector<std::wstring>{list}) << "apply " << run;
    record += launchRecord(game.path(), false);
    ASSERT_EQ(waitForLaunchRecord(game.path(), static_cast<size_t>(run)), record)
        << "apply " << run;
    FolderFiles now = readFolder(game.path());
    now.erase("launch-record.txt");
    if (run == 1) {
      first = now;
    } else if (now != first) {
      ++differing;
      if (differing <= 3) {
        SCOPED_TRACE("apply " + std::to_string(run));
        expectFolder(now, first);
      }
    }
    runs.push_back(apply.figures);
  }
  EXPECT_EQ(differing, 0) << "applies that left the files otherwise than the first";
  EXPECT_EQ(readBytes(game / "launch-record.txt"), record);
  EXPECT_EQ(first.at("Level\\sn20_.pst"),
            mission(20).substr(0, mission(20).size() - 24) + "int PlayerWeapon2 = 58;\r\n");

  SIZE_T firstSet = peakOf(runs, false, &Figures::programSet);
  SIZE_T lastSet = peakOf(runs, true, &Figures::programSet);
  SIZE_T firstPeak = peakOf(runs, false, &Figures::programPeakSet);
  SIZE_T lastPeak = peakOf(runs, true, &Figures::programPeakSet);
  SIZE_T firstDriver = peakOf(runs, false, &Figures::driverSet);
  SIZE_T lastDriver = peakOf(runs, true, &Figures::driverSet);
  std::vector<DWORD> times;
  for (const Figures& f : runs) times.push_back(f.milliseconds);
  std::sort(times.begin(), times.end());
  std::printf("applies=%d\n", count);
  auto kb = [](SIZE_T bytes) { return static_cast<unsigned long long>(bytes / 1024); };
  std::printf("program_working_set_kb first=%llu last=%llu\n", kb(firstSet), kb(lastSet));
  std::printf("program_peak_working_set_kb first=%llu last=%llu\n", kb(firstPeak), kb(lastPeak));
  std::printf("driver_working_set_kb first=%llu last=%llu\n", kb(firstDriver), kb(lastDriver));
  std::printf("apply_ms median=%lu max=%lu\n", times[times.size() / 2], times.back());

  // A fresh program each time: no more memory in the last tenth of the runs than in the
  // first, beyond what one message or one page more may take; the driver, which reads the
  // whole folder after every apply, holds no more either.
  const SIZE_T slack = 1024 * 1024;
  EXPECT_LE(lastSet, firstSet + firstSet / 10 + slack);
  EXPECT_LE(lastPeak, firstPeak + firstPeak / 10 + slack);
  EXPECT_LE(lastDriver, firstDriver + firstDriver / 10 + slack);
}

}  // namespace
