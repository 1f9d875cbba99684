// A writer ended at each step of a whole-file replacement (a test build of the file
// services that reports its steps, ended as soon as it reports the step), then one apply of
// the real program on the same game folder: the file holds its old or its new content
// after the end, and after the apply no temporary file of an ended writer is left.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "services/TemporaryName.h"
#include "services/WriteSteps.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kBulk(1 << 20, 'b');
// What the apply writes: 忍刀 with 速度属性（风）, weapon number 58.
const std::string kOld = "int PlayerWeapon2 = 1;\r\n" + kBulk;
const std::string kNew = "int PlayerWeapon2 = 58;\r\n" + kBulk;

bool waitUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

std::string inLevel(const std::string& name) {
  std::string path = "Level\\";
  path += name;
  return path;
}

// The name of a writer's temporary file, as the test's paths spell it.
std::string temporaryNameOf(DWORD writer, uint32_t n, const std::wstring& target) {
  return toGbk(temporaryName(writer, n, target));
}

// The paths under `folder` whose last part begins with "~wr", sorted.
std::vector<std::string> temporaryNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [path, content] : readFolder(folder)) {
    const size_t slash = path.rfind('\\');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.rfind("~wr", 0) == 0) names.push_back(path);
  }
  return names;
}

// How a step probe's run ended.
enum class StepEnd {
  reached,   // it reported the step and was ended there
  finished,  // it wrote everything (exit code 0) without reaching the step: no such step
  failed,    // it did not start, did not report within the suite's patience, or failed
};

// A step probe (a test build that sets the named event once it reaches the step it is
// given, then waits there) started with `arguments` and the event's name, and ended as soon
// as it reports the step. Its process id goes to processId.
StepEnd endProbeAtStep(const std::string& program, const std::string& arguments, const char* kind,
                       int step, DWORD* processId = nullptr) {
  char event[64];
  std::snprintf(event, sizeof event, "%s-step-%lu-%d", kind, GetCurrentProcessId(), step);
  HANDLE reached = CreateEventA(nullptr, TRUE, FALSE, event);
  if (reached == nullptr) return StepEnd::failed;
  const std::string command =
      "\"" + testProgramFolder() + "\\" + program + "\" " + arguments + " " + event;
  PROCESS_INFORMATION info{};
  if (!startProcess(nullptr, widePath(command), nullptr, 0, nullptr, info)) {
    CloseHandle(reached);
    return StepEnd::failed;
  }
  HANDLE both[] = {reached, info.hProcess};
  const DWORD first = WaitForMultipleObjects(2, both, FALSE, kPatienceMs);
  DWORD exitCode = 0xDEAD0001;
  if (first == WAIT_OBJECT_0 + 1) GetExitCodeProcess(info.hProcess, &exitCode);
  TerminateProcess(info.hProcess, 9);
  WaitForSingleObject(info.hProcess, kPatienceMs);
  if (processId != nullptr) *processId = info.dwProcessId;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  CloseHandle(reached);
  if (first == WAIT_OBJECT_0) return StepEnd::reached;
  return first == WAIT_OBJECT_0 + 1 && exitCode == 0 ? StepEnd::finished : StepEnd::failed;
}

// The writer, started on `target` and ended once it reports `step`. Returns its process
// id, false when it never reported the step.
bool endWriterAt(const std::string& target, const std::string& newContent, WriteStep step,
                 DWORD& processId) {
  return endProbeAtStep(
             "write_step_probe.exe",
             "\"" + target + "\" \"" + newContent + "\" " + std::to_string(static_cast<int>(step)),
             "write", static_cast<int>(step), &processId) == StepEnd::reached;
}

// A game of two missions holding kOld, and beside them the new content a writer is given.
FolderFiles gameWithMissions() {
  return {{"wdpz.ini", profileText(0, 0, 0, false)},
          {"config.ini", "[Screen]\r\nWidth 640\r\nHeight 480\r\n"},
          {"Level", "<folder>"},
          {missionPath(1), kOld},
          {missionPath(2), kOld},
          {"new-content", kNew}};
}

TEST(EndedWriter, EachStepLeavesOldOrNewContentAndTheNextApplyRemovesWhatIsLeft) {
  struct Case {
    WriteStep step;
    const char* name;
    bool replaced;        // the target holds the new content after the end
    bool leftOver;        // the end leaves the temporary file behind
    bool bearsSignature;  // what is left bears a temporary file's signature, for the next apply
  } cases[] = {
      // clang-format off
      {WriteStep::created,        "created",         false, true,  true},   // an empty file
      {WriteStep::deletePending,  "delete-pending",  false, false, false},
      {WriteStep::writing,        "writing",         false, false, false},  // part of the new content
      {WriteStep::flushed,        "flushed",         false, false, false},
      {WriteStep::pendingCleared, "pending cleared", false, true,  true},   // the whole new content
      // The whole new content with the target's attributes, which the next apply cannot
      // tell from a file of the user's: it stays.
      {WriteStep::attributed,     "attributed",      false, true,  false},
      {WriteStep::replaced,       "replaced",        true,  false, false},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("writer ended at step ") + c.name);
    GameFolder game("ended writer", gameWithMissions());
    const std::string level = game.path() + "\\Level";
    DWORD writer = 0;
    ASSERT_TRUE(endWriterAt(level + "\\sn01_.pst", game.path() + "\\new-content", c.step, writer));
    EXPECT_EQ(readBytes(level + "\\sn01_.pst"), c.replaced ? kNew : kOld);
    // The system removes a delete-pending file as it closes the ended writer's handles.
    std::vector<std::string> expectedLeft;
    const std::string left = inLevel(temporaryNameOf(writer, 1, L"sn01_.pst"));
    if (c.leftOver) expectedLeft.push_back(left);
    EXPECT_TRUE(
        waitUntil([&] { return temporaryNamesIn(game.path()) == expectedLeft; }, kPatienceMs))
        << testing::PrintToString(temporaryNamesIn(game.path()));
    if (c.leftOver) {
      EXPECT_EQ(hasSignatureAttributes(game.path() + "\\" + left), c.bearsSignature);
    }

    const ApplyOutcome outcome = applyOnce(game.path());
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty());
    if (c.bearsSignature) expectedLeft.clear();
    EXPECT_EQ(temporaryNamesIn(game.path()), expectedLeft);
    EXPECT_EQ(readBytes(level + "\\sn01_.pst"), kNew);
    EXPECT_EQ(readBytes(level + "\\sn02_.pst"), kNew);
  }
}

// Only files that carry the whole signature, a name of the writer's own form for a file the
// launcher writes in that folder and the hidden and system attributes, of processes that
// have ended, are removed; a running writer's file, other names, files without the
// attributes (a user's "~wr1-1.tmp" among them), folders and read-only files stay byte for
// byte.
TEST(EndedWriter, TheApplyRemovesOnlyTemporaryFilesOfEndedWriters) {
  // 嘰 is 87 5C, 媆 8B 5C: second bytes that read as a backslash in the folder's name.
  GameFolder game(toGbk(L"ended 嘰媆"), gameWithMissions());
  DWORD ended = 0;
  ASSERT_TRUE(endWriterAt(game.path() + "\\config.ini", game.path() + "\\new-content",
                          WriteStep::pendingCleared, ended));
  const std::string writerLeft = temporaryNameOf(ended, 1, L"config.ini");
  ASSERT_TRUE(pathExists(game.path() + "\\" + writerLeft));
  ASSERT_TRUE(hasSignatureAttributes(game.path() + "\\" + writerLeft));
  const DWORD signature = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const std::string dead = temporaryNameOf(ended, 7, L"sn01_.pst");
  struct Entry {
    std::string name;
    DWORD attributes;  // besides those of a new file
    bool removed;
  } entries[] = {
      {inLevel(dead), signature, true},
      {temporaryNameOf(ended, 7, L"wdpz.ini"), signature, true},
      {temporaryNameOf(ended, 8, L"原版副武器.txt"), signature, true},
      // Leftovers of files the launcher does not write there, or at all, and of process id
      // 0, which no writer has.
      {inLevel(temporaryNameOf(ended, 8, L"原版副武器.txt")), signature, false},
      {temporaryNameOf(ended, 6, L"mysave.dat"), signature, false},
      {"~wr0-9.config.ini.tmp", signature, false},
      {inLevel(temporaryNameOf(GetCurrentProcessId(), 1, L"sn01_.pst")), signature,
       false},  // running
      // A user's files of the old form (no process has the id 1 or 0x2a), and of the
      // writer's form without the attributes or with only one of them.
      {"~wr1-1.tmp", 0, false},
      {inLevel("~wr2a-7.tmp"), 0, false},
      {inLevel(temporaryNameOf(ended, 9, L"sn01_.pst")), 0, false},
      {inLevel(temporaryNameOf(ended, 10, L"sn01_.pst")), FILE_ATTRIBUTE_HIDDEN, false},
      {inLevel(temporaryNameOf(ended, 11, L"sn01_.pst")), FILE_ATTRIBUTE_SYSTEM, false},
      // Names of other forms, with the attributes.
      {inLevel("~wr" + std::to_string(ended) + "x-1.sn01_.pst.tmp"), signature, false},
      {inLevel("~wr0" + dead.substr(3)), signature, false},
      {inLevel("~wrzz-1.sn01_.pst.tmp"), signature, false},
      {inLevel(dead + ".bak"), signature, false},
      {inLevel(temporaryNameOf(ended, 12, L"")), signature, false},  // no target's name
      {inLevel("~wr" + std::to_string(ended) + "-1.tmp"), signature, false},
  };
  int n = 0;
  for (const Entry& e : entries) {
    const std::string path = game.path() + "\\" + e.name;
    writeBytes(path, "content " + std::to_string(++n) + "\r\n");
    if (e.attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), e.attributes)) << e.name;
    }
  }
  const std::string folderName = inLevel(temporaryNameOf(ended, 3, L"sn01_.pst"));
  const std::string readOnlyName = inLevel(temporaryNameOf(ended, 4, L"sn01_.pst"));
  makeFolder(game.path() + "\\" + folderName);
  SetFileAttributesA((game.path() + "\\" + folderName).c_str(),
                     FILE_ATTRIBUTE_DIRECTORY | signature);
  writeBytes(game.path() + "\\" + readOnlyName, "kept");
  SetFileAttributesA((game.path() + "\\" + readOnlyName).c_str(),
                     FILE_ATTRIBUTE_READONLY | signature);

  const ApplyOutcome outcome = applyOnce(game.path());
  EXPECT_EQ(outcome.exitCode, 0u);
  n = 0;
  for (const Entry& e : entries) {
    const std::string content = "content " + std::to_string(++n) + "\r\n";
    EXPECT_EQ(readBytes(game.path() + "\\" + e.name), e.removed ? "<missing>" : content) << e.name;
  }
  EXPECT_TRUE(pathExists(game.path() + "\\" + folderName));
  EXPECT_EQ(readBytes(game.path() + "\\" + readOnlyName), "kept");
  EXPECT_FALSE(pathExists(game.path() + "\\" + writerLeft));
  SetFileAttributesA((game.path() + "\\" + readOnlyName).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

namespace {

// The apply's writes (tests/faults/apply_step_probe.cpp) ended at write step `step` of the
// whole apply.
StepEnd endApplyAt(const std::string& folder, int step) {
  return endProbeAtStep("apply_step_probe.exe", "\"" + folder + "\" " + std::to_string(step),
                        "apply", step);
}

// The first apply ended at each step of each file it writes: every mission is unchanged or
// its original is recorded, and an apply with 各关原版 then gives back every mission byte
// for byte.
TEST(EndedWriter, FirstApplyEndedAtAnyStepKeepsEachMissionOrItsOriginal) {
  const std::string small = "// 2\r\nint PlayerWeapon2 = 3; // x\r\nEnd";
  const std::string recordName = toGbk(L"原版副武器.txt");
  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE("apply ended at write step " + std::to_string(step));
    GameFolder game("ended writer", gameWithMissions());
    writeBytes(game.path() + "\\Level\\sn02_.pst", small);
    const StepEnd end = endApplyAt(game.path(), step);
    // Past the last step the apply writes everything; anything else is a failure, never
    // the end of the steps.
    ASSERT_NE(end, StepEnd::failed);
    if (end == StepEnd::finished) break;
    const std::string record = readBytes(game.path() + "\\" + recordName);
    const struct {
      const char* name;
      std::string before, after, line;
    } missions[] = {
        {"sn01_.pst", kOld, kNew, "int PlayerWeapon2 = 1;"},
        {"sn02_.pst", small, "// 2\r\nint PlayerWeapon2 = 58;\r\nEnd",
         "int PlayerWeapon2 = 3; // x"},
    };
    for (const auto& m : missions) {
      const std::string now = readBytes(game.path() + "\\Level\\" + m.name);
      // Its original in the record: the name, a tab, the entry's number, "original", the
      // line and its check.
      bool recorded = false;
      for (size_t at = 0; at < record.size();) {
        size_t end = record.find("\r\n", at);
        if (end == std::string::npos) break;
        const std::string line = record.substr(at, end - at);
        recorded |= line.starts_with(std::string(m.name) + "\t") &&
                    line.find("\toriginal\t" + m.line + "\t~") != std::string::npos;
        at = end + 2;
      }
      EXPECT_TRUE(now == m.before || (now == m.after && recorded)) << m.name;
    }
    const ApplyOutcome outcome = applyOnce(game.path(), 12);  // 各关原版
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(readBytes(game.path() + "\\Level\\sn01_.pst"), kOld);
    EXPECT_EQ(readBytes(game.path() + "\\Level\\sn02_.pst"), small);
  }
  // The record, "wdpz.ini", two missions and "config.ini": each written in at least six
  // steps (one of them for each piece written), all of which were ended at.
  EXPECT_GT(step, 5 * 6);
}

}  // namespace
