#include "tests/faults/FaultRun.h"

#include <gtest/gtest.h>

#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiProbe.h"

namespace {

std::string describe(const std::string& bytes) {
  if (bytes.size() <= 80) return testing::PrintToString(bytes);
  return std::to_string(bytes.size()) + " bytes beginning " +
         testing::PrintToString(bytes.substr(0, 40));
}

// Reads and dismisses every message box of the program, in the order they show, until it
// ends or `allowedMs` have passed.
void dismissBoxesUntilEnd(RunningProgram& program, DWORD allowedMs, ApplyOutcome& outcome) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < allowedMs) {
    DWORD code = 0;
    if (program.waitExit(50, &code)) {
      outcome.exitCode = code;
      break;
    }
    for (HWND box : topWindows(program.processId(), L"#32770")) {
      MessageBoxInfo info = readMessageBox(box);
      outcome.boxes.push_back(info.caption + L"\n" + info.text);
      dismissMessageBox(box);
      waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }
  }
}

}  // namespace

void expectFolder(const FolderFiles& actual, const FolderFiles& expected) {
  for (const auto& [name, content] : expected) {
    auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << name << " is missing";
      continue;
    }
    if (found->second == content) continue;
    size_t at = 0;
    while (at < content.size() && at < found->second.size() && content[at] == found->second[at]) {
      ++at;
    }
    ADD_FAILURE() << name << " holds " << describe(found->second) << "\n  expected "
                  << describe(content) << "\n  first difference at byte " << at;
  }
  for (const auto& [name, content] : actual) {
    if (expected.count(name) == 0) ADD_FAILURE() << name << " should not be there";
  }
}

bool carriesTheMark(const std::string& path) {
  const DWORD mark = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & mark) == mark;
}

ApplyOutcome applyOnce(const std::string& folder, int weapon,
                       const std::function<void(DWORD processId)>& shown) {
  LauncherChoice choice;
  choice.weapon = weapon;
  return applyOnce(folder, choice, 60000, shown);
}

ApplyOutcome applyOnce(const std::string& folder, const LauncherChoice& choice, DWORD allowedMs,
                       const std::function<void(DWORD processId)>& shown) {
  ApplyOutcome outcome;
  RunningProgram program;
  if (!program.start(folder + "\\launcher.exe", folder)) return outcome;
  HWND window = waitForWindow(program.processId(), L"WTWindow", allowedMs);
  outcome.windowShown = window != nullptr;
  if (window != nullptr) {
    if (shown) shown(program.processId());
    chooseInLauncher(window, choice);
    pressStart(window);
  }
  dismissBoxesUntilEnd(program, allowedMs, outcome);
  return outcome;
}

ApplyOutcome runWithArguments(const std::string& folder, const std::wstring& arguments,
                              DWORD allowedMs) {
  ApplyOutcome outcome;
  RunningProgram program;
  if (!program.start(folder + "\\launcher.exe", folder, arguments)) return outcome;
  dismissBoxesUntilEnd(program, allowedMs, outcome);
  return outcome;
}
