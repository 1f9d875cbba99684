// The record of the missions' original weapon lines as bytes: the form of a line, reading
// a record (sound, damaged, written by hand) and adding missions to it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GbkTexts.h"
#include "launcher/OriginalWeapons.h"

namespace {

using namespace std::string_literals;

TEST(OriginalWeapons, LinesKeepEveryByteThroughTheirEscapes) {
  const struct {
    std::string line;
    std::string escaped;
  } cases[] = {
      {"int PlayerWeapon2 = 3;", "int PlayerWeapon2 = 3;"},
      {"int PlayerWeapon2=3; // 飞镖\t", "int PlayerWeapon2=3; // 飞镖\t"},
      {"a\\b", "a\\\\b"},
      {"a\rb\nc", "a\\rb\\nc"},
      {"a\0b"s, "a\\0b"},
      {"\\r", "\\\\r"},
      {"\xB5\x5C", "\xB5\x5C\x5C"},  // a GBK character whose second byte is a backslash
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(escapeOriginalLine(c.line), c.escaped);
    EXPECT_EQ(unescapeOriginalLine(c.escaped), c.line);
  }
  for (const char* bad : {"a\\", "a\\t", "a\\R", "a\rb", "a\nb"}) {
    EXPECT_EQ(unescapeOriginalLine(bad), std::nullopt) << bad;
  }
}

TEST(OriginalWeapons, RecordLineAndAppendedMissions) {
  EXPECT_EQ(originalWeaponRecordLine(1, "int PlayerWeapon2 = 3;"),
            "sn01_.pst\tint PlayerWeapon2 = 3;\r\n");
  EXPECT_EQ(originalWeaponRecordLine(20, "int PlayerWeapon2 = 1;\r"),
            "sn20_.pst\tint PlayerWeapon2 = 1;\\r\r\n");
  const std::vector<std::pair<int32_t, std::string>> added = {{2, "int PlayerWeapon2 = 5;"}};
  EXPECT_EQ(withOriginalWeapons("", added),
            gbk::originalWeaponsComment + "\r\nsn02_.pst\tint PlayerWeapon2 = 5;\r\n"s);
  // What was there stays byte for byte, damaged lines too.
  EXPECT_EQ(withOriginalWeapons("# x\r\nsn01_.pst\tint PlayerWeapon2 = 3;\r\n", added),
            "# x\r\nsn01_.pst\tint PlayerWeapon2 = 3;\r\nsn02_.pst\tint PlayerWeapon2 = 5;\r\n");
  EXPECT_EQ(withOriginalWeapons("junk", added), "junk\r\nsn02_.pst\tint PlayerWeapon2 = 5;\r\n");
  EXPECT_EQ(withOriginalWeapons("x\n", added), "x\nsn02_.pst\tint PlayerWeapon2 = 5;\r\n");
  EXPECT_EQ(withOriginalWeapons("x\r", added), "x\r\nsn02_.pst\tint PlayerWeapon2 = 5;\r\n");
}

TEST(OriginalWeapons, WrittenRecordReadsBack) {
  std::vector<std::pair<int32_t, std::string>> added;
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    added.emplace_back(n, "int PlayerWeapon2 = " + std::to_string(n) + ";\0\r\n\\"s);
  }
  const OriginalWeapons record = readOriginalWeapons(withOriginalWeapons("", added));
  for (const auto& [n, line] : added) {
    ASSERT_NE(record.original(n), nullptr) << n;
    EXPECT_EQ(*record.original(n), line);
    EXPECT_FALSE(record.damaged(n));
  }
}

// Missions 1 to 3 as the record says them: the original, or "damaged", or "none".
struct ReadCase {
  const char* name;
  std::string content;
  const char* missions[3];
};

std::string stateOf(const OriginalWeapons& record, int32_t n) {
  if (record.damaged(n)) return "damaged";
  return record.original(n) == nullptr ? "none" : *record.original(n);
}

TEST(OriginalWeapons, ReadingARecord) {
  const ReadCase cases[] = {
      {"empty", "", {"none", "none", "none"}},
      {"comment and blank lines only", "# a\r\n\r\n#\tsn01_.pst\r\n", {"none", "none", "none"}},
      {"two missions",
       "#\r\nsn01_.pst\tint PlayerWeapon2 = 3;\r\nsn03_.pst\tint PlayerWeapon2=1; //x\r\n",
       {"int PlayerWeapon2 = 3;", "none", "int PlayerWeapon2=1; //x"}},
      {"LF line ends and no final break",
       "sn02_.pst\tint PlayerWeapon2 = 1;\nsn01_.pst\tint PlayerWeapon2",
       {"int PlayerWeapon2", "int PlayerWeapon2 = 1;", "none"}},
      {"a blank at the end stays in the line",
       "sn01_.pst\tint PlayerWeapon2 = 3; \r\n",
       {"int PlayerWeapon2 = 3; ", "none", "none"}},
      {"not a weapon line",
       "sn01_.pst\tint PlayerWeapon = 3;\r\nsn02_.pst\tint PlayerWeapon2 = 3;\r\n",
       {"damaged", "int PlayerWeapon2 = 3;", "none"}},
      {"bad escape", "sn02_.pst\tint PlayerWeapon2 = 3;\\x\r\n", {"none", "damaged", "none"}},
      {"lone CR inside", "sn02_.pst\tint PlayerWeapon2 = 3;\r;\r\n", {"none", "damaged", "none"}},
      {"twice, even alike",
       "sn03_.pst\tint PlayerWeapon2 = 3;\r\nsn03_.pst\tint PlayerWeapon2 = 3;\r\n"
       "sn03_.pst\tint PlayerWeapon2 = 3;\r\n",
       {"none", "none", "damaged"}},
      {"a line naming no mission",
       "sn01_.pst\tint PlayerWeapon2 = 3;\r\nsn1_.pst\tint PlayerWeapon2 = 1;\r\n",
       {"damaged", "damaged", "damaged"}},
      {"no tab", "sn01_.pst int PlayerWeapon2 = 3;\r\n", {"damaged", "damaged", "damaged"}},
      {"mission past 20",
       "sn21_.pst\tint PlayerWeapon2 = 3;\r\n",
       {"damaged", "damaged", "damaged"}},
      {"a byte-order mark",
       "\xEF\xBB\xBFsn01_.pst\tint PlayerWeapon2 = 3;\r\n",
       {"damaged", "damaged", "damaged"}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const OriginalWeapons record = readOriginalWeapons(c.content);
    for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(stateOf(record, n), c.missions[n - 1]) << n;
  }
  OriginalWeapons unreadable;
  unreadable.damageAll();
  EXPECT_TRUE(unreadable.damaged(20));
}

}  // namespace
