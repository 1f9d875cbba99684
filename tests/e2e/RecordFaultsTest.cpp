// The record of the missions' lines under what happens to game folders: game updates of a whole
// mission or of its weapon line alone, tools that change other lines, editors that re-encode
// files or change their line breaks, records whose lines are deleted, repeated, moved, cut,
// edited or re-encoded, records of the older forms, missions whose lines were taken apart before,
// a damaged stored choice, and two launchers applying at once. Each row runs its steps on the
// real program in a game folder of its own (the elevated-apply argument, which writes the same
// files as the window's button and lists what it could not write in the same message), checks
// each message, and ends by comparing every mission and the record with the bytes they must hold.
// Where a row follows the advice of a list, the next apply lists nothing.
#include <windows.h>

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
const std::wstring kDagger = L"4,0,1,0";            // 匕首, 平均属性（林）: 5
const std::wstring kOriginals = L"12,0,1,0";        // 各关原版

std::string utf8(const std::wstring& wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

// Every CR LF of the bytes turned into `to`.
std::string withBreaks(std::string bytes, const std::string& to) {
  for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at)) {
    bytes.replace(at, 2, to);
    at += to.size();
  }
  return bytes;
}

// The weapon lines: each mission's own, and those the launcher writes.
const std::string kLine1 = toGbk(L"int PlayerWeapon2 = 3; // 副武器编号");
const std::string kLine2 = "int PlayerWeapon2 = 1; // x";
const std::string kLine3 = "int PlayerWeapon2 = 5;";  // of the launcher's form, yet the game's
const std::string k58 = "int PlayerWeapon2 = 58;";
const std::string k1 = "int PlayerWeapon2 = 1;";

// The missions every row starts with.
const std::string kMission1 = toGbk(L"// 第一关\r\n") + kLine1 + "\r\nint EnemyCount = 5;\r\n";
const std::string kMission2 = kLine2 + "\r\nEnd\r\n";
const std::string kMission3 = "// 3\r\n" + kLine3;

// Mission 1 after a game update: another weapon line and another enemy count.
const std::string kLine1Updated = toGbk(L"int PlayerWeapon2 = 7; // 副武器编号");
const std::string kMission1Updated =
    toGbk(L"// 第一关\r\n") + kLine1Updated + "\r\nint EnemyCount = 6;\r\n";
// Mission 3 after an update of its weapon line alone.
const std::string kLine3Updated = "int PlayerWeapon2 = 9; // new";
const std::string kMission3Updated = "// 3\r\n" + kLine3Updated;

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

// The record after the first apply of 忍刀 (58), and after 飞镖 (1) next.
const std::vector<RecordLine> kAfter58 = {{1, false, kLine1}, {1, true, k58},
                                          {2, false, kLine2}, {2, true, k58},
                                          {3, false, kLine3}, {3, true, k58}};
const std::vector<RecordLine> kAfterDart = {{1, false, kLine1}, {1, true, k58}, {1, true, k1},
                                            {2, false, kLine2}, {2, true, k58}, {2, true, k1},
                                            {3, false, kLine3}, {3, true, k58}, {3, true, k1}};

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
        runWithArguments(game.path(), L"--apply-settings=" + choices, 60000);
    EXPECT_EQ(outcome.exitCode, exitCode);
    std::vector<std::wstring> wanted;
    if (message) wanted.push_back(fromGbk(gbk::defaultCaption) + L"\n" + message(game));
    EXPECT_EQ(outcome.boxes, wanted);
  };
}

Step replaceMission(int n, const std::string& content) {
  return [=](GameFolder& game) { game.write(missionPath(n), content); };
}

// The record replaced whole, as an editor or a hand might leave it.
Step writeRecord(const std::string& bytes) {
  return [=](GameFolder& game) { writeBytes(recordPath(game), bytes); };
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

// The list's first line, then each file's full path with its cause, then the lines below.
std::function<std::wstring(const GameFolder&)> listed(
    const std::vector<std::pair<std::string, std::wstring>>& files, const std::wstring& below) {
  return [=](const GameFolder& game) {
    std::wstring text = fromGbk(gbk::filesNotWritten);
    for (const auto& [name, cause] : files) text += L"\r\n" + fromGbk(game / name) + cause;
    return text + below;
  };
}

const std::wstring kDamaged = L"（原版记录已损坏）";
const std::string kRecordName = toGbk(L"原版副武器.txt");
// The lines below the list when a damaged record kept missions as they were.
const std::wstring kDamagedBelow =
    L"\r\n\r\n请从游戏的原始文件中放回列出的任务文件，然后重新运行本程序。\r\n原版副武器.txt "
    L"保存着各关原来的副武器行，本程序只在其末尾添加新行、不改动已有的行，以免原版丢失。请不要删除"
    L"或清空它。";

// The record after 忍刀 as written, with `from` replaced by `to` once.
std::string edited(const std::string& from, const std::string& to) {
  std::string record = originalsRecord(kAfter58);
  const size_t at = record.find(from);
  if (at == std::string::npos) return "(not found: " + from + ")";
  return record.replace(at, from.size(), to);
}

// A line of the record after 忍刀, whole, by its number in the file (the comment is line 1).
std::string recordLine(int number) {
  const std::string record = originalsRecord(kAfter58);
  size_t at = 0;
  for (int i = 1; i < number; ++i) at = record.find("\r\n", at) + 2;
  return record.substr(at, record.find("\r\n", at) + 2 - at);
}

// The record after 忍刀 with its lines moved: the comment first, then the rest backwards.
std::string reversedRecord() {
  std::string reversed = recordLine(1);
  for (int number = 8; number >= 2; --number) reversed += recordLine(number);
  return reversed;
}

// The record after 忍刀 saved by an editor as UTF-8.
std::string recordInUtf8() { return utf8(fromGbk(originalsRecord(kAfter58))); }

// An older record: each line the name, a tab, a mark (or none) and the line.
std::string olderRecordOf(bool marked) {
  const std::string mark = marked ? "#0123456789abcdef-40\t" : "";
  return gbk::originalWeaponsComment + std::string("\r\nsn01_.pst\t") + mark + kLine1 +
         "\r\nsn02_.pst\t" + mark + kLine2 + "\r\n";
}

struct Row {
  const char* name;
  std::vector<Step> steps;
  std::vector<std::string> missions;  // sn01_.pst, sn02_.pst, sn03_.pst at the end
  std::string record;                 // the record at the end
};

std::vector<Row> rows() {
  const std::string cutInMission2 =
      originalsRecord(kAfter58).substr(0, originalsRecord(kAfter58).find("\t" + kLine2) + 21);
  const std::string withBlanks =
      edited(recordLine(3), recordLine(3).substr(0, recordLine(3).size() - 2) + "  \r\n");
  const std::vector<RecordLine> allAgain = {{1, false, kLine1}, {1, true, k1},
                                            {2, false, kLine2}, {2, true, k1},
                                            {3, false, kLine3}, {3, true, k1}};
  return {
      {"a game update replaces mission 1 after the launcher changed it",
       {apply(kNinjaSwordSpeed), replaceMission(1, kMission1Updated), apply(kDart),
        apply(kOriginals)},
       {kMission1Updated, kMission2, kMission3},
       originalsRecord({{1, false, kLine1Updated},
                        {1, true, k58},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, k58},
                        {2, true, k1},
                        {3, false, kLine3},
                        {3, true, k58},
                        {3, true, k1}})},
      {"a game update of mission 3's weapon line alone",
       {apply(kNinjaSwordSpeed), replaceMission(3, kMission3Updated), apply(kDart),
        apply(kOriginals)},
       {kMission1, kMission2, kMission3Updated},
       originalsRecord({{1, false, kLine1},
                        {1, true, k58},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, k58},
                        {2, true, k1},
                        {3, false, kLine3Updated},
                        {3, true, k58},
                        {3, true, k1}})},
      {"the same update met first by 各关原版",
       {apply(kNinjaSwordSpeed), replaceMission(3, kMission3Updated), apply(kOriginals),
        apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3Updated},
       originalsRecord({{1, false, kLine1},
                        {1, true, k58},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, k58},
                        {2, true, k1},
                        {3, false, kLine3Updated},
                        {3, true, k58},
                        {3, true, k1}})},
      {"a tool changes another line of mission 1",
       {apply(kNinjaSwordSpeed),
        replaceMission(1, toGbk(L"// 第一关\r\n") + k58 + "\r\nint EnemyCount = 12;\r\n"),
        apply(kDart), apply(kOriginals)},
       {toGbk(L"// 第一关\r\n") + kLine1 + "\r\nint EnemyCount = 12;\r\n", kMission2, kMission3},
       originalsRecord(kAfterDart)},
      {"mission 1 saved as UTF-8 with a byte-order mark",
       {apply(kNinjaSwordSpeed),
        replaceMission(
            1, "\xEF\xBB\xBF" + utf8(L"// 第一关\r\n") + k58 + "\r\nint EnemyCount = 5;\r\n"),
        apply(kDart), apply(kOriginals)},
       {"\xEF\xBB\xBF" + utf8(L"// 第一关\r\n") + kLine1 + "\r\nint EnemyCount = 5;\r\n", kMission2,
        kMission3},
       originalsRecord(kAfterDart)},
      {"mission 1 saved as UTF-8 without a mark",
       {apply(kNinjaSwordSpeed),
        replaceMission(1, utf8(L"// 第一关\r\n") + k58 + "\r\nint EnemyCount = 5;\r\n"),
        apply(kDart), apply(kOriginals)},
       {utf8(L"// 第一关\r\n") + kLine1 + "\r\nint EnemyCount = 5;\r\n", kMission2, kMission3},
       originalsRecord(kAfterDart)},
      {"the missions and the record with LF line breaks",
       {apply(kNinjaSwordSpeed), replaceMission(1, withBreaks(withNumber(1, 58), "\n")),
        replaceMission(2, withBreaks(withNumber(2, 58), "\n")),
        replaceMission(3, withBreaks(withNumber(3, 58), "\n")),
        writeRecord(withBreaks(originalsRecord(kAfter58), "\n")), apply(kDart), apply(kOriginals)},
       {withBreaks(kMission1, "\n"), withBreaks(kMission2, "\n"), withBreaks(kMission3, "\n")},
       originalsRecord(kAfterDart)},
      {"the record with lone CR line breaks",
       {apply(kNinjaSwordSpeed), writeRecord(withBreaks(originalsRecord(kAfter58), "\r")),
        apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord(kAfterDart)},
      {"a line of the record there twice",
       {apply(kNinjaSwordSpeed), writeRecord(originalsRecord(kAfter58) + recordLine(4)),
        apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord(kAfterDart)},
      {"the record's lines in another order",
       {apply(kNinjaSwordSpeed), writeRecord(reversedRecord()), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord(kAfterDart)},
      {"a line of the record deleted by hand, then the listed missions put back",
       {apply(kNinjaSwordSpeed), writeRecord(edited(recordLine(5), "")),
        apply(kDart, 1,
              listed({{missionPath(1), kDamaged},
                      {missionPath(2), kDamaged},
                      {kRecordName, L"（缺少记录行）"}},
                     kDamagedBelow)),
        apply(kOriginals, 1,
              listed({{missionPath(1), kDamaged},
                      {missionPath(2), kDamaged},
                      {kRecordName, L"（缺少记录行）"}},
                     kDamagedBelow)),
        replaceMission(1, kMission1), replaceMission(2, kMission2), apply(kDart),
        apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       // Kept byte for byte while damaged; restored missions are recorded again by the next
       // weapon.
       edited(recordLine(5), "") + addedRecordLines({{3, true, k1}}, 7) +
           addedRecordLines(allAgain, 8)},
      {"a line of the record edited by hand, then the listed mission put back",
       {apply(kNinjaSwordSpeed), writeRecord(edited("= 1; // x", "= 4; // x")),
        apply(kDart, 1,
              listed({{missionPath(2), kDamaged}, {kRecordName, L"（第4行已损坏：sn02_.pst）"}},
                     kDamagedBelow)),
        apply(kOriginals, 1,
              listed({{missionPath(2), kDamaged}, {kRecordName, L"（第4行已损坏：sn02_.pst）"}},
                     kDamagedBelow)),
        replaceMission(2, kMission2), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       edited("= 1; // x", "= 4; // x") + addedRecordLines({{1, true, k1}, {3, true, k1}}, 7) +
           addedRecordLines(allAgain, 9)},
      {"blanks added at the end of a line of the record",
       {apply(kNinjaSwordSpeed), writeRecord(withBlanks),
        apply(kOriginals, 1,
              listed({{missionPath(1), kDamaged}, {kRecordName, L"（第3行已损坏：sn01_.pst）"}},
                     kDamagedBelow))},
       {withNumber(1, 58), kMission2, kMission3},
       withBlanks},
      {"the record cut short inside a line",
       {apply(kNinjaSwordSpeed), writeRecord(cutInMission2),
        apply(kOriginals, 1,
              listed({{missionPath(1), kDamaged},
                      {missionPath(2), kDamaged},
                      {missionPath(3), kDamaged},
                      {kRecordName, L"（第4行已损坏：sn02_.pst）"},
                      {kRecordName, L"（缺少记录行）"}},
                     kDamagedBelow)),
        replaceMission(1, kMission1), replaceMission(2, kMission2),
        apply(kDart, 1,
              listed({{missionPath(3), kDamaged},
                      {kRecordName, L"（第4行已损坏：sn02_.pst）"},
                      {kRecordName, L"（缺少记录行）"}},
                     kDamagedBelow)),
        apply(kOriginals, 1,
              listed({{missionPath(3), kDamaged},
                      {kRecordName, L"（第4行已损坏：sn02_.pst）"},
                      {kRecordName, L"（缺少记录行）"}},
                     kDamagedBelow))},
       // Mission 3's own line has the launcher's form: with its record lost, it stays listed.
       {kMission1, kMission2, withNumber(3, 58)},
       cutInMission2 + "\r\n" +
           addedRecordLines({{1, false, kLine1}, {1, true, k1}, {2, false, kLine2}, {2, true, k1}},
                            5)},
      {"the record saved by an editor as UTF-8, then the listed mission put back",
       {apply(kNinjaSwordSpeed), writeRecord(recordInUtf8()),
        apply(kDart, 1,
              listed({{missionPath(1), kDamaged}, {kRecordName, L"（第2行已损坏：sn01_.pst）"}},
                     kDamagedBelow)),
        replaceMission(1, kMission1), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       recordInUtf8() + addedRecordLines({{2, true, k1}, {3, true, k1}}, 7) +
           addedRecordLines({{1, false, kLine1}, {1, true, k1}}, 9)},
      {"an older record without marks",
       {replaceMission(1, withNumber(1, 58)), replaceMission(2, withNumber(2, 58)),
        writeRecord(olderRecordOf(false)), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord({{1, false, kLine1},
                        {1, true, k58},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, k58},
                        {2, true, k1},
                        {3, false, kLine3},
                        {3, true, k1}})},
      {"an older record with marks",
       {replaceMission(1, withNumber(1, 58)), replaceMission(2, withNumber(2, 58)),
        writeRecord(olderRecordOf(true)), apply(kOriginals), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord({{1, false, kLine1},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, k1},
                        {3, false, kLine3},
                        {3, true, k1}})},
      {"the game's own line of the launcher's form, chosen first, then another weapon",
       {apply(kDagger), apply(kDart), apply(kOriginals)},
       {kMission1, kMission2, kMission3},
       originalsRecord({{1, false, kLine1},
                        {1, true, "int PlayerWeapon2 = 5;"},
                        {1, true, k1},
                        {2, false, kLine2},
                        {2, true, "int PlayerWeapon2 = 5;"},
                        {2, true, k1},
                        {3, false, kLine3},
                        {3, true, k1}})},
      {"two launchers at once while mission 3 already holds the first one's weapon",
       {replaceMission(3, withNumber(3, 1)), applyTogether(kDart, kNinjaSwordSpeed),
        apply(kOriginals)},
       {kMission1, kMission2, withNumber(3, 1)},
       originalsRecord({{1, false, kLine1},
                        {1, true, k1},
                        {1, true, k58},
                        {2, false, kLine2},
                        {2, true, k1},
                        {2, true, k58},
                        {3, false, k1},
                        {3, true, k58}})},
  };
}

TEST(RecordFaults, EachRowEndsWithEveryMissionAndTheRecordAsTheyMustBe) {
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
    EXPECT_EQ(readBytes(recordPath(game)), row.record);
  }
}

// Missions whose lines were taken apart, or left in silence, before: each is changed with its
// own line breaks kept, or listed with the cause, and 各关原版 gives each back byte for byte.
TEST(RecordFaults, MissionLineBreaksAndEncodings) {
  const struct {
    const char* name;
    std::string mission;                     // as mission 2
    std::string patched;                     // after 忍刀
    std::vector<std::wstring> listedCauses;  // the apply of 忍刀 lists mission 2 with these
  } cases[] = {
      {"UTF-8 comments: the next line stays",
       utf8(L"int PlayerWeapon2 = 3; // 副武器编号\r\nint EnemyCount = 12; // 敌人数量\r\n"),
       k58 + utf8(L"\r\nint EnemyCount = 12; // 敌人数量\r\n"),
       {}},
      {"a GBK lead byte right before the CR LF",
       "int PlayerWeapon2 = 6; // \xA9\r\nEnd\r\n",
       k58 + "\r\nEnd\r\n",
       {}},
      {"LF line breaks",
       "// 2\nint PlayerWeapon2 = 1; // x\nEnd\n",
       "// 2\n" + k58 + "\nEnd\n",
       {}},
      {"the weapon line alone ends in LF",
       "// 2\r\nint PlayerWeapon2 = 1; // x\nEnd\r\n",
       "// 2\r\n" + k58 + "\nEnd\r\n",
       {}},
      {"lone CR line breaks: listed",
       "// 2\rint PlayerWeapon2 = 1; // x\rEnd\r",
       "// 2\rint PlayerWeapon2 = 1; // x\rEnd\r",
       {L"（文件的换行方式本程序不能修改）"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder game(
        "line breaks",
        {{"config.ini", kSampleConfig}, {"Level", "<folder>"}, {missionPath(2), c.mission}});
    if (c.listedCauses.empty()) {
      apply(kNinjaSwordSpeed)(game);
    } else {
      apply(kNinjaSwordSpeed, 1,
            listed(
                {{missionPath(2), c.listedCauses[0]}},
                L"\r\n\r\n请将列出的任务文件的换行方式改为Windows（CR LF），然后重新运行本程序。"))(
          game);
    }
    EXPECT_EQ(game.read(missionPath(2)), c.patched);
    apply(kOriginals)(game);
    EXPECT_EQ(game.read(missionPath(2)), c.mission);
  }
}

// A damaged stored choice never writes a weapon number that no choice gives: a list without a
// selection is taken as one past its end, its last entry.
TEST(RecordFaults, NoSelectionInTheArgumentIsTheLastEntry) {
  GameFolder game(
      "no selection",
      {{"config.ini", kSampleConfig}, {"Level", "<folder>"}, {missionPath(2), kMission2}});
  apply(L"0,-1,1,0")(game);  // 飞镖 and, for none, 速度属性（风）: 28
  EXPECT_EQ(game.read(missionPath(2)), withNumber(2, 28));
  apply(L"-1,0,1,0")(game);  // none: 各关原版
  EXPECT_EQ(game.read(missionPath(2)), kMission2);
}

}  // namespace
