// The real launcher under Wine, driven like a user: choices made in the window, the button
// pressed or the window closed, and then the game folder and the stand-in game's record
// read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "tests/support/GameFolder.h"
#include "tests/support/HeldFile.h"
#include "tests/support/LaunchRecord.h"

namespace {

// A profile of the given lines, as a user or an older version may have left it.
std::string profileOfLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return toGbk(text);
}

const int kMissions[] = {1, 2, 7, 20};

// The files that the tests compare before and after a run that must change nothing.
std::vector<std::string> snapshot(const GameFolder& game) {
  std::vector<std::string> files;
  for (const char* name : {"wdpz.ini", "config.ini", "launch-record.txt", "Level\\sn01_.pst",
                           "Level\\sn02_.pst", "Level\\sn03_.pst", "Level\\sn07_.pst",
                           "Level\\sn20_.pst", "Level\\sn1_.pst", "Level\\sn21_.pst"}) {
    files.push_back(game.read(name));
  }
  return files;
}

// What "wdpz.ini" holds after the apply, and what the next run shows.
struct SavedChoices {
  int weapon;
  int attribute;
  int resolution;
  bool windowed;
};

struct ApplyCase {
  const char* name;
  const char* folderTag;
  std::vector<std::wstring> profile;  // empty: no "wdpz.ini"
  LauncherChoice choice;              // kLeave keeps what the window loaded
  int weaponNumber;                   // in each mission's weapon line
  SavedChoices saved;
  int width;  // lines 2 and 3 of "config.ini"
  int height;
};

const ApplyCase kApplyCases[] = {
    {.name = "first run: 飞镖, 速度, 800*600, windowed",
     .folderTag = "apply",
     .profile = {},
     .choice = {.weapon = 0, .attribute = 3, .resolution = 0, .windowed = 1},
     .weaponNumber = 28,
     .saved = {.weapon = 0, .attribute = 3, .resolution = 0, .windowed = true},
     .width = 800,
     .height = 600},
    {.name = "stored 忍刀, 平均, 1024*788 kept as loaded",
     .folderTag = "apply",
     .profile = {L"[我的设置]", L"副武器选择=11", L"副武器属性=0", L"分辨率选择=1",
                 L"是否窗口化=假"},
     .choice = {.weapon = kLeave, .attribute = kLeave, .resolution = kLeave, .windowed = kLeave},
     .weaponNumber = 55,
     .saved = {.weapon = 11, .attribute = 0, .resolution = 1, .windowed = false},
     .width = 1024,
     .height = 768},
    {.name = "folder with a blank: 乾坤刀, 攻击, box cleared",
     .folderTag = "game dir",
     .profile = {L"[我的设置]", L"副武器选择=0", L"副武器属性=0", L"分辨率选择=0",
                 L"是否窗口化=真"},
     .choice = {.weapon = 9, .attribute = 1, .resolution = 1, .windowed = 0},
     .weaponNumber = 48,
     .saved = {.weapon = 9, .attribute = 1, .resolution = 1, .windowed = false},
     .width = 1024,
     .height = 768},
    // A damaged stored attribute selects the last entry, never none: 飞镖 with 速度属性（风）.
    {.name = "a negative stored attribute: the last one",
     .folderTag = "apply",
     .profile = {L"[我的设置]", L"副武器选择=0", L"副武器属性=-3", L"分辨率选择=0",
                 L"是否窗口化=真"},
     .choice = {.weapon = kLeave, .attribute = kLeave, .resolution = kLeave, .windowed = kLeave},
     .weaponNumber = 28,
     .saved = {.weapon = 0, .attribute = 3, .resolution = 0, .windowed = true},
     .width = 800,
     .height = 600},
};

TEST(ApplyTest, ButtonSavesPatchesAndStartsTheGame) {
  for (const ApplyCase& c : kApplyCases) {
    SCOPED_TRACE(c.name);
    GameFolder game(c.folderTag);
    if (!c.profile.empty()) game.write("wdpz.ini", profileOfLines(c.profile));
    std::string untouched = sampleMission(1);
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    chooseInLauncher(run.window, c.choice);
    pressStart(run.window);
    EXPECT_EQ(run.exitCode(), 0u);

    EXPECT_EQ(game.read("wdpz.ini"),
              profileText(c.saved.weapon, c.saved.attribute, c.saved.resolution, c.saved.windowed));
    for (int number : kMissions) {
      EXPECT_EQ(game.read(missionPath(number)), patchedMission(number, c.weaponNumber)) << number;
    }
    EXPECT_EQ(game.read("Level\\sn03_.pst"), "<missing>");
    EXPECT_EQ(game.read("Level\\sn1_.pst"), untouched);
    EXPECT_EQ(game.read("Level\\sn21_.pst"), sampleMission(21));
    EXPECT_EQ(game.read("config.ini"), patchedConfig(c.width, c.height));
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), c.saved.windowed));

    // The next run shows what was saved.
    LauncherRun again;
    ASSERT_TRUE(again.start(game.launcherPath(), game.path()));
    EXPECT_EQ(readList(again.control(kWeaponList)).selection, c.saved.weapon);
    EXPECT_EQ(readList(again.control(kAttributeList)).selection, c.saved.attribute);
    EXPECT_EQ(readList(again.control(kResolutionList)).selection, c.saved.resolution);
    EXPECT_EQ(isTicked(again.control(kWindowedBox)), c.saved.windowed);
    PostMessageW(again.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(again.exitCode(), 0u);
  }
}

TEST(ApplyTest, KeyboardOnlyEnterDoesNothingSpacePresses) {
  GameFolder game("keys");
  LauncherRun run;
  ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
  DWORD thread = run.program.threadId();
  ASSERT_EQ(focusReaching(thread, kWeaponList), kWeaponList);
  postKey(focusOf(thread), VK_END);  // 各关原版
  ASSERT_TRUE(
      waitUntil([&] { return readList(run.control(kWeaponList)).selection == 12; }, kPatienceMs));
  postKey(focusOf(thread), VK_UP);  // 忍刀
  ASSERT_TRUE(
      waitUntil([&] { return readList(run.control(kWeaponList)).selection == 11; }, kPatienceMs));
  for (int next : {kResolutionList, kAttributeList, kStartButton}) {
    postKey(focusOf(thread), VK_TAB);
    ASSERT_EQ(focusReaching(thread, next), next);
  }
  // No default push button: Enter on the focused button starts nothing. Keys are handled in
  // the order they come, and a press would write the profile before the next key: once the
  // Tab after Enter has moved the focus on, Enter has been handled.
  postKey(focusOf(thread), VK_RETURN);
  postKey(focusOf(thread), VK_TAB);
  ASSERT_EQ(focusReaching(thread, kWindowedBox), kWindowedBox);
  EXPECT_TRUE(run.program.running());
  EXPECT_EQ(game.read("wdpz.ini"), "<missing>");
  for (int next : {kWeaponList, kResolutionList, kAttributeList, kStartButton}) {
    postKey(focusOf(thread), VK_TAB);
    ASSERT_EQ(focusReaching(thread, next), next);
  }
  postKey(focusOf(thread), VK_SPACE);
  EXPECT_EQ(run.exitCode(), 0u);
  EXPECT_EQ(game.read("wdpz.ini"), profileText(11, 0, 0, false));
  EXPECT_EQ(game.read("Level\\sn07_.pst"), patchedMission(7, 55));
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
}

enum class CloseBy { kEsc, kCloseBox, kAltF4 };

struct CloseCase {
  const char* name;
  CloseBy how;
};

const CloseCase kCloseCases[] = {
    {"Esc", CloseBy::kEsc},
    {"close box", CloseBy::kCloseBox},
    {"Alt+F4", CloseBy::kAltF4},
};

TEST(ApplyTest, ClosingOtherwiseChangesNothing) {
  for (const CloseCase& c : kCloseCases) {
    SCOPED_TRACE(c.name);
    GameFolder game("close");
    game.write("wdpz.ini", profileText(1, 1, 0, false));
    std::vector<std::string> before = snapshot(game);
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    // The user changes everything first; none of it may be saved.
    chooseInLauncher(run.window, {10, 3, 1, 1});
    HWND focus = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (focus = focusOf(run.program.threadId())) != nullptr; },
                          kPatienceMs));
    switch (c.how) {
      case CloseBy::kEsc:
        postKey(focus, VK_ESCAPE);
        break;
      case CloseBy::kCloseBox: {
        POINT point{};
        ASSERT_TRUE(closeBoxPoint(run.window, &point));
        clickAt(point);
        break;
      }
      case CloseBy::kAltF4:
        ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == run.window; }, kPatienceMs));
        typeKey(VK_F4, {VK_MENU});
        break;
    }
    EXPECT_EQ(run.exitCode(), 0u);
    // A game the program had started would still be listed as its child, or have left its
    // record on ending: the snapshot below includes the record.
    EXPECT_TRUE(runningGames(run.program.processId()).empty());
    EXPECT_EQ(snapshot(game), before);
  }
}

TEST(ApplyTest, MissingLevelFolderIsReportedBetweenTheMissionsAndConfigIni) {
  GameFolder game("nolevel", false);
  LauncherRun run;
  ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
  pressStart(run.window);
  HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
  ASSERT_NE(box, nullptr);
  MessageBoxInfo info = readMessageBox(box);
  EXPECT_EQ(info.caption, L"信息：");
  EXPECT_EQ(info.text, L"找不到任务文件。");
  EXPECT_EQ(info.buttons.size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(run.window)) << "the box is task-modal";
  // The box comes once the profile is saved and the missions looked for, before
  // "config.ini" is written and the game started; no other apply waits on it.
  EXPECT_EQ(game.read("wdpz.ini"), profileText(0, 0, 0, false));
  EXPECT_EQ(game.read("config.ini"), kSampleConfig);
  EXPECT_EQ(game.read("launch-record.txt"), "<missing>");
  dismissMessageBox(box);
  EXPECT_EQ(run.exitCode(), 0u);
  EXPECT_EQ(game.read("wdpz.ini"), profileText(0, 0, 0, false));
  EXPECT_EQ(game.read("config.ini"), patchedConfig(800, 600));
  EXPECT_FALSE(pathExists(game / "Level"));
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
}

// A close request that reaches the window while the apply's message box is up ("End task"
// does this): the apply runs to its end, the game is started and the program ends as after
// any press. Posted: the box is then dismissed by a message posted after it, so the close
// is taken from the queue while the box is still up. Sent: the call returns once the
// window has handled it.
enum class CloseRequest { kPosted, kSent };

const struct {
  const char* name;
  CloseRequest how;
} kCloseDuringApply[] = {
    {"WM_CLOSE posted", CloseRequest::kPosted},
    {"WM_CLOSE sent", CloseRequest::kSent},
};

TEST(ApplyTest, CloseRequestDuringTheApplyWaitsForItsEnd) {
  for (const auto& c : kCloseDuringApply) {
    SCOPED_TRACE(c.name);
    GameFolder game("closeapply", false);
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    pressStart(run.window);
    HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(readMessageBox(box).text, L"找不到任务文件。");
    if (c.how == CloseRequest::kPosted) {
      PostMessageW(run.window, WM_CLOSE, 0, 0);
    } else {
      DWORD_PTR result = 0;
      EXPECT_NE(SendMessageTimeoutW(run.window, WM_CLOSE, 0, 0, SMTO_NORMAL, kPatienceMs, &result),
                0);
      EXPECT_TRUE(IsWindowVisible(box)) << "the box stays until it is answered";
    }
    dismissMessageBox(box);
    EXPECT_EQ(run.exitCode(), 0u);
    EXPECT_EQ(game.read("wdpz.ini"), profileText(0, 0, 0, false));
    EXPECT_EQ(game.read("config.ini"), patchedConfig(800, 600));
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
  }
}

struct ConfigCase {
  const char* name;
  const char* content;  // nullptr: no "config.ini"
  const char* message;  // what is wrong with it, before its path
};

const ConfigCase kShortConfigs[] = {
    {"missing", nullptr, gbk::configUnreadable},
    {"empty", "", gbk::configTooFewLines},
    {"two lines", "[Screen]\r\nWidth 640\r\n", gbk::configTooFewLines},
    {"bare line feeds", "[Screen]\nWidth 640\nHeight 480\n", gbk::configTooFewLines},
    // Four lines a player's editor saved with LF only: there and readable, but not three
    // lines as the game's CR LF separates them.
    {"four lines ending in LF", "[Display]\nWidth 640\nHeight 480\nColorBits 32\n",
     gbk::configTooFewLines},
};

TEST(ApplyTest, ShortConfigIsReportedAndTheGameIsNotStarted) {
  for (const ConfigCase& c : kShortConfigs) {
    SCOPED_TRACE(c.name);
    GameFolder game("shortcfg");
    if (c.content) {
      game.write("config.ini", c.content);
    } else {
      DeleteFileA((game / "config.ini").c_str());
    }
    std::string before = game.read("config.ini");
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    pressStart(run.window);
    HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
    ASSERT_NE(box, nullptr);
    MessageBoxInfo info = readMessageBox(box);
    EXPECT_EQ(info.text, fromGbk(std::string(c.message) + game.path() + "\\config.ini"));
    EXPECT_FALSE(IsWindowEnabled(run.window)) << "the box is task-modal";
    std::vector<DWORD> ours = childProcesses(GetCurrentProcessId());
    EXPECT_NE(std::find(ours.begin(), ours.end(), run.program.processId()), ours.end())
        << "a running program is listed as the child of the one that started it";
    dismissMessageBox(box);
    EXPECT_EQ(run.exitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(game.read("config.ini"), before);
    // The settings and the missions come first and stay done.
    EXPECT_EQ(game.read("wdpz.ini"), profileText(0, 0, 0, false));
    EXPECT_EQ(game.read("Level\\sn20_.pst"), patchedMission(20, 1));
    // A game the program had started would still be listed as its child, or have left its
    // record on ending.
    EXPECT_TRUE(runningGames(run.program.processId()).empty());
    EXPECT_EQ(game.read("launch-record.txt"), "<missing>");
  }
}

TEST(ApplyTest, GameThatCannotStartIsNamed) {
  GameFolder game("nogame");
  DeleteFileA((game / "Drovar.exe").c_str());
  LauncherRun run;
  ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
  pressStart(run.window);
  HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
  ASSERT_NE(box, nullptr);
  MessageBoxInfo info = readMessageBox(box);
  EXPECT_NE(info.text.find(fromGbk(game.path()) + L"\\Drovar.exe"), std::wstring::npos)
      << "box text: " << testing::PrintToString(info.text);
  dismissMessageBox(box);
  EXPECT_EQ(run.exitCode(), 0u);
  EXPECT_EQ(game.read("config.ini"), patchedConfig(800, 600));
  EXPECT_EQ(game.read("Level\\sn01_.pst"), patchedMission(1, 1));
}

TEST(ApplyTest, FailedWriteIsListedBeforeTheStart) {
  GameFolder game("locked");
  // Another program holds one mission file: it may be read, not replaced.
  std::optional<HeldFile> held(std::in_place, game / "Level\\sn07_.pst", HeldFile::readersOnly);
  ASSERT_TRUE(held->held());
  LauncherRun run;
  ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
  pressStart(run.window);
  HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
  if (box) {
    MessageBoxInfo info = readMessageBox(box);
    EXPECT_NE(info.text.find(L"sn07_.pst"), std::wstring::npos)
        << "box text: " << testing::PrintToString(info.text);
    EXPECT_EQ(info.text.find(L"sn01_.pst"), std::wstring::npos) << "only the failed file";
    EXPECT_EQ(game.read("launch-record.txt"), "<missing>") << "listed before the start";
    dismissMessageBox(box);
  }
  EXPECT_NE(box, nullptr) << "no box for the failed write";
  EXPECT_EQ(run.exitCode(), 0u);
  held.reset();
  EXPECT_EQ(game.read("Level\\sn07_.pst"), sampleMission(7));
  EXPECT_EQ(game.read("Level\\sn01_.pst"), patchedMission(1, 1));
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
}

// The system cannot give the program's own path whole: a copy of the program whose run
// directory comes from such a system says so, shows no window, changes nothing, starts no
// game and ends with 0xFFFFFFFF. The path cut at every size the program asks with, and the
// call failing.
TEST(ApplyTest, OwnPathNotGivenWholeChangesNothing) {
  for (const wchar_t* fault : {L"cut", L"failed"}) {
    SCOPED_TRACE(toGbk(fault));
    GameFolder game("ownpath");
    ASSERT_TRUE(CopyFileA((testProgramFolder() + "\\launcher_own_path_fault.exe").c_str(),
                          game.launcherPath().c_str(), FALSE));
    const std::vector<std::string> before = snapshot(game);
    const size_t entries = entriesUnder(game.path()).size();
    ASSERT_TRUE(SetEnvironmentVariableW(L"LAUNCHER_OWN_PATH_FAULT", fault));
    RunningProgram program;
    const bool started = program.start(game.launcherPath(), game.path());
    SetEnvironmentVariableW(L"LAUNCHER_OWN_PATH_FAULT", nullptr);
    ASSERT_TRUE(started);
    HWND box = waitForMessageBox(program.processId(), kPatienceMs);
    ASSERT_NE(box, nullptr);
    const MessageBoxInfo info = readMessageBox(box);
    EXPECT_EQ(info.text, fromGbk(gbk::runDirectoryUnavailable));
    EXPECT_EQ(info.buttons.size(), 1u);
    EXPECT_TRUE(topWindows(program.processId(), L"WTWindow").empty()) << "no window";
    dismissMessageBox(box);
    DWORD code = 0;
    ASSERT_TRUE(program.waitExit(kPatienceMs, &code));
    EXPECT_EQ(code, 0xFFFFFFFFu);
    // A game the program had started would still be listed as its child, or have left its
    // record on ending.
    EXPECT_TRUE(runningGames(program.processId()).empty());
    EXPECT_EQ(snapshot(game), before);
    EXPECT_EQ(entriesUnder(game.path()).size(), entries) << "nothing left beside the files";
  }
}

}  // namespace
