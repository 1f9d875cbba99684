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

std::vector<FolderEntry> entriesUnder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::vector<std::string> pending{""};  // folders still to be listed, relative to `folder`
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    const std::string base = relative.empty() ? folder : folder + "\\" + relative;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((base + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = relative.empty() ? name : relative + "\\" + name;
      const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries.push_back({path, isFolder});
      if (isFolder) pending.push_back(path);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  return entries;
}

FolderFiles readFolder(const std::string& folder) {
  FolderFiles files;
  for (const FolderEntry& entry : entriesUnder(folder)) {
    files[entry.path] = entry.isFolder ? "<folder>" : readBytes(folder + "\\" + entry.path);
  }
  return files;
}

void writeFolder(const std::string& folder, const FolderFiles& files) {
  for (const auto& [name, content] : files) {
    if (content == "<folder>") {
      makeFolder(folder + "\\" + name);
    } else {
      writeBytes(folder + "\\" + name, content);
    }
  }
}

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

void placePrograms(const std::string& folder) {
  std::string bin = testProgramFolder();
  CopyFileA((bin + "\\launcher.exe").c_str(), (folder + "\\launcher.exe").c_str(), FALSE);
  CopyFileA((bin + "\\standin_game.exe").c_str(), (folder + "\\Drovar.exe").c_str(), FALSE);
}

ApplyOutcome applyOnce(const std::string& folder, int weapon) {
  LauncherChoice choice;
  choice.weapon = weapon;
  return applyOnce(folder, choice, 60000);
}

ApplyOutcome applyOnce(const std::string& folder, const LauncherChoice& choice, DWORD allowedMs) {
  ApplyOutcome outcome;
  RunningProgram program;
  if (!program.start(folder + "\\launcher.exe", folder)) return outcome;
  HWND window = waitForWindow(program.processId(), L"WTWindow", allowedMs);
  outcome.windowShown = window != nullptr;
  if (window != nullptr) {
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
