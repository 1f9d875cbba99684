#include "tests/faults/FaultRun.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/ProgramRun.h"
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
      waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kPatienceMs);
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

bool hasSignatureAttributes(const std::string& path) {
  const DWORD signature = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & signature) == signature;
}

ApplyOutcome applyOnce(const std::string& folder, int weapon,
                       const std::function<void(DWORD processId)>& shown) {
  LauncherChoice choice;
  choice.weapon = weapon;
  return applyOnce(folder, choice, kPatienceMs, shown);
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

namespace {

// How long a probe is given for any one thing it is waited for (emulated or loaded
// machines start programs slowly).
constexpr DWORD kProbeWaitMs = kPatienceMs;

HANDLE makeEvent(const std::wstring& name) {
  return CreateEventW(nullptr, TRUE, FALSE, name.c_str());
}

}  // namespace

ProbeApply::ProbeApply(const std::string& folder, const std::string& step,
                       const std::wstring& argument) {
  // Names of this test process and probe alone, so that tests running at once never share.
  static std::atomic<int> count{0};
  const std::wstring event =
      L"apply-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
  reached_ = makeEvent(event);
  go_ = makeEvent(event + L".go");
  waiting_ = makeEvent(event + L".waiting");
  if (reached_ == nullptr || go_ == nullptr || waiting_ == nullptr) return;
  std::wstring command = L"\"" + widePath(testProgramFolder() + "\\apply_step_probe.exe") +
                         L"\" \"" + widePath(folder) + L"\" " + widePath(step) + L" " + event;
  if (!argument.empty()) command += L" " + argument;
  if (!startProcess(nullptr, command, nullptr, 0, nullptr, process_)) process_ = {};
}

ProbeApply::~ProbeApply() {
  if (process_.hProcess != nullptr) {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 9);
      WaitForSingleObject(process_.hProcess, kProbeWaitMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  for (HANDLE event : {reached_, go_, waiting_}) {
    if (event != nullptr) CloseHandle(event);
  }
}

bool ProbeApply::waitFor(HANDLE event) {
  if (process_.hProcess == nullptr) return false;
  HANDLE either[] = {event, process_.hProcess};
  return WaitForMultipleObjects(2, either, FALSE, kProbeWaitMs) == WAIT_OBJECT_0;
}

bool ProbeApply::waitHeld() { return waitFor(reached_); }

bool ProbeApply::waitWaitingForTurn() { return waitFor(waiting_); }

DWORD ProbeApply::finish() {
  if (process_.hProcess == nullptr) return 0xDEAD0001;
  SetEvent(go_);
  DWORD code = 0xDEAD0001;
  if (WaitForSingleObject(process_.hProcess, kProbeWaitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process_.hProcess, &code);
  }
  return code;
}

TwoApplies applyTwoAtOnce(const std::string& folder, const std::wstring& firstArgument,
                          const std::wstring& secondArgument) {
  TwoApplies outcome;
  ProbeApply first(folder, "record", firstArgument);
  outcome.firstHeld = first.waitHeld();
  ProbeApply second(folder, "0", secondArgument);
  outcome.secondWaited = second.waitWaitingForTurn();
  outcome.firstExit = first.finish();
  outcome.secondExit = second.finish();
  return outcome;
}
