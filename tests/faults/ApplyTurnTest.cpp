// One apply at a time per game folder, with the real program and its test build on real
// files: two applies at once take turns and record only the game's own lines; the program
// started with administrator rights gets the turn while its parent waits for it; an apply
// that cannot get the turn in time says so and changes no file. Also a file that another
// program opens in the instant before it is replaced: listed as in use.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "services/ApplyTurn.h"
#include "services/FileFault.h"
#include "services/WriteSteps.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/BoxWatcher.h"
#include "tests/support/GameFolder.h"
#include "tests/support/Immutable.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "tests/support/UiProbe.h"

namespace {

const wchar_t kTurnUnavailable[] =
    L"另一个功能设置程序正在修改游戏文件，等待后仍未完成。这次的设置没有保存，游戏文件都没有更改。";

// The texts of the boxes an apply showed, without their captions.
std::vector<std::wstring> boxTexts(const ApplyOutcome& outcome) {
  std::vector<std::wstring> texts;
  for (const std::wstring& box : outcome.boxes) texts.push_back(box.substr(box.find(L'\n') + 1));
  return texts;
}

// Mission 3 ships with the very line the first apply below writes (weapon 10): that apply
// needs no record of it, the second does.
const std::string kMission3 = "int PlayerWeapon2 = 10;\r\nint EnemyCount = 3;\r\n";

FolderFiles raceGameFiles() {
  FolderFiles files = twoMissionGameFiles();
  files[missionPath(3)] = kMission3;
  return files;
}

// Two applies on one folder, the first (weapon 10) held after reading the record and the
// missions: the second (weapon 20) waits for it, then applies on what it finds. The
// record holds each mission's own line, the missions the second's weapon (20), and 各关原版
// gives every mission back byte for byte.
TEST(ApplyTurn, TwoAppliesAtOnceTakeTurnsAndRecordOnlyTheGamesOwnLines) {
  GameFolder game("race", raceGameFiles());
  const FolderFiles before = readFolder(game.path());

  const TwoApplies run =
      applyTwoAtOnce(game.path(), L"--apply-settings=0,1,1,1", L"--apply-settings=1,2,0,0");
  EXPECT_TRUE(run.firstHeld);
  EXPECT_TRUE(run.secondWaited) << "the second apply did not wait for the first";
  EXPECT_EQ(run.firstExit, 0u);
  EXPECT_EQ(run.secondExit, 0u);

  FolderFiles expected = before;
  expected["wdpz.ini"] = profileText(1, 2, 0, false);
  expected["config.ini"] = patchedConfig(800, 600);
  expected[missionPath(1)] = patchedMission(1, 20);
  expected[missionPath(2)] = patchedMission(2, 20);
  expected[missionPath(3)] = "int PlayerWeapon2 = 20;\r\nint EnemyCount = 3;\r\n";
  // Mission 3's own line is the one the first apply writes: the first leaves it, and the
  // second, which never wrote it, records it as the mission's original.
  expected[originalsRecordName()] = originalsRecord({{1, false, sampleWeaponLine()},
                                                     {1, true, "int PlayerWeapon2 = 10;"},
                                                     {1, true, "int PlayerWeapon2 = 20;"},
                                                     {2, false, sampleWeaponLine()},
                                                     {2, true, "int PlayerWeapon2 = 10;"},
                                                     {2, true, "int PlayerWeapon2 = 20;"},
                                                     {3, false, "int PlayerWeapon2 = 10;"},
                                                     {3, true, "int PlayerWeapon2 = 20;"}});
  expectFolder(readFolder(game.path()), expected);

  const ApplyOutcome restore =
      runWithArguments(game.path(), L"--apply-settings=12,0,0,0", kPatienceMs);
  EXPECT_EQ(restore.exitCode, 0u);
  EXPECT_TRUE(restore.boxes.empty());
  EXPECT_EQ(game.read(missionPath(1)), sampleMission(1));
  EXPECT_EQ(game.read(missionPath(2)), sampleMission(2));
  EXPECT_EQ(game.read(missionPath(3)), kMission3);
}

// How many handles are open to the folder's turn (the named mutex of its identity), this
// one included; 0 when it cannot be opened or asked.
ULONG turnHandles(const std::string& folder) {
  struct BasicInformation {  // OBJECT_BASIC_INFORMATION
    ULONG attributes;
    ACCESS_MASK grantedAccess;
    ULONG handleCount;
    ULONG pointerCount;
    ULONG reserved[10];
  };
  using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<QueryObject>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  const std::wstring name = applyTurnName(Path(widePath(folder)));
  HANDLE turn = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
  if (turn == nullptr || query == nullptr) return 0;
  BasicInformation info{};
  const bool asked = query(turn, 0, &info, sizeof info, nullptr) >= 0;
  CloseHandle(turn);
  return asked ? info.handleCount : 0;
}

// The real program finds the folder's turn held by another apply: it waits for it, and once
// the other has written its files and given the turn back, it applies its own choices over
// them, with no message. The other (the test build, held at its first write) goes on only
// once the program has opened the turn to wait for it, which it does right before it
// waits: an apply that did not wait would have said that the turn was kept.
TEST(ApplyTurn, TheProgramWaitsForTheTurnAndThenApplies) {
  struct Case {
    const char* name;
    bool window;
  } cases[] = {
      {"the window", true},
      {"the elevated-apply argument", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder game("turn-wait", twoMissionGameFiles());
    ProbeApply holder(game.path(), "1", L"--apply-settings=1,2,0,0");
    ASSERT_TRUE(holder.waitHeld());
    const ULONG held = turnHandles(game.path());
    ASSERT_GT(held, 1u) << "the holder's handle and this one";

    // Once the program has opened the turn to wait for it, the holder finishes and gives
    // it back; from a thread of its own, while this one drives the program.
    bool opened = false;
    DWORD holderExit = 0xDEAD0001;
    std::thread release([&] {
      opened = waitUntil([&] { return turnHandles(game.path()) > held; }, kPatienceMs);
      holderExit = holder.finish();
    });
    const ApplyOutcome outcome =
        c.window ? applyOnce(game.path())
                 : runWithArguments(game.path(), L"--apply-settings=11,3,1,0", kPatienceMs);
    release.join();

    EXPECT_TRUE(opened) << "the program never opened the folder's turn";
    EXPECT_EQ(holderExit, 0u);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(boxTexts(outcome), std::vector<std::wstring>{}) << "the program did not wait";
    // The program's choices over the holder's (weapon 20): 忍刀 with 速度属性（风）, 58.
    EXPECT_EQ(game.read("wdpz.ini"), profileText(11, 3, 1, false));
    EXPECT_EQ(game.read(missionPath(1)), patchedMission(1, 58));
    EXPECT_EQ(game.read(missionPath(2)), patchedMission(2, 58));
    EXPECT_EQ(game.read("config.ini"), patchedConfig(1024, 768));
    EXPECT_EQ(game.read(originalsRecordName()),
              originalsRecord({{1, false, sampleWeaponLine()},
                               {1, true, "int PlayerWeapon2 = 20;"},
                               {1, true, "int PlayerWeapon2 = 58;"},
                               {2, false, sampleWeaponLine()},
                               {2, true, "int PlayerWeapon2 = 20;"},
                               {2, true, "int PlayerWeapon2 = 58;"}}));
    if (c.window) {
      EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    }
  }
}

// Yes to the question: the program started with administrator rights takes the folder's
// turn while its parent waits for it, writes the mission freed meanwhile and ends without a
// message; the parent then starts the game.
TEST(ApplyTurn, TheAdministratorInstanceGetsTheTurnWhileItsParentWaits) {
  GameFolder game("turn-admin", twoMissionGameFiles());
  std::optional<Immutable> mission2(game / missionPath(2));
  ASSERT_TRUE(mission2->set());
  RunningProgram program;
  ASSERT_TRUE(program.start(game.launcherPath(), game.path()));
  HWND window = waitForWindow(program.processId(), L"WTWindow", kPatienceMs);
  ASSERT_NE(window, nullptr);
  chooseInLauncher(window);
  pressStart(window);
  HWND question = waitForMessageBox(program.processId(), kPatienceMs);
  ASSERT_NE(question, nullptr);
  mission2.reset();
  PostMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);

  // Any box of another program is the started instance's: read and answered, so that a
  // fault ends the test instead of holding it.
  std::vector<std::wstring> otherBoxes;
  DWORD exitCode = 0;
  const DWORD start = GetTickCount();
  while (!program.waitExit(50, &exitCode) && GetTickCount() - start < kPatienceMs) {
    HWND box = firstVisibleTopWindow(
        [&](HWND w) { return processOf(w) != program.processId() && classOf(w) == L"#32770"; });
    if (box == nullptr) continue;
    const MessageBoxInfo info = readMessageBox(box);
    otherBoxes.push_back(info.caption + L"\n" + info.text);
    dismissMessageBox(box);
    waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kPatienceMs);
  }
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(otherBoxes.empty()) << "the started instance said: " << toGbk(otherBoxes[0]);
  EXPECT_EQ(game.read(missionPath(2)), patchedMission(2, 58));
  EXPECT_EQ(game.read(missionPath(1)), patchedMission(1, 58));
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
}

// Another apply holds the folder's turn (held at its first write) for longer than the
// program waits: the window's apply and the administrator's each say so and change no
// file; the window's then starts the game as after any list, the other ends with 1.
TEST(ApplyTurn, AnApplyThatCannotGetTheTurnSaysSoAndWritesNothing) {
  struct Case {
    const char* name;
    bool window;
    DWORD exitCode;
  } cases[] = {
      {"the window", true, 0},
      {"the elevated-apply argument", false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder game("turn-held", twoMissionGameFiles());
    const std::vector<std::string> names = {"wdpz.ini", "config.ini", missionPath(1),
                                            missionPath(2), originalsRecordName()};
    std::vector<std::string> before;
    for (const std::string& name : names) before.push_back(game.read(name));

    ProbeApply holder(game.path(), "1", L"--apply-settings=1,2,0,0");
    ASSERT_TRUE(holder.waitHeld());
    const ApplyOutcome outcome =
        c.window ? applyOnce(game.path())
                 : runWithArguments(game.path(), L"--apply-settings=11,3,1,0", kPatienceMs);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_EQ(boxTexts(outcome), std::vector<std::wstring>{kTurnUnavailable});
    for (size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(game.read(names[i]), before[i]) << names[i];
    }
    if (c.window) {
      EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    }
    // The holder then writes its own choices: the turn was never taken from it.
    EXPECT_EQ(holder.finish(), 0u);
    EXPECT_EQ(game.read(missionPath(1)), patchedMission(1, 20));
  }
}

// The writer (tests/faults/write_step_probe.cpp) held right before its rename onto the
// target, which another program then opens, sharing everything, as a reader or another
// writer may: the system refuses the rename with "access denied", and the cause told is
// that the file is in use, not a lack of permission. Without the other program the same
// writer replaces the file.
TEST(CollidingWriter, ATargetOpenedJustBeforeTheRenameIsInUse) {
  struct Case {
    const char* name;
    bool opened;
    DWORD exitCode;  // 0 written, 10 + the cause when not
    const char* after;
  } cases[] = {
      {"opened by another program", true, 10 + static_cast<DWORD>(FileFault::inUse), "old"},
      {"left alone", false, 0, "new"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder("collide");
    const std::string target = folder.path() + "\\target.ini";
    writeBytes(target, "old");
    writeBytes(folder.path() + "\\new-content", "new");
    const std::string event =
        "collide-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(c.opened ? 1 : 0);
    HANDLE reached = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, (event + ".go").c_str());
    ASSERT_TRUE(reached != nullptr && go != nullptr);
    const std::string command = "\"" + testProgramFolder() + "\\write_step_probe.exe\" \"" +
                                target + "\" \"" + folder.path() + "\\new-content\" " +
                                std::to_string(static_cast<int>(WriteStep::attributed)) + " " +
                                event;
    PROCESS_INFORMATION writer{};
    ASSERT_TRUE(startProcess(nullptr, widePath(command), nullptr, 0, nullptr, writer));
    HANDLE either[] = {reached, writer.hProcess};
    EXPECT_EQ(WaitForMultipleObjects(2, either, FALSE, kPatienceMs), WAIT_OBJECT_0);
    HANDLE other = INVALID_HANDLE_VALUE;
    if (c.opened) {
      other = CreateFileA(target.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      EXPECT_NE(other, INVALID_HANDLE_VALUE);
    }
    SetEvent(go);
    DWORD exitCode = 0xDEAD0001;
    if (WaitForSingleObject(writer.hProcess, kPatienceMs) == WAIT_OBJECT_0) {
      GetExitCodeProcess(writer.hProcess, &exitCode);
    } else {
      TerminateProcess(writer.hProcess, 9);
    }
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(readBytes(target), c.after);
    for (HANDLE handle : {writer.hThread, writer.hProcess, reached, go}) CloseHandle(handle);
  }
}

}  // namespace
