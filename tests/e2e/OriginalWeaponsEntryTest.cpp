// The entry "各关原版" on the real program: missions of every kind through a row of applies
// that ends with their original weapons written back byte for byte, a damaged record, and
// the window that opens again with the entry chosen.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "tests/support/GameFolder.h"
#include "tests/support/HeldFile.h"

namespace {

using namespace std::string_literals;

constexpr int kNinjaSword = 11;  // 忍刀
constexpr int kDart = 0;         // 飞镖
constexpr int kOriginals = 12;   // 各关原版
constexpr size_t kMegabyte = 1 << 20;

struct Mission {
  const char* name;  // in the table
  int number;
  std::string content;
  bool heldAtRestore;  // held open by another program at the first restore
};

// Filler lines up to just before the first megabyte, so that the weapon line runs across it.
std::string fillerBeforeTheFirstMegabyte() {
  std::string filler;
  while (filler.size() + 40 < kMegabyte - 8) filler += "int EnemyCount = 12; // enemies\r\n";
  filler += std::string(kMegabyte - 8 - filler.size() - 2, ';') + "\r\n";
  return filler;
}

std::vector<Mission> missions() {
  return {
      {"comment after the weapon line", 1,
       toGbk(L"// 第一关\r\nint PlayerWeapon2 = 3; // 火铳\r\nint EnemyCount = 5;\r\n"), false},
      {"unusual spacing", 2, "int PlayerWeapon2\t=   1 ;  \r\nint EnemyCount=2;", false},
      {"no weapon line", 3, toGbk(L"// 没有副武器\r\nint EnemyCount = 2;\r\n"), false},
      {"weapon line across the first megabyte", 4,
       fillerBeforeTheFirstMegabyte() + "int PlayerWeapon2 = 5;\r\nint EnemyCount = 7;\r\n", false},
      {"backslash, tab, zero byte in the line", 5,
       "int PlayerWeapon2 = 2; \\ \t x y\0z\r\nEnd\r\n"s, false},
      {"held open at the first restore", 6, "int PlayerWeapon2 = 9;\r\n\r\n", true},
      {"sample mission 7", 7, sampleMission(7), false},
  };
}

// The original entries of a record: each line's mission and original, in order.
std::vector<std::string> originalsIn(const std::string& record) {
  std::vector<std::string> originals;
  for (size_t at = 0; at < record.size();) {
    const size_t end = record.find("\r\n", at);
    const std::string line = record.substr(at, end - at);
    const size_t kind = line.find("\toriginal\t");
    if (kind != std::string::npos) {
      // The entry's number and check left out: the record renumbers its entries.
      originals.push_back(line.substr(0, line.find('\t')) +
                          line.substr(kind, line.rfind('\t') - kind));
    }
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return originals;
}

// The record of the originals, by its wide name: found under any system code page.
std::wstring recordPath(const GameFolder& game) {
  return widePath(game.path()) + L"\\原版副武器.txt";
}

// The content with its first weapon line (at a line start) replaced whole, as the launcher
// writes a weapon: the expectation, worked out here on its own.
std::string withWeapon(const std::string& content, int number) {
  size_t begin = 0;
  while (begin != std::string::npos && content.compare(begin, 17, "int PlayerWeapon2") != 0) {
    begin = content.find("\r\n", begin);
    if (begin != std::string::npos) begin += 2;
  }
  if (begin == std::string::npos) return content;
  size_t end = content.find("\r\n", begin);
  if (end == std::string::npos) end = content.size();
  return content.substr(0, begin) + "int PlayerWeapon2 = " + std::to_string(number) + ";" +
         content.substr(end);
}

// GBK bytes (as the files hold them) as UTF-8 (as the test's output shows them).
std::string utf8Of(const std::string& gbk) {
  const std::wstring wide = fromGbk(gbk);
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

// The weapon line of a file as the table shows it: escaped, cut at 28 bytes.
std::string shownLine(const std::string& content) {
  size_t begin = 0;
  while (begin != std::string::npos && content.compare(begin, 17, "int PlayerWeapon2") != 0) {
    begin = content.find("\r\n", begin);
    if (begin != std::string::npos) begin += 2;
  }
  if (begin == std::string::npos) return "(none)";
  std::string shown;
  for (size_t i = begin; i < content.size() && content.compare(i, 2, "\r\n") != 0; ++i) {
    const char c = content[i];
    shown += c == '\r'   ? "\\r"
             : c == '\n' ? "\\n"
             : c == '\0' ? "\\0"
             : c == '\t' ? "\\t"
                         : std::string(1, c);
  }
  if (shown.size() > 28) shown = shown.substr(0, 25) + "...";
  return utf8Of(shown);
}

// One press of 开始游戏 with the sub-weapon `weapon`. When files cannot be written, a message
// lists them: its text is returned ("" when none was expected).
std::wstring press(GameFolder& game, int weapon, bool expectMessage) {
  LauncherRun run;
  if (!run.start(game.launcherPath(), game.path())) return L"<not started>";
  SendMessageW(run.control(kWeaponList), CB_SETCURSEL, static_cast<WPARAM>(weapon), 0);
  SendMessageW(run.control(kAttributeList), CB_SETCURSEL, 0, 0);
  PostMessageW(run.control(kStartButton), BM_CLICK, 0, 0);
  std::wstring message;
  if (expectMessage) {
    HWND box = waitForMessageBox(run.program.processId(), kPatienceMs);
    if (box == nullptr) return L"<no message>";
    message = readMessageBox(box).text;
    dismissMessageBox(box);
  }
  EXPECT_EQ(run.exitCode(), 0u);
  return message;
}

TEST(OriginalWeaponsEntryTest, WeaponsThenOriginalsGiveBackEveryMissionByteForByte) {
  GameFolder game("originals");
  const std::vector<Mission> table = missions();
  for (const Mission& m : table) game.write(missionPath(m.number), m.content);
  const std::wstring record = recordPath(game);

  struct Step {
    const char* name;
    int weapon;
    int number;  // the weapon number written; 0 for the originals
  };
  const Step steps[] = {{"忍刀", kNinjaSword, 55},
                        {"飞镖", kDart, 1},
                        {"各关原版", kOriginals, 0},
                        {"忍刀", kNinjaSword, 55},
                        {"各关原版", kOriginals, 0}};
  std::vector<std::vector<std::string>> shown(table.size());
  std::vector<std::string> recordAfterFirst;
  for (size_t s = 0; s < std::size(steps); ++s) {
    const Step& step = steps[s];
    SCOPED_TRACE(step.name);
    {
      const bool holding = s == 2;
      std::optional<HeldFile> held;
      if (holding) {
        ASSERT_TRUE(held.emplace(game / missionPath(6), HeldFile::readersOnly).held());
      }
      const std::wstring message = press(game, step.weapon, holding);
      if (holding) {
        EXPECT_EQ(message, fromGbk(gbk::filesNotWritten) + L"\r\n" +
                               fromGbk(game / missionPath(6)) + fromGbk(gbk::reasonInUse) +
                               fromGbk(gbk::hintStart) + fromGbk(gbk::hintInUse) +
                               fromGbk(gbk::hintEnd));
      } else {
        EXPECT_EQ(message, L"");
      }
    }
    for (size_t i = 0; i < table.size(); ++i) {
      const Mission& m = table[i];
      const std::string now = game.read(missionPath(m.number));
      shown[i].push_back(shownLine(now));
      std::string want = step.number == 0 ? m.content : withWeapon(m.content, step.number);
      // Held at the first restore: it keeps the 飞镖 of the step before.
      if (m.heldAtRestore && s == 2) want = withWeapon(m.content, 1);
      EXPECT_EQ(now, want) << m.name;
    }
    // The originals are recorded at the first press, and stay what they were.
    if (s == 0) recordAfterFirst.push_back(readBytes(record));
    EXPECT_EQ(originalsIn(readBytes(record)), originalsIn(recordAfterFirst[0]));
  }
  EXPECT_EQ(game.read("wdpz.ini"), profileText(12, 0, 0, false));

  // The table the sequence went through, and whether each file is its old self at the end.
  std::printf("\n%-42s %-28s", "mission", "before");
  for (const Step& step : steps) std::printf(" | %-28s", step.name);
  std::printf(" | byte for byte\n");
  for (size_t i = 0; i < table.size(); ++i) {
    std::printf("sn%02d %-37s %-28s", table[i].number, table[i].name,
                shownLine(table[i].content).c_str());
    for (const std::string& cell : shown[i]) std::printf(" | %-28s", cell.c_str());
    const bool same = game.read(missionPath(table[i].number)) == table[i].content;
    std::printf(" | %s\n", same ? "same" : "DIFFERENT");
  }
  std::printf("\n原版副武器.txt:\n%s\n", utf8Of(recordAfterFirst[0]).c_str());
}

// A record that cannot be trusted never writes a wrong line: the missions it is damaged for
// are listed with a cause of their own and keep what they hold, the record's damaged lines
// are named, and the record is kept as it is.
TEST(OriginalWeaponsEntryTest, DamagedRecordLeavesItsMissionsAndSaysSo) {
  const std::wstring kept = fromGbk(gbk::hintStart) + fromGbk(gbk::hintRecordDamaged) +
                            fromGbk(gbk::hintEnd) + fromGbk(gbk::recordKept);
  const std::wstring lost =
      fromGbk(gbk::hintStart) + fromGbk(gbk::hintWeaponLineMissing) + fromGbk(gbk::hintEnd);
  const struct {
    const char* name;
    std::string record;
    std::vector<std::pair<int, std::wstring>> listed;  // missions listed, in order
    std::vector<std::wstring> lines;                   // then the record's damaged lines
    std::wstring below;
  } cases[] = {
      {"a line that does not parse",
       "sn01_.pst\tint PlayerWeapon2 = 3;\\q\r\nsn02_.pst\tint PlayerWeapon2 = 4;\r\n",
       {{1, L"（原版记录已损坏）"}},
       {L"（第1行已损坏：sn01_.pst）"},
       kept},
      {"a line for a mission without a weapon line",
       "sn03_.pst\tint PlayerWeapon2 = 3;\r\nsn02_.pst\tint PlayerWeapon2 = 4;\r\n",
       {{3, L"（文件中没有副武器行，无法写回原版）"}},
       {},
       lost},
      {"a line that names no mission",
       "sn02_.pst\tint PlayerWeapon2 = 4;\r\nsn2_.pst\tint PlayerWeapon2 = 3;\r\n",
       // Only the missions holding a line of the launcher's form: any other line is the
       // mission's own, which 各关原版 leaves whatever the record says.
       {{1, L"（原版记录已损坏）"}, {2, L"（原版记录已损坏）"}},
       {L"（第2行已损坏：不属于任何一关）"},
       kept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder game("damaged");
    game.write("Level\\sn01_.pst", "int PlayerWeapon2 = 55;\r\n");
    game.write("Level\\sn02_.pst", "int PlayerWeapon2 = 55;\r\n");
    game.write("Level\\sn03_.pst", "int EnemyCount = 2;\r\n");
    writeBytes(recordPath(game), c.record);
    std::vector<std::string> before;
    for (int n : {1, 2, 3, 7, 20}) before.push_back(game.read(missionPath(n)));
    const std::wstring message = press(game, kOriginals, true);
    std::wstring want = fromGbk(gbk::filesNotWritten);
    for (const auto& [n, cause] : c.listed)
      want += L"\r\n" + fromGbk(game / missionPath(n)) + cause;
    for (const std::wstring& line : c.lines) want += L"\r\n" + recordPath(game) + line;
    want += c.below;
    EXPECT_EQ(message, want);
    const bool secondRestored = c.listed.size() == 1;
    EXPECT_EQ(game.read(missionPath(2)),
              secondRestored ? "int PlayerWeapon2 = 4;\r\n" : "int PlayerWeapon2 = 55;\r\n");
    size_t i = 0;
    for (int n : {1, 3, 7, 20}) {
      if (i == 1) ++i;
      EXPECT_EQ(game.read(missionPath(n)), before[i++]) << n;
    }
    EXPECT_EQ(readBytes(recordPath(game)), c.record);
  }
}

// The window opens again with 各关原版 chosen, and a stored index past the end chooses it.
TEST(OriginalWeaponsEntryTest, WindowOpensAgainWithTheOriginalsChosen) {
  for (int stored : {12, 13, 99}) {
    SCOPED_TRACE(stored);
    GameFolder game("reopen");
    game.write("wdpz.ini", profileText(stored, 0, 0, false));
    LauncherRun run;
    ASSERT_TRUE(run.start(game.launcherPath(), game.path()));
    ListState weapons = readList(run.control(kWeaponList));
    EXPECT_EQ(weapons.selection, 12);
    EXPECT_EQ(textOf(run.control(kWeaponList)), L"各关原版");
    PostMessageW(run.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.exitCode(), 0u);
  }
}

}  // namespace
