// The record of the missions' original weapon lines as bytes: the form of a line, reading
// a record (sound, damaged, written by hand, by an older program, with lone CR or LF line
// breaks, with new versions of a mission) and adding missions to it.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
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

// The version of a mission: FNV-1a over the bytes around the weapon line, in any pieces.
TEST(OriginalWeapons, VersionHashOverPieces) {
  const struct {
    std::vector<std::string> pieces;
    MissionVersion version;
  } cases[] = {
      {{}, {0xcbf29ce484222325ull, 0}},
      {{"a"}, {0xaf63dc4c8601ec8cull, 1}},
      {{"foobar"}, {0x85944171f73967e8ull, 6}},
      {{"foo", "", "b", "ar"}, {0x85944171f73967e8ull, 6}},
  };
  for (const auto& c : cases) {
    VersionHash hash;
    for (const std::string& piece : c.pieces) hash.add(piece);
    EXPECT_EQ(hash.version(), c.version) << c.pieces.size();
  }
}

TEST(OriginalWeapons, RecordLineAndAppendedMissions) {
  const MissionVersion version{0x0123456789abcdefull, 42};
  const struct {
    int32_t n;
    RecordedOriginal original;
    std::string line;
  } lines[] = {
      {1, {"int PlayerWeapon2 = 3;", std::nullopt}, "sn01_.pst\tint PlayerWeapon2 = 3;\r\n"},
      {20, {"int PlayerWeapon2 = 1;\r", std::nullopt}, "sn20_.pst\tint PlayerWeapon2 = 1;\\r\r\n"},
      {2,
       {"int PlayerWeapon2 = 3;\t// x", version},
       "sn02_.pst\t#0123456789abcdef-42\tint PlayerWeapon2 = 3;\t// x\r\n"},
      {3,
       {"int PlayerWeapon2 = 3;", MissionVersion{~0ull, ~0ull}},
       "sn03_.pst\t#ffffffffffffffff-18446744073709551615\tint PlayerWeapon2 = 3;\r\n"},
      {4,
       {"int PlayerWeapon2", MissionVersion{0, 0}},
       "sn04_.pst\t#0000000000000000-0\tint PlayerWeapon2\r\n"},
  };
  for (const auto& l : lines) EXPECT_EQ(originalWeaponRecordLine(l.n, l.original), l.line);
  const std::vector<std::pair<int32_t, RecordedOriginal>> added = {
      {2, {"int PlayerWeapon2 = 5;", std::nullopt}}};
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
  std::vector<std::pair<int32_t, RecordedOriginal>> added;
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    std::optional<MissionVersion> version;
    if (n % 2 == 0) version = MissionVersion{0x9e3779b97f4a7c15ull * static_cast<uint64_t>(n), 7};
    added.emplace_back(
        n, RecordedOriginal{"int PlayerWeapon2 = " + std::to_string(n) + ";\0\r\n\\\t#"s, version});
  }
  // Then a new version of mission 2, which supersedes its line.
  added.emplace_back(2, RecordedOriginal{"int PlayerWeapon2 = 7;", MissionVersion{1, 2}});
  const OriginalWeapons record = readOriginalWeapons(withOriginalWeapons("", added));
  EXPECT_TRUE(record.extendable());
  for (size_t i = 0; i < added.size(); ++i) {
    if (i == 1) continue;  // mission 2's first version, superseded
    const auto& [n, original] = added[i];
    ASSERT_NE(record.original(n), nullptr) << n;
    EXPECT_EQ(record.original(n)->line, original.line);
    EXPECT_EQ(record.original(n)->version, original.version);
    EXPECT_FALSE(record.damaged(n));
  }
}

// Missions 1 to 3 as the record says them: the original (after the mark of its version,
// "#hash-length ", when it has one), or "damaged", or "none".
struct ReadCase {
  const char* name;
  std::string content;
  const char* missions[3];
};

std::string stateOf(const OriginalWeapons& record, int32_t n) {
  if (record.damaged(n)) return "damaged";
  const RecordedOriginal* original = record.original(n);
  if (original == nullptr) return "none";
  if (!original->version) return original->line;
  char mark[64];
  std::snprintf(mark, sizeof mark, "#%llx-%llu ",
                static_cast<unsigned long long>(original->version->hash),
                static_cast<unsigned long long>(original->version->length));
  return mark + original->line;
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
      // CR, LF and CR LF each end a line; CR LF is one break, LF CR two.
      {"lone CR line breaks",
       "# comment\rsn01_.pst\tint PlayerWeapon2 = 3;\rsn02_.pst\tint PlayerWeapon2 = 1;\r",
       {"int PlayerWeapon2 = 3;", "int PlayerWeapon2 = 1;", "none"}},
      {"CR, LF, CR LF and LF CR mixed",
       "#\nsn01_.pst\tint PlayerWeapon2 = 3;\n\rsn02_.pst\tint PlayerWeapon2 = 1;\r\r\n"
       "sn03_.pst\tint PlayerWeapon2 = 2;",
       {"int PlayerWeapon2 = 3;", "int PlayerWeapon2 = 1;", "int PlayerWeapon2 = 2;"}},
      {"a line broken by a lone CR",
       "sn02_.pst\tint PlayerWeapon2 = 3;\r; // x\r\n",
       {"damaged", "damaged", "damaged"}},
      // The mark of the version.
      {"marked lines",
       "sn01_.pst\t#00000000000000ff-10\tint PlayerWeapon2 = 3;\t// x\r\n"
       "sn02_.pst\t#ffffffffffffffff-0\tint PlayerWeapon2\r\n",
       {"#ff-10 int PlayerWeapon2 = 3;\t// x", "#ffffffffffffffff-0 int PlayerWeapon2", "none"}},
      {"a new version supersedes",
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 3;\r\n"
       "sn02_.pst\tint PlayerWeapon2 = 1;\r\n"
       "sn01_.pst\t#0000000000000001-11\tint PlayerWeapon2 = 7;\r\n"
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 5;\r\n",
       {"#1-10 int PlayerWeapon2 = 5;", "int PlayerWeapon2 = 1;", "none"}},
      {"the same version twice",
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 3;\r\n"
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 7;\r\n",
       {"damaged", "none", "none"}},
      {"a marked line after an older one",
       "sn01_.pst\tint PlayerWeapon2 = 3;\r\n"
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 7;\r\n",
       {"damaged", "none", "none"}},
      {"an older line after a marked one",
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 3;\r\n"
       "sn01_.pst\tint PlayerWeapon2 = 7;\r\n",
       {"damaged", "none", "none"}},
      {"a new version after a damaged line",
       "sn01_.pst\t#0000000000000001-10\tint PlayerWeapon2 = 3;\\x\r\n"
       "sn01_.pst\t#0000000000000001-11\tint PlayerWeapon2 = 7;\r\n",
       {"damaged", "none", "none"}},
      {"marks not in the form written",
       "sn01_.pst\t#00000000000000FF-10\tint PlayerWeapon2 = 3;\r\n"
       "sn02_.pst\t#ff-10\tint PlayerWeapon2 = 3;\r\n"
       "sn03_.pst\t#0000000000000001-010\tint PlayerWeapon2 = 3;\r\n",
       {"damaged", "damaged", "damaged"}},
      {"marks without a length, too long, without the line",
       "sn01_.pst\t#0000000000000001-\tint PlayerWeapon2 = 3;\r\n"
       "sn02_.pst\t#0000000000000001-18446744073709551616\tint PlayerWeapon2 = 3;\r\n"
       "sn03_.pst\t#0000000000000001-10 int PlayerWeapon2 = 3;\r\n",
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
  EXPECT_FALSE(unreadable.extendable());
}

// Which lines of a record cannot be understood (number: mission), every CR LF, CR or LF
// ending one; a record with any takes no new line.
TEST(OriginalWeapons, DamagedLinesByNumber) {
  const struct {
    const char* name;
    std::string content;
    std::string damaged;
  } cases[] = {
      {"sound", "#\r\n\r\nsn01_.pst\tint PlayerWeapon2 = 3;\r\n", ""},
      {"blank lines of each break count", "#\r\n\r\r\n\nsn01_.pst\tint PlayerWeapon2 = 3;\\q\r\n",
       "5:1"},
      {"a second line for a mission",
       "sn02_.pst\tint PlayerWeapon2 = 3;\rsn02_.pst\tint PlayerWeapon2 = 3;", "2:2"},
      {"a line naming no mission, then a bad one",
       "sn21_.pst\tint PlayerWeapon2 = 3;\nsn03_.pst\tx\n", "1:0 2:3"},
      {"a line broken by a lone CR", "sn02_.pst\tint PlayerWeapon2 = 3;\r; // x\r\n", "2:0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const OriginalWeapons record = readOriginalWeapons(c.content);
    std::string damaged;
    for (const DamagedRecordLine& line : record.damagedLines()) {
      if (!damaged.empty()) damaged += ' ';
      damaged += std::to_string(line.number) + ":" + std::to_string(line.mission);
    }
    EXPECT_EQ(damaged, c.damaged);
    EXPECT_EQ(record.extendable(), c.damaged.empty());
  }
}

}  // namespace
