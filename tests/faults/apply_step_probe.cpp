// The apply's writes, built over a test build of the file services that reports every step
// of every whole-file replacement: writes the files of an apply with 忍刀 and 速度属性（风）
// in a game folder, and at the given step (counted from 1 over all the files the apply
// writes) sets the named event and waits until it is ended there. Exit code 0 when the
// apply ended before that step.
//
//   apply_step_probe <game folder> <step number> <event name>
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "launcher/LauncherFlow.h"
#include "services/WriteSteps.h"
#include "tests/support/PlainLauncherControls.h"
#include "tests/support/TempFolder.h"

namespace {

int stopAt = 0;
int reachedSteps = 0;
HANDLE reached = nullptr;

class FolderHost final : public LauncherHost {
 public:
  explicit FolderHost(Path folder) : folder_(std::move(folder)) {}
  Path runDirectory() override { return folder_; }
  int32_t showMessage(const std::wstring&, int32_t) override { return 0; }
  bool startProgram(const std::wstring&, const Path&) override { return true; }
  std::optional<uint32_t> runAsAdministrator(const std::wstring&) override { return std::nullopt; }
  void endAfterFailure() override {}

 private:
  Path folder_;
};

}  // namespace

void reachedWriteStep(WriteStep) {
  if (++reachedSteps != stopAt) return;
  SetEvent(reached);
  Sleep(INFINITE);
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  stopAt = std::atoi(argv[2]);
  reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
  if (reached == nullptr) return 2;
  PlainLauncherControls controls;
  controls.setSelection(LauncherList::weapon, 11);
  controls.setSelection(LauncherList::attribute, 3);
  FolderHost host(Path(widePath(argv[1])));
  LauncherFlow(controls, host).writeAsAdministrator();
  return 0;
}
