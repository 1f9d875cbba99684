// The record of the originals under what broke it before: a game update that replaces a
// mission, a record whose line breaks are lone CRs, a mission that lost its weapon line, a
// damaged line of the record and two launchers applying at once. Each row runs its steps on the
// real program in a game folder of its own (the elevated-apply argument, which writes the same
// files as the window's button and lists what it could not write in the same message), checks each
// message, and ends by comparing every mission with the bytes it must hold.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"

namespace {

// The elevated-apply argument's choices (sub-weapon, attribute, resolution, windowed).
const std::wstring kNinjaSwordSpeed = L"11,3,1,0";  // 忍刀, 速度属性（风）: 58
const std::wstring kDart = L"0,0,1,0";              // 飞镖, 平均属性（林）: 1
const std::wstring kOriginals = L"12,0,1,0";        // 各关原版

// The missions every row starts with.
const std::string kMission1 =
    toGbk(L"// 第一关\r\nint PlayerWeapon2 = 3; // 副武器编号\r\nint EnemyCount = 5;\r\n");
const std::string kMission2 = "int PlayerWeapon2 = 1; // x\r\nEnd\r\n";
const std::string kMission3 = "// 3\r\nint PlayerWeapon2 = 5;";

// Mission 1 after a game update: another weapon line and another enemy count.
const std::string kMission1Updated =
    toGbk(L"// 第一关\r\nint PlayerWeapon2 = 7; // 副武器编号\r\nint EnemyCount = 6;\r\n");
// Mission 2 after a player's hand edit of its weapon line alone.
const std::string kMission2HandEdited = "int PlayerWeapon2 = 9; // mine\r\nEnd\r\n";
// Mission 1 without its weapon line.
const std::string kMission1WithoutLine = toGbk(L"// 第一关\r\nint EnemyCount = 5;\r\n");

std::string withNumber(int mission, int number) {
  const std::string line = "int PlayerWeapon2 = " + std::to_string(number) + ";";
  switch (mission) {
    case 1:
      return toGbk(L"// 第一关\r\n") + line + "\r\nint EnemyCount = 5;\r\n";
    case 2:
      return line + "\r\nEnd\r\n";
    default:
      return "// 3\r\n" + line;
  }
}

std::wstring recordPath(const GameFolder& game) {
  return widePath(game.path()) + L"\\原版副武器.txt";
}

// What one step does to the game folder; a failed check is reported where it failed.
using Step = std::function<void(GameFolder& game)>;

// One apply through the elevated-apply argument: its exit code and its message (the list of
// unwritten files as shown, "" for none).
Step apply(const std::wstring& choices, DWORD exitCode = 0,
           const std::function<std::wstring(const GameFolder&)>& message = nullptr) {
  return [=](GameFolder& game) {
    SCOPED_TRACE(toGbk(L"apply " + choices));
    const ApplyOutcome outcome =
        runWithArguments(game.path(), L"--apply-settings=" + choices, 30000);
    EXPECT_EQ(outcome.exitCode, exitCode);
    std::vector<std::wstring> wanted;
    if (message) wanted.push_back(fromGbk(gbk::defaultCaption) + L"\n" + message(game));
    EXPECT_EQ(outcome.boxes, wanted);
  };
}

Step replaceMission(int n, const std::string& content) {
  return [=](GameFolder& game) { game.write(missionPath(n), content); };
}

// Two applies started together: the first is held once it has read the record and the
// missions and is about to write the record; the second is started then, and the first goes
// on once the second has ended or begun to wait for the folder's turn.
Step applyTogether(const std::wstring& first, const std::wstring& second) {
  return [=](GameFolder& game) {
    SCOPED_TRACE(toGbk(L"applies " + first + L" and " + second + L" at once"));
    const TwoApplies applies =
        applyTwoAtOnce(game.path(), L"--apply-settings=" + first, L"--apply-settings=" + second);
    EXPECT_TRUE(applies.firstHeld);
    EXPECT_TRUE(applies.secondWaited);
    EXPECT_EQ(applies.firstExit, 0U);
    EXPECT_EQ(applies.secondExit, 0U);
  };
}

// The record's text with each of `from` replaced by `to`, as an editor or a hand might.
Step editRecord(const std::string& from, const std::string& to) {
  return [=](GameFolder& game) {
    std::string record = readBytes(recordPath(game));
    ASSERT_NE(record.find(from), std::string::npos);
    for (size_t at = record.find(from); at != std::string::npos; at = record.find(from, at)) {
      record.replace(at, from.size(), to);
      at += to.size();
    }
    writeBytes(recordPath(game), record);
  };
}

// The list's first line, then each file's full path with its cause, then the line below.
std::wstring listed(const GameFolder& game,
                    const std::vector<std::pair<std::string, std::wstring>>& files,
                    const std::wstring& below) {
  std::wstring text = fromGbk(gbk::filesNotWritten);
  for (const auto& [name, cause] : files) text += L"\r\n" + fromGbk(game / name) + cause;
  return text + below;
}

// The lines below the list when a damaged record kept missions as they were.
const std::wstring kDamagedBelow =
    L"\r\n\r\n请从游戏的原始文件中放回列出的任务文件，或者按其他行的格式修正原版副武器.txt中"
    L"损坏的那一行，然后重新运行本程序。\r\n原版副武器.txt 保存着各关原来的副武器行，本程序"
    L"保留此文件、不作改动，以免原版丢失。请不要删除或清空它。";

struct Row {
  const char* name;
  std::vector<Step> steps;
  std::vector<std::string> missions;  // sn01_.pst, sn02_.pst, sn03_.pst at the end
};

std::vector<Row> rows() {
  return {
      {"a game update replaces mission 1 after its original was recorded; mission 2's line is "
       "edited by hand",
       {apply(kNinjaSwordSpeed), replaceMission(1, kMission1Updated),
        replaceMission(2, kMission2HandEdited), apply(kDart), apply(kOriginals)},
       {kMission1Updated, kMission2, kMission3}},
      {"各关原版 meets the update first, then a weapon and 各关原版 again",
       {apply(kNinjaSwordSpeed), replaceMission(1, kMission1Updated), apply(kOriginals),
        apply(kDart), apply(kOriginals)},
       {kMission1Updated, kMission2, kMission3}},
      {"the record's CR LF turned into lone CRs",
       {apply(kNinjaSwordSpeed), editRecord("\r\n", "\r"), apply(kOriginals), apply(kDart),
        apply(kOriginals)},
       {kMission1, kMission2, kMission3}},
      {"mission 1 lost its weapon line while its record line is sound",
       {apply(kNinjaSwordSpeed), replaceMission(1, kMission1WithoutLine),
        apply(kOriginals, 1,
              [](const GameFolder& game) {
                return listed(game, {{missionPath(1), L"（文件中没有副武器行，无法写回原版）"}},
                              L"\r\n\r\n请从游戏的原始文件中放回没有副武器行的任务文件，"
                              L"然后重新运行本程序。");
              })},
       {kMission1WithoutLine, kMission2, kMission3}},
      {"the record's line of mission 2 damaged",
       {apply(kNinjaSwordSpeed), editRecord("= 1; // x", "= 1; \\x"),
        apply(kOriginals, 1,
              [](const GameFolder& game) {
                return listed(game,
                              {{missionPath(2), L"（原版记录已损坏）"},
                               {toGbk(L"原版副武器.txt"), L"（第3行已损坏：sn02_.pst）"}},
                              kDamagedBelow);
              })},
       {kMission1, withNumber(2, 58), kMission3}},
      {"各关原版 meets an update of mission 1 while the record's line of mission 2 is damaged",
       {apply(kNinjaSwordSpeed), replaceMission(1, kMission1Updated),
        editRecord("= 1; // x", "= 1; \\x"),
        apply(kOriginals, 1,
              [](const GameFolder& game) {
                return listed(game,
                              {{missionPath(1), L"（原版记录已损坏）"},
                               {missionPath(2), L"（原版记录已损坏）"},
                               {toGbk(L"原版副武器.txt"), L"（第3行已损坏：sn02_.pst）"}},
                              kDamagedBelow);
              })},
       {kMission1Updated, withNumber(2, 58), kMission3}},
      {"two launchers at once while mission 3 already holds the first one's weapon",
       {replaceMission(3, withNumber(3, 1)), applyTogether(kDart, kNinjaSwordSpeed),
        apply(kOriginals)},
       {kMission1, kMission2, withNumber(3, 1)}},
  };
}

TEST(RecordFaults, EachRowEndsWithEveryMissionAsItMustBe) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.name);
    GameFolder game("record faults", {{"config.ini", kSampleConfig},
                                      {"Level", "<folder>"},
                                      {missionPath(1), kMission1},
                                      {missionPath(2), kMission2},
                                      {missionPath(3), kMission3}});
    for (const Step& step : row.steps) step(game);
    for (int n = 1; n <= 3; ++n) {
      EXPECT_EQ(game.read(missionPath(n)), row.missions[static_cast<size_t>(n - 1)])
          << "sn0" << n << "_.pst";
    }
  }
}

}  // namespace
