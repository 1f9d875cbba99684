// The apply of the real program, measured from outside: launcher.exe started in a game
// folder, its button pressed through window messages, the time from the press to the start
// of the game (the apply has ended by then; what follows is the program's own end, whose
// time under Wine varies by tens of milliseconds from one run to the next and says nothing
// of the apply). The apply's own time is the press in a folder of 20 mission files less
// the same press in a folder without any, against a durable copy of the same 21 files
// (CopyFile, then FlushFileBuffers of the copy) in the same run. Presses of the two folders
// and the copies alternate; each figure is the median of its rounds. The press to the end
// of the process is printed beside it for information.
//
//   apply_bench <folder> [rounds]
//
// Printed as key=value lines:
//   apply_vs_durable_copy at 8 MB files (and at 1 and 32 MB: a steady ratio shows a linear
//   apply); the peak working set of the program over an apply of 8 MB files (read while
//   it shows the message that the game could not be started, after everything was written);
//   a second press with the same choices against the first, and the bytes it wrote (the
//   sizes of the files it replaced or created, the game's own record aside).
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/MissionSample.h"
#include "tests/support/GameFolder.h"
#include "tests/support/UiProbe.h"

namespace {

constexpr int kMissionFiles = 20;
const char kConfig[] = "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n";

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
  return folder + "\\" + missionFileName(n);
}

double seconds() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A game folder with the program, the stand-in game, config.ini and `missions` mission
// files of `megabytes` each in Level.
std::string prepareGame(const std::string& folder, int missions, size_t megabytes) {
  const std::string level = folder + "\\Level";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(level.c_str(), nullptr);
  placePrograms(folder);
  writeWhole(folder + "\\config.ini", kConfig);
  if (missions > 0) {
    const std::string sample = missionSample(megabytes << 20);
    for (int n = 1; n <= missions; ++n) writeWhole(missionName(level, n), sample);
  }
  return folder;
}

// The processes started by one program: the program is put in a job of its own, whose
// completion port reports each process created in it.
class StartedProcesses {
 public:
  explicit StartedProcesses(DWORD pid)
      : job_(CreateJobObjectW(nullptr, nullptr)),
        port_(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {
    if (job_ == nullptr || port_ == nullptr) return;
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job_, port_};
    HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, pid);
    watching_ = process != nullptr &&
                SetInformationJobObject(job_, JobObjectAssociateCompletionPortInformation, &link,
                                        sizeof link) &&
                AssignProcessToJobObject(job_, process);
    if (process != nullptr) CloseHandle(process);
    // The program itself is reported as it joins; only what it starts afterwards counts.
    while (next(0) != 0) {
    }
  }
  ~StartedProcesses() {
    if (port_ != nullptr) CloseHandle(port_);
    if (job_ != nullptr) CloseHandle(job_);
  }
  StartedProcesses(const StartedProcesses&) = delete;
  StartedProcesses& operator=(const StartedProcesses&) = delete;

  bool watching() const { return watching_; }
  // Waits up to `ms` for the next process created in the job; false when none came.
  bool waitForNew(DWORD ms) {
    for (DWORD message = next(ms); message != 0; message = next(ms)) {
      if (message == JOB_OBJECT_MSG_NEW_PROCESS) return true;
    }
    return false;
  }

 private:
  DWORD next(DWORD ms) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED detail = nullptr;
    return GetQueuedCompletionStatus(port_, &message, &key, &detail, ms) ? message : 0;
  }

  HANDLE job_;
  HANDLE port_;
  bool watching_ = false;
};

struct Press {
  double seconds = -1;  // press to the start of the game; -1: the apply did not finish
  double toEnd = -1;    // press to the end of the process
  double peakWorkingSetMb = 0;
};

// One start of the program in `folder`: the choices set, the button pressed, the time to
// the start of the game and to the end of the process. With `readPeak`, the game is
// expected not to start: the peak working set is read while the program shows that
// message, which is then dismissed, and only the time to the end is had.
Press press(const std::string& folder, int weapon, int resolution, bool readPeak = false) {
  Press result;
  RunningProgram program;
  if (!program.start(folder + "\\launcher.exe", folder)) return result;
  HWND window = waitForWindow(program.processId(), L"WTWindow", 60000);
  if (window == nullptr) return result;
  chooseInLauncher(window, {weapon, 3, resolution, kLeave});
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                               program.processId());
  if (process == nullptr) return result;
  StartedProcesses started(program.processId());
  if (!readPeak && !started.watching()) {
    std::fprintf(stderr, "apply_bench: the programs the launcher starts cannot be watched\n");
    return result;
  }
  const double start = seconds();
  pressStart(window);
  double gameStarted = -1;
  if (!readPeak && started.watching() && started.waitForNew(60000)) {
    gameStarted = seconds() - start;
  }
  bool boxSeen = false;
  while (WaitForSingleObject(process, readPeak ? 20 : 60000) == WAIT_TIMEOUT) {
    if (!readPeak) break;
    for (HWND box : topWindows(program.processId(), L"#32770")) {
      PROCESS_MEMORY_COUNTERS counters{};
      counters.cb = sizeof counters;
      if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        result.peakWorkingSetMb = counters.PeakWorkingSetSize / 1048576.0;
      }
      boxSeen = true;
      dismissMessageBox(box);
    }
  }
  const double end = seconds();
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  if (code != 0) return result;
  result.toEnd = end - start;
  if (readPeak ? boxSeen : gameStarted >= 0) result.seconds = readPeak ? result.toEnd : gameStarted;
  return result;
}

// CopyFile of the 20 missions and config.ini, each copy then flushed to the disk.
double durableCopy(const std::string& game, const std::string& copies) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int n = 1; n <= kMissionFiles; ++n) {
    files.emplace_back(missionName(game + "\\Level", n), missionName(copies, n));
  }
  files.emplace_back(game + "\\config.ini", copies + "\\config.ini");
  const double start = seconds();
  for (const auto& [from, to] : files) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return -1;
    HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) return -1;
    FlushFileBuffers(copy);
    CloseHandle(copy);
  }
  return seconds() - start;
}

// Each file under `folder` by its path: its identity, last write time and size. A file
// replaced or rewritten shows a new identity or time.
struct FileState {
  ULONGLONG id = 0;
  ULONGLONG written = 0;
  ULONGLONG size = 0;
  bool operator==(const FileState&) const = default;
};
void statesOf(const std::string& folder, std::map<std::string, FileState>& states) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    const std::string path = folder + "\\" + name;
    if (name == "." || name == ".." || name == "launch-record.txt") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      statesOf(path, states);
      continue;
    }
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (file != INVALID_HANDLE_VALUE) {
      GetFileInformationByHandle(file, &info);
      CloseHandle(file);
    }
    FileState state;
    state.id = (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    state.written = (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) |
                    found.ftLastWriteTime.dwLowDateTime;
    state.size = (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    states[path] = state;
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

ULONGLONG bytesWrittenBetween(const std::map<std::string, FileState>& before,
                              const std::map<std::string, FileState>& after) {
  ULONGLONG bytes = 0;
  for (const auto& [path, state] : after) {
    auto old = before.find(path);
    if (old == before.end() || !(old->second == state)) bytes += state.size;
  }
  return bytes;
}

struct SizeFigures {
  double apply = 0;  // press with missions less press without, median of each
  double copy = 0;
};

// Alternating presses in the two folders and durable copies, `rounds` times; each press
// picks another weapon and size than the one before, so every file changes.
bool measureSize(const std::string& root, size_t megabytes, int rounds, SizeFigures& figures) {
  const std::string tag = std::to_string(megabytes);
  const std::string full = prepareGame(root + "\\game-" + tag, kMissionFiles, megabytes);
  const std::string none = prepareGame(root + "\\none-" + tag, 0, megabytes);
  const std::string copies = root + "\\copy-" + tag;
  CreateDirectoryA(copies.c_str(), nullptr);
  std::vector<double> withMissions, without, copy, withMissionsToEnd, withoutToEnd;
  for (int round = 0; round < rounds + 1; ++round) {
    const int weapon = round % 12;
    const int resolution = round % 2;
    const Press a = press(full, weapon, resolution);
    const Press b = press(none, weapon, resolution);
    const double c = durableCopy(full, copies);
    if (a.seconds < 0 || b.seconds < 0 || c < 0) return false;
    if (round == 0) continue;  // warm-up
    withMissions.push_back(a.seconds);
    without.push_back(b.seconds);
    copy.push_back(c);
    withMissionsToEnd.push_back(a.toEnd);
    withoutToEnd.push_back(b.toEnd);
    std::printf(
        "  %2zu MB round %d: press to game start %.1f ms, without missions %.1f ms, durable "
        "copy %.1f ms (press to the program's end %.1f / %.1f ms)\n",
        megabytes, round, a.seconds * 1000, b.seconds * 1000, c * 1000, a.toEnd * 1000,
        b.toEnd * 1000);
  }
  figures.apply = median(withMissions) - median(without);
  figures.copy = median(copy);
  std::printf("apply_ms_%s=%.1f\ndurable_copy_ms_%s=%.1f\napply_vs_durable_copy_%s=%.2f\n",
              tag.c_str(), figures.apply * 1000, tag.c_str(), figures.copy * 1000, tag.c_str(),
              figures.apply / figures.copy);
  const double toEnd = median(withMissionsToEnd) - median(withoutToEnd);
  std::printf("  the same to the program's end (for information): %.2f\n", toEnd / figures.copy);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: apply_bench <folder> [rounds]\n");
    return 2;
  }
  const std::string root = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  CreateDirectoryA(root.c_str(), nullptr);
  std::printf("files=%d\n", kMissionFiles);

  double copy8 = 0;
  for (size_t megabytes : {8, 1, 32}) {
    SizeFigures figures;
    // Small files give small differences of two presses: more rounds; large ones fewer.
    const int sizeRounds = megabytes == 1    ? 2 * rounds
                           : megabytes == 32 ? (rounds + 1) / 2
                                             : rounds;
    if (!measureSize(root, megabytes, sizeRounds, figures)) {
      std::fprintf(stderr, "apply_bench: an apply of %zu MB files did not finish\n", megabytes);
      return 1;
    }
    if (megabytes == 8) copy8 = figures.copy;
  }

  // The peak working set: an apply of 8 MB files that then cannot start the game.
  const std::string game = root + "\\game-8";
  DeleteFileA((game + "\\Drovar.exe").c_str());
  const Press peak = press(game, 5, 0, true);
  CopyFileA((testProgramFolder() + "\\standin_game.exe").c_str(), (game + "\\Drovar.exe").c_str(),
            FALSE);
  if (peak.seconds < 0) {
    std::fprintf(stderr, "apply_bench: the apply for the peak working set did not finish\n");
    return 1;
  }
  std::printf("peak_working_set_mb=%.1f\n", peak.peakWorkingSetMb);

  // A second press with the same choices: nothing is to be written, so it costs the reads.
  // Net of the same press in the folder without missions, against the durable copy of the
  // 8 MB files.
  const std::string none = root + "\\none-8";
  std::vector<double> first, second, secondWithout;
  ULONGLONG secondBytes = 0;
  for (int round = 0; round < rounds; ++round) {
    const int weapon = 6 + round % 6;
    const Press a = press(game, weapon, round % 2);
    std::map<std::string, FileState> before, after;
    statesOf(game, before);
    const Press b = press(game, weapon, round % 2);
    statesOf(game, after);
    const Press c = press(none, weapon, round % 2);
    if (a.seconds < 0 || b.seconds < 0 || c.seconds < 0) return 1;
    first.push_back(a.seconds);
    second.push_back(b.seconds);
    secondWithout.push_back(c.seconds);
    secondBytes = std::max(secondBytes, bytesWrittenBetween(before, after));
  }
  std::printf(
      "first_press_ms=%.1f\nsecond_press_ms=%.1f\nsecond_vs_first=%.2f\n"
      "second_press_net_ms=%.1f\nsecond_vs_durable_copy_8=%.2f\nsecond_press_bytes_written=%llu\n",
      median(first) * 1000, median(second) * 1000, median(second) / median(first),
      (median(second) - median(secondWithout)) * 1000,
      (median(second) - median(secondWithout)) / copy8, secondBytes);
  return 0;
}
