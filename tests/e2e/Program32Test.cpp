// launcher-x86.exe, the 32-bit program, under the 32-bit Wine, driven from outside through
// the main paths of an apply. Each step is taken twice, by the 64-bit program and by the
// 32-bit one, each in a game folder of its own made from the same files. Afterwards the two
// folders hold the same bytes, both programs showed the same message boxes (each naming its
// own folder) and ended with the same code, and each started the stand-in game with the
// same command line in its own folder. What the files must hold is also spelled out, so that
// the two programs cannot agree on a wrong result.
//
// A start of a 32-bit program costs tens of seconds of emulation here, so each start carries
// several checks, and the test makes three: a first run in a folder without "Level" (the
// window), a loaded profile changed everywhere with the box ticked while a mission is
// read-only (the window), and in that folder the restore through 各关原版 (the private
// argument of the administrator start, which writes the same files without a window).
//
// ./run names the 32-bit program in LAUNCHER_X86_PROGRAM and runs the test in a Wine prefix
// that has the 32-bit system files; without that name the test is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"

namespace {

// The window of a 32-bit start shows after tens of seconds of emulation (docs/32-bit.md
// gives the figures); this is only how long a step may take before it
// counts as hung.
constexpr DWORD kAllowedMs = 300000;

// The 32-bit program as the Windows side names it: a Unix path is on drive Z: under Wine.
std::string program32() {
  const char* given = std::getenv("LAUNCHER_X86_PROGRAM");
  if (given == nullptr || *given == '\0') return "";
  std::string path = given;
  if (path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The same game folder twice: one with the 64-bit program, one with the 32-bit one.
struct TwinGames {
  TwinGames(const std::string& tag, bool withLevel)
      : x64(tag + " x64", withLevel), x86(tag + " x86", withLevel) {
    CopyFileA(program32().c_str(), x86.launcherPath().c_str(), FALSE);
  }
  void write(const std::string& name, const std::string& bytes) const {
    x64.write(name, bytes);
    x86.write(name, bytes);
  }
  void setAttributes(const std::string& name, DWORD attributes) const {
    SetFileAttributesA((x64 / name).c_str(), attributes);
    SetFileAttributesA((x86 / name).c_str(), attributes);
  }
  GameFolder x64;
  GameFolder x86;
};

struct TwinOutcomes {
  ApplyOutcome x64;
  ApplyOutcome x86;
};

// One step taken by both programs, the 64-bit one first; the 32-bit one's time and end are
// written to the test's output.
TwinOutcomes takeStep(const TwinGames& games, const char* step,
                      const std::function<ApplyOutcome(const std::string& folder)>& run) {
  TwinOutcomes outcomes;
  outcomes.x64 = run(games.x64.path());
  const ULONGLONG start = GetTickCount64();
  outcomes.x86 = run(games.x86.path());
  std::printf(
      "[ 32-bit   ] %s: launcher-x86.exe ended with %lu after %.0f s, %zu message box(es)\n", step,
      outcomes.x86.exitCode, static_cast<double>(GetTickCount64() - start) / 1000,
      outcomes.x86.boxes.size());
  std::fflush(stdout);
  return outcomes;
}

// The boxes a program showed, its own game folder written as "<game>".
std::vector<std::wstring> boxesInAnyFolder(std::vector<std::wstring> boxes,
                                           const std::string& folder) {
  const std::wstring named = fromGbk(folder);
  for (std::wstring& box : boxes) {
    for (size_t at = box.find(named); at != std::wstring::npos; at = box.find(named, at)) {
      box.replace(at, named.size(), L"<game>");
    }
  }
  return boxes;
}

bool mentions(const std::vector<std::wstring>& boxes, const std::wstring& part) {
  return std::any_of(boxes.begin(), boxes.end(),
                     [&](const std::wstring& box) { return box.find(part) != std::wstring::npos; });
}

// The folder's files but the program itself and the stand-in game's record, which differ
// between the two folders by their nature (the record names its folder).
FolderFiles gameFiles(const GameFolder& game) {
  FolderFiles files = readFolder(game.path());
  files.erase("launcher.exe");
  files.erase("launch-record.txt");
  return files;
}

// Both programs ended alike and left the same bytes.
void expectAlike(const TwinGames& games, const TwinOutcomes& outcomes) {
  EXPECT_EQ(outcomes.x86.windowShown, outcomes.x64.windowShown);
  EXPECT_EQ(outcomes.x86.exitCode, outcomes.x64.exitCode);
  EXPECT_EQ(boxesInAnyFolder(outcomes.x86.boxes, games.x86.path()),
            boxesInAnyFolder(outcomes.x64.boxes, games.x64.path()));
  expectFolder(gameFiles(games.x86), gameFiles(games.x64));
}

TEST(Program32, FirstRunWithoutLevelFolderSaysSoAndStartsTheGame) {
  ASSERT_FALSE(program32().empty()) << "LAUNCHER_X86_PROGRAM names no 32-bit program";
  TwinGames games("first run", false);
  const LauncherChoice choice{0, 3, 0, 1};  // 飞镖, 速度属性（风）, 800*600, windowed
  const TwinOutcomes outcomes =
      takeStep(games, "first run, no Level folder (window)",
               [&](const std::string& folder) { return applyOnce(folder, choice, kAllowedMs); });

  EXPECT_TRUE(outcomes.x86.windowShown);
  EXPECT_EQ(outcomes.x86.exitCode, 0u);
  ASSERT_EQ(outcomes.x86.boxes.size(), 1u) << testing::PrintToString(outcomes.x86.boxes);
  EXPECT_EQ(outcomes.x86.boxes[0], L"信息：\n" + fromGbk(gbk::missionFolderMissing));
  EXPECT_EQ(waitForLaunchRecord(games.x86.path()), launchRecord(games.x86.path(), true));
  EXPECT_EQ(waitForLaunchRecord(games.x64.path()), launchRecord(games.x64.path(), true));
  EXPECT_EQ(games.x86.read("wdpz.ini"), profileText(0, 3, 0, true));
  EXPECT_EQ(games.x86.read("config.ini"), patchedConfig(800, 600));
  EXPECT_EQ(games.x86.read(originalsRecordName()), "<missing>");
  expectAlike(games, outcomes);
}

TEST(Program32, LoadedProfileChangedEverywhereReadOnlyMissionListedThenAllRestored) {
  ASSERT_FALSE(program32().empty()) << "LAUNCHER_X86_PROGRAM names no 32-bit program";
  TwinGames games("changed", true);
  games.write("wdpz.ini", profileText(1, 0, 0, false));
  games.setAttributes(missionPath(7), FILE_ATTRIBUTE_READONLY);
  // 乾坤刀 and 攻击属性 (weapon number 48), 1024*788, windowed: each unlike what was loaded.
  const LauncherChoice choice{9, 1, 1, 1};
  const TwinOutcomes changed =
      takeStep(games, "loaded profile changed everywhere, box ticked, read-only sn07_.pst (window)",
               [&](const std::string& folder) { return applyOnce(folder, choice, kAllowedMs); });
  games.setAttributes(missionPath(7), FILE_ATTRIBUTE_NORMAL);

  EXPECT_TRUE(changed.x86.windowShown);
  EXPECT_EQ(changed.x86.exitCode, 0u);
  ASSERT_EQ(changed.x86.boxes.size(), 1u) << testing::PrintToString(changed.x86.boxes);
  EXPECT_TRUE(mentions(changed.x86.boxes, fromGbk(gbk::filesNotWritten)));
  EXPECT_TRUE(mentions(changed.x86.boxes,
                       fromGbk(games.x86 / missionPath(7)) + fromGbk(gbk::reasonReadOnly)));
  EXPECT_EQ(waitForLaunchRecord(games.x86.path()), launchRecord(games.x86.path(), true));
  EXPECT_EQ(waitForLaunchRecord(games.x64.path()), launchRecord(games.x64.path(), true));
  EXPECT_EQ(games.x86.read("wdpz.ini"), profileText(9, 1, 1, true));
  EXPECT_EQ(games.x86.read("config.ini"), patchedConfig(1024, 768));
  for (int number : {1, 2, 20}) {
    EXPECT_EQ(games.x86.read(missionPath(number)), patchedMission(number, 48)) << number;
  }
  EXPECT_EQ(games.x86.read(missionPath(7)), sampleMission(7));
  // The read-only mission is refused before anything of it is recorded.
  const std::string record = originalsRecord(firstApplyEntries({1, 2, 20}, 48));
  EXPECT_EQ(games.x86.read(originalsRecordName()), record);
  expectAlike(games, changed);

  // Before the restore, two rows of the record's table of faults: a game update of mission
  // 2's weapon line alone, and mission 1 saved with LF line breaks.
  std::string updated = sampleMission(2);
  updated.replace(updated.find("int PlayerWeapon2"), sampleWeaponLine().size(),
                  "int PlayerWeapon2 = 9; // new");
  games.write(missionPath(2), updated);
  auto withLf = [](std::string bytes) {
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at)) {
      bytes.replace(at, 2, "\n");
    }
    return bytes;
  };
  games.write(missionPath(1), withLf(patchedMission(1, 48)));

  // 各关原版 through the elevated-apply argument, the other choices kept: every mission the
  // launcher changed as it was, the updated line kept, the LF line breaks kept.
  const TwinOutcomes restored = takeStep(
      games, "restore through 各关原版 (--apply-settings=12,1,1,1)", [](const std::string& folder) {
        return runWithArguments(folder, L"--apply-settings=12,1,1,1", kAllowedMs);
      });

  EXPECT_EQ(restored.x86.exitCode, 0u);
  EXPECT_EQ(restored.x86.boxes.size(), 0u) << testing::PrintToString(restored.x86.boxes);
  EXPECT_EQ(games.x86.read(missionPath(1)), withLf(sampleMission(1)));
  EXPECT_EQ(games.x86.read(missionPath(2)), updated);
  for (int number : {7, 20}) {
    EXPECT_EQ(games.x86.read(missionPath(number)), sampleMission(number)) << number;
  }
  EXPECT_EQ(games.x86.read("wdpz.ini"), profileText(12, 1, 1, true));
  EXPECT_EQ(games.x86.read(originalsRecordName()), record);
  // That instance starts no game: the record still holds the one start.
  EXPECT_EQ(games.x86.read("launch-record.txt"), launchRecord(games.x86.path(), true));
  expectAlike(games, restored);
}

}  // namespace
