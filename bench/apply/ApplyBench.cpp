// The whole apply under the real file services: 20 mission files of 8 MB each, against
// copying the same 20 files, and the peak memory of the apply.
//
//   apply_bench <folder> [megabytes per file] [rounds]
//
// Prepares <folder>\game (config.ini, Level\sn01_.pst..sn20_.pst, the stand-in game as
// Drovar.exe). Each round copies the twenty files into <folder>\copy, reads each whole and
// writes it back unchanged through the program's file access, and applies. The best time of
// each and the ratios are printed as key=value lines. The peak working set is taken after
// the rounds; copying needs no more than the apply, so it is the apply's peak.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DesktopLauncherHost.h"
#include "bench/MissionSample.h"
#include "launcher/LauncherFlow.h"
#include "services/Files.h"
#include "tests/support/PlainLauncherControls.h"

namespace {

constexpr int kMissionFiles = 20;

std::string ownFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, length);
  return full.substr(0, full.find_last_of('\\'));
}

bool writeWhole(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string missionName(const std::string& folder, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "\\sn%02d_.pst", n);
  return folder + name;
}

double seconds() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

size_t workingSet(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

// The program's host without its message boxes: a message here is a failed apply.
class BenchHost final : public LauncherHost {
 public:
  explicit BenchHost(std::string folder) : folder_(std::move(folder)) {}
  Text runDirectory() override { return Text(folder_); }
  void showMessage(const Text& message, int32_t) override {
    std::fprintf(stderr, "apply reported: %s\n", message.c_str());
    failed = true;
  }
  bool startProgram(const Text& commandLine) override {
    const double start = seconds();
    const bool started = desktop_.startProgram(commandLine);
    gameStart = seconds() - start;
    return started;
  }
  void endAfterFailure() override { failed = true; }

  bool failed = false;
  double gameStart = 0;

 private:
  std::string folder_;
  DesktopLauncherHost desktop_;
};

struct Best {
  double copy = 1e9;
  double readWriteBack = 1e9;
  double apply = 1e9;
  double gameStart = 0;  // within the best apply
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: apply_bench <folder> [megabytes per file] [rounds]\n");
    return 2;
  }
  const std::string root = argv[1];
  const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 8;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::string game = root + "\\game";
  const std::string level = game + "\\Level";
  const std::string copies = root + "\\copy";
  for (const std::string& folder : {root, game, level, copies}) {
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  {
    const std::string sample = missionSample(megabytes << 20);
    for (int n = 1; n <= kMissionFiles; ++n) {
      if (!writeWhole(missionName(level, n), sample)) {
        std::fprintf(stderr, "cannot write %s\n", missionName(level, n).c_str());
        return 1;
      }
    }
  }
  writeWhole(game + "\\config.ini", "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n");
  CopyFileA((ownFolder() + "\\standin_game.exe").c_str(), (game + "\\Drovar.exe").c_str(), FALSE);
  const size_t startWorkingSet = workingSet(false);

  Best best;
  bool failed = false;
  for (int round = 0; round < rounds; ++round) {
    double start = seconds();
    for (int n = 1; n <= kMissionFiles; ++n) {
      failed |= !CopyFileA(missionName(level, n).c_str(), missionName(copies, n).c_str(), FALSE);
    }
    const double copy = seconds() - start;

    start = seconds();
    for (int n = 1; n <= kMissionFiles; ++n) {
      const Text name(missionName(level, n));
      failed |= !writeFile(name, readFile(name));
    }
    const double readWriteBack = seconds() - start;

    BenchHost host(game);
    PlainLauncherControls controls;
    LauncherFlow flow(controls, host);
    flow.onWindowCreated();
    controls.setSelection(LauncherList::weapon, round % 12);
    controls.setSelection(LauncherList::attribute, round % 4);
    start = seconds();
    flow.onStartGameClicked();
    const double apply = seconds() - start;
    failed |= host.failed || !controls.destroyRequested();

    if (copy < best.copy) best.copy = copy;
    if (readWriteBack < best.readWriteBack) best.readWriteBack = readWriteBack;
    if (apply < best.apply) {
      best.apply = apply;
      best.gameStart = host.gameStart;
    }
    std::printf("round %d: copy %.1f ms, read and write back %.1f ms, apply %.1f ms\n", round + 1,
                copy * 1000, readWriteBack * 1000, apply * 1000);
  }
  const size_t peak = workingSet(true);
  std::printf("files=%d\nfile_mb=%zu\n", kMissionFiles, megabytes);
  std::printf("copy_ms=%.1f\nread_write_back_ms=%.1f\napply_ms=%.1f\ngame_start_ms=%.1f\n",
              best.copy * 1000, best.readWriteBack * 1000, best.apply * 1000,
              best.gameStart * 1000);
  std::printf("apply_vs_copy=%.2f\napply_vs_read_write_back=%.2f\n", best.apply / best.copy,
              best.apply / best.readWriteBack);
  std::printf("peak_working_set_mb=%.1f\nstart_working_set_mb=%.1f\npeak_limit_mb=%.1f\n",
              peak / 1048576.0, startWorkingSet / 1048576.0, 4.0 * megabytes + 32);
  return failed ? 1 : 0;
}
