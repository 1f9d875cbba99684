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

// A step probe (a test build that sets the named event once it reaches the step it is
// given, then waits there) started with `arguments` and the event's name, and ended as soon
// as it reports the step. False when it ended before it reached the step; its process id
// goes to processId.
bool endProbeAtStep(const std::string& program, const std::string& arguments, const char* kind,
                    int step, DWORD* processId = nullptr) {
  char event[64];
  std::snprintf(event, sizeof event, "%s-step-%lu-%d", kind, GetCurrentProcessId(), step);
  HANDLE reached = CreateEventA(nullptr, TRUE, FALSE, event);
  if (reached == nullptr) return false;
  const std::string command =
      "\"" + testProgramFolder() + "\\" + program + "\" " + arguments + " " + event;
  PROCESS_INFORMATION info{};
  if (!startProcess(nullptr, widePath(command), nullptr, 0, nullptr, info)) {
    CloseHandle(reached);
    return false;
  }
  HANDLE both[] = {reached, info.hProcess};
  const bool atStep = WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
  TerminateProcess(info.hProcess, 9);
  WaitForSingleObject(info.hProcess, 60000);
  if (processId != nullptr) *processId = info.dwProcessId;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  CloseHandle(reached);
  return atStep;
}

// The writer, started on `target` and ended once it reports `step`. Returns its process
// id, false when it never reported the step.
bool endWriterAt(const std::string& target, const std::string& newContent, WriteStep step,
                 DWORD& processId) {
  return endProbeAtStep(
      "write_step_probe.exe",
      "\"" + target + "\" \"" + newContent + "\" " + std::to_string(static_cast<int>(step)),
      "write", static_cast<int>(step), &processId);
}

struct GameWithMissions {
  TempFolder temp;
  std::string dir = temp.path();
  explicit GameWithMissions(const std::string& tag = "ended writer") : temp(tag) {
    placePrograms(dir);
    writeFolder(dir, {{"wdpz.ini", profileText(0, 0, 0, false)},
                      {"config.ini", "[Screen]\r\nWidth 640\r\nHeight 480\r\n"},
                      {"Level", "<folder>"},
                      {"Level\\sn01_.pst", kOld},
                      {"Level\\sn02_.pst", kOld}});
    writeBytes(dir + "\\new-content", kNew);
  }
};

TEST(EndedWriter, EachStepLeavesOldOrNewContentAndTheNextApplyRemovesWhatIsLeft) {
  struct Case {
    WriteStep step;
    const char* name;
    bool replaced;  // the target holds the new content after the end
    bool leftOver;  // the end leaves the temporary file behind
  } cases[] = {
      // clang-format off
      {WriteStep::created,  "created",  false, true},   // an empty file, not yet marked
      {WriteStep::marked,   "marked",   false, false},
      {WriteStep::writing,  "writing",  false, false},  // part of the new content written
      {WriteStep::flushed,  "flushed",  false, false},
      {WriteStep::unmarked, "unmarked", false, true},   // the whole new content
      {WriteStep::replaced, "replaced", true,  false},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("writer ended at step ") + c.name);
    GameWithMissions game;
    const std::string level = game.dir + "\\Level";
    DWORD writer = 0;
    ASSERT_TRUE(endWriterAt(level + "\\sn01_.pst", game.dir + "\\new-content", c.step, writer));
    EXPECT_EQ(readBytes(level + "\\sn01_.pst"), c.replaced ? kNew : kOld);
    // The system removes a marked file as it closes the ended writer's handles.
    std::vector<std::string> expectedLeft;
    if (c.leftOver) expectedLeft.push_back(inLevel(temporaryName(writer, 1)));
    EXPECT_TRUE(waitUntil([&] { return temporaryNamesIn(game.dir) == expectedLeft; }, 30000))
        << testing::PrintToString(temporaryNamesIn(game.dir));

    const ApplyOutcome outcome = applyOnce(game.dir);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(temporaryNamesIn(game.dir), std::vector<std::string>{});
    EXPECT_EQ(readBytes(level + "\\sn01_.pst"), kNew);
    EXPECT_EQ(readBytes(level + "\\sn02_.pst"), kNew);
  }
}

// Only names of the writer's own form, of processes that have ended, are removed; a running
// writer's file, other names, folders and read-only files stay.
TEST(EndedWriter, TheApplyRemovesOnlyTemporaryFilesOfEndedWriters) {
  // 嘰 is 87 5C, 媆 8B 5C: second bytes that read as a backslash in the folder's name.
  GameWithMissions game(toGbk(L"ended 嘰媆"));
  DWORD ended = 0;
  ASSERT_TRUE(endWriterAt(game.dir + "\\config.ini", game.dir + "\\new-content",
                          WriteStep::unmarked, ended));
  const std::string deadName = temporaryName(ended, 7);
  const std::string liveName = temporaryName(GetCurrentProcessId(), 1);  // this test runs on
  struct Entry {
    std::string name;
    bool removed;
  } entries[] = {
      {inLevel(deadName), true},
      {deadName, true},
      {inLevel(liveName), false},
      {inLevel("~wr" + std::to_string(ended) + "x-1.tmp"), false},
      {inLevel("~wr0" + temporaryName(ended, 1).substr(3)), false},
      {inLevel("~wrzz-1.tmp"), false},
      {inLevel(temporaryName(ended, 2) + ".bak"), false},
  };
  for (const Entry& e : entries) writeBytes(game.dir + "\\" + e.name, "left");
  const std::string folderName = inLevel(temporaryName(ended, 3));
  const std::string readOnlyName = inLevel(temporaryName(ended, 4));
  makeFolder(game.dir + "\\" + folderName);
  writeBytes(game.dir + "\\" + readOnlyName, "kept");
  SetFileAttributesA((game.dir + "\\" + readOnlyName).c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string writerLeft = temporaryName(ended, 1);  // beside config.ini
  ASSERT_TRUE(pathExists(game.dir + "\\" + writerLeft));

  const ApplyOutcome outcome = applyOnce(game.dir);
  EXPECT_EQ(outcome.exitCode, 0u);
  for (const Entry& e : entries)
    EXPECT_EQ(!pathExists(game.dir + "\\" + e.name), e.removed) << e.name;
  EXPECT_TRUE(pathExists(game.dir + "\\" + folderName));
  EXPECT_TRUE(pathExists(game.dir + "\\" + readOnlyName));
  EXPECT_FALSE(pathExists(game.dir + "\\" + writerLeft));
  SetFileAttributesA((game.dir + "\\" + readOnlyName).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

namespace {

// The apply's writes (tests/faults/apply_step_probe.cpp) ended at write step `step` of the
// whole apply. False when the apply ended before it reached that step.
bool endApplyAt(const std::string& folder, int step) {
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
    GameWithMissions game;
    writeBytes(game.dir + "\\Level\\sn02_.pst", small);
    if (!endApplyAt(game.dir, step)) break;
    const std::string record = readBytes(game.dir + "\\" + recordName);
    const struct {
      const char* name;
      std::string before, after, line;
    } missions[] = {
        {"sn01_.pst", kOld, kNew, "int PlayerWeapon2 = 1;"},
        {"sn02_.pst", small, "// 2\r\nint PlayerWeapon2 = 58;\r\nEnd",
         "int PlayerWeapon2 = 3; // x"},
    };
    for (const auto& m : missions) {
      const std::string now = readBytes(game.dir + "\\Level\\" + m.name);
      const bool recorded =
          record.find(std::string(m.name) + "\t" + m.line + "\r\n") != std::string::npos;
      EXPECT_TRUE(now == m.before || (now == m.after && recorded)) << m.name;
    }
    const ApplyOutcome outcome = applyOnce(game.dir, 12);  // 各关原版
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(readBytes(game.dir + "\\Level\\sn01_.pst"), kOld);
    EXPECT_EQ(readBytes(game.dir + "\\Level\\sn02_.pst"), small);
  }
  // The record, "wdpz.ini", two missions and "config.ini": each written in at least six
  // steps (one of them for each piece written), all of which were ended at.
  EXPECT_GT(step, 5 * 6);
}

}  // namespace
