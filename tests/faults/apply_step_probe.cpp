// The apply's writes, built over a test build of the file services that reports every step
// of every whole-file replacement and over a test build of the game folder's turn that
// reports when it begins to wait for another apply: writes the files of an apply with the
// choices of an elevated-apply argument (without one: 忍刀 and 速度属性（风）) in a game
// folder, within the folder's turn as the program takes it.
//
// At the given step (counted from 1 over all the files the apply writes; 0: none; "record":
// the step at which the temporary file of the record of the originals is created, when the
// apply has read the record and the missions and writes nothing before it) it sets
// the event <event name> and waits there until it is ended, or, when the test made the
// event "<event name>.go", until that event is set. When it begins to wait for the turn it
// sets the event "<event name>.waiting" if the test made one. Exit code 0 when everything
// was written, 1 when not (the turn not had among it), 2 for arguments it does not take.
//
//   apply_step_probe <game folder> <step number|record> <event name> [--apply-settings=W,A,R,T]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "GbkTexts.h"

#include "launcher/ElevatedApplyArgument.h"
#include "launcher/LauncherFlow.h"
#include "services/ApplyTurn.h"
#include "services/Wide.h"
#include "services/WriteSteps.h"
#include "tests/support/PlainLauncherControls.h"
#include "tests/support/TempFolder.h"

namespace {

int stopAt = 0;
bool stopAtRecord = false;
std::wstring recordTemporaries;  // the pattern of this process's temporary record files
int reachedSteps = 0;
HANDLE reached = nullptr;
HANDLE go = nullptr;       // absent: the probe waits at its step until it is ended
HANDLE waiting = nullptr;  // absent: the wait for the turn is not reported

class FolderHost final : public LauncherHost {
 public:
  explicit FolderHost(Path folder) : folder_(std::move(folder)) {}
  Path runDirectory() override { return folder_; }
  // The program's own turn, with a wait long enough that an apply held by a test is always
  // waited for: what a probe shows is the order of two applies, not the program's bound.
  bool takeApplyTurn() override {
    constexpr uint32_t kProbeTurnWaitMs = 120000;
    turn_.reset();
    turn_.emplace(folder_, kProbeTurnWaitMs);
    return turn_->held();
  }
  void releaseApplyTurn() override { turn_.reset(); }
  int32_t showMessage(const std::wstring&, int32_t) override { return 0; }
  bool startProgram(const std::wstring&, const Path&) override { return true; }
  AdministratorRun runAsAdministrator(const std::wstring&) override {
    return {AdministratorRun::Outcome::refused, 0, 0, L""};
  }
  void endAfterFailure() override {}

 private:
  Path folder_;
  std::optional<ApplyTurn> turn_;
};

// A temporary file of the record of this process is there.
bool writingTheRecord() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(recordTemporaries.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace

void reachedWriteStep(WriteStep step) {
  ++reachedSteps;
  const bool stop =
      stopAtRecord ? step == WriteStep::created && writingTheRecord() : reachedSteps == stopAt;
  if (!stop) return;
  stopAtRecord = false;
  SetEvent(reached);
  if (go == nullptr) Sleep(INFINITE);
  WaitForSingleObject(go, INFINITE);
}

void waitingForApplyTurn() {
  if (waiting != nullptr) SetEvent(waiting);
}

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) return 2;
  const std::string step = argv[2];
  stopAtRecord = step == "record";
  stopAt = stopAtRecord ? 0 : std::atoi(argv[2]);
  const Path folder(widePath(argv[1]));
  wchar_t pattern[32];
  std::swprintf(pattern, 32, L"\\~wr%lx-*.", GetCurrentProcessId());
  recordTemporaries =
      folder.wide() + pattern + gbkToWide(gbk::originalWeaponsFileName).substr(1) + L".tmp";
  const std::string event = argv[3];
  reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, event.c_str());
  if (reached == nullptr) return 2;
  go = OpenEventA(SYNCHRONIZE, FALSE, (event + ".go").c_str());
  waiting = OpenEventA(EVENT_MODIFY_STATE, FALSE, (event + ".waiting").c_str());
  PlainLauncherControls controls;
  LauncherSettings settings{11, 3, 0, false};
  if (argc == 5) {
    const ListSizes sizes{controls.entryCount(LauncherList::weapon),
                          controls.entryCount(LauncherList::attribute),
                          controls.entryCount(LauncherList::resolution)};
    const std::optional<LauncherSettings> given =
        parseElevatedApplyArgument(widePath(argv[4]), sizes);
    if (!given) return 2;
    settings = *given;
  }
  controls.setSelection(LauncherList::weapon, settings.weaponIndex);
  controls.setSelection(LauncherList::attribute, settings.attributeIndex);
  controls.setSelection(LauncherList::resolution, settings.resolutionIndex);
  controls.setTicked(settings.windowed);
  FolderHost host(folder);
  return LauncherFlow(controls, host).writeAsAdministrator() ? 0 : 1;
}
