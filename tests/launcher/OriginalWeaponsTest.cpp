// The record of the missions' weapon lines as bytes: the form of its lines and their checks,
// what a record says of each mission's original and of the lines the launcher wrote, how it
// reads when damaged (a line edited, cut, deleted, repeated, moved, re-encoded), records of
// the older forms, and the record written anew or extended.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "launcher/OriginalWeapons.h"

namespace {

using namespace std::string_literals;

// Lines of a record, with their checks worked out by another CRC-32 than the program's.
const std::string k1Original = "sn01_.pst\t1\toriginal\tint PlayerWeapon2 = 3; // x\t~d1fcf938";
const std::string k2Written58 = "sn01_.pst\t2\twritten\tint PlayerWeapon2 = 58;\t~ed3e3974";
const std::string k3Original = "sn02_.pst\t3\toriginal\tint PlayerWeapon2 = 1; // y\t~cecf5b97";
const std::string k4Written58 = "sn02_.pst\t4\twritten\tint PlayerWeapon2 = 58;\t~71adebd6";
const std::string kEnd4 = "end\t4\t~f3a1a310";
const std::string k5Written1 = "sn01_.pst\t5\twritten\tint PlayerWeapon2 = 1;\t~cc20a2b6";
const std::string kEnd5 = "end\t5\t~84a69386";

const std::string kComment = gbk::originalWeaponsComment;
const std::string kLine3 = "int PlayerWeapon2 = 3; // x";
const std::string kLine1 = "int PlayerWeapon2 = 1; // y";
const std::string k58 = "int PlayerWeapon2 = 58;";
const std::string k1 = "int PlayerWeapon2 = 1;";
const std::string k10 = "int PlayerWeapon2 = 10;";

std::string lines(const std::vector<std::string>& each, const std::string& br = "\r\n") {
  std::string out;
  for (const std::string& line : each) out += line + br;
  return out;
}

// The record after the launcher wrote 58 to missions 1 and 2 over their own lines.
const std::string kRecord =
    lines({kComment, k1Original, k2Written58, k3Original, k4Written58, kEnd4});

TEST(OriginalWeapons, LinesKeepEveryByteThroughTheirEscapes) {
  const struct {
    std::string line;
    std::string escaped;
  } cases[] = {
      {"int PlayerWeapon2 = 3;", "int PlayerWeapon2 = 3;"},
      {"int PlayerWeapon2=3; // \xB7\xC9\xEF\xDA\t", "int PlayerWeapon2=3; // \xB7\xC9\xEF\xDA\\t"},
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
  for (const char* bad : {"a\\", "a\\x", "a\\R", "a\rb", "a\nb"}) {
    EXPECT_EQ(unescapeOriginalLine(bad), std::nullopt) << bad;
  }
}

TEST(OriginalWeapons, LineCheckIsTheCrc32OfZipAndPng) {
  EXPECT_EQ(recordLineCheck(""), 0x00000000u);
  EXPECT_EQ(recordLineCheck("123456789"), 0xcbf43926u);
  EXPECT_EQ(recordLineCheck("end\t4"), 0xf3a1a310u);
}

TEST(OriginalWeapons, LauncherFormIsTheLineItWrites) {
  const struct {
    std::string line;
    bool form;
  } cases[] = {
      {"int PlayerWeapon2 = 28;", true},
      {"int PlayerWeapon2 = -19;", true},
      {"int PlayerWeapon2 = 0;", true},
      {"int PlayerWeapon2 = 2147483648;", true},
      {"int PlayerWeapon2 = 28; ", false},
      {"int PlayerWeapon2 = 28; // x", false},
      {"int PlayerWeapon2 =28;", false},
      {"int PlayerWeapon2 = ;", false},
      {"int PlayerWeapon2 = -;", false},
      {"int PlayerWeapon2 = 2x;", false},
      {"int PlayerWeapon2 = 28", false},
      {"int PlayerWeapon22 = 8;", false},
      {"int PlayerWeapon2 = 12345678901;", false},
  };
  for (const auto& c : cases) EXPECT_EQ(hasLauncherForm(c.line), c.form) << c.line;
}

TEST(OriginalWeapons, RecordWrittenAnewAndExtended) {
  const std::string first = recordWith("", readOriginalWeapons(""),
                                       {{1, EntryKind::original, kLine3},
                                        {1, EntryKind::written, k58},
                                        {2, EntryKind::original, kLine1},
                                        {2, EntryKind::written, k58}});
  EXPECT_EQ(first, kRecord);
  // A sound record written anew: each mission's original and its last two written lines.
  EXPECT_EQ(
      recordWith(kRecord, readOriginalWeapons(kRecord),
                 {{1, EntryKind::written, k1}, {1, EntryKind::written, k10}}),
      lines({kComment, "sn01_.pst\t1\toriginal\tint PlayerWeapon2 = 3; // x\t~d1fcf938",
             "sn01_.pst\t2\twritten\tint PlayerWeapon2 = 1;\t~74b5b023",
             "sn01_.pst\t3\twritten\tint PlayerWeapon2 = 10;\t~141c8b53",
             "sn02_.pst\t4\toriginal\tint PlayerWeapon2 = 1; // y\t~d897a6bb",
             "sn02_.pst\t5\twritten\tint PlayerWeapon2 = 58;\t~475f7b25", "end\t5\t~84a69386"}));
  // A damaged one is kept byte for byte, its last line ended, and extended after its last
  // number, the damaged line's own included.
  const std::string damaged = kRecord + "sn02_.pst\t9\tbroken";
  EXPECT_EQ(recordWith(
                damaged, readOriginalWeapons(damaged),
                {{1, EntryKind::original, "int PlayerWeapon2 = 7;"}, {1, EntryKind::written, k10}}),
            damaged + "\r\n" +
                lines({"sn01_.pst\t10\toriginal\tint PlayerWeapon2 = 7;\t~8fed84c1",
                       "sn01_.pst\t11\twritten\tint PlayerWeapon2 = 10;\t~6d47fc6a",
                       "end\t11\t~e3efaa35"}));
}

// Who wrote a mission's line, for records sound and damaged. Missions 1 and 2 hold 58,
// which the launcher wrote over "= 3; // x" and "= 1; // y".
TEST(OriginalWeapons, OwnerOfALineAndTheOriginal) {
  const std::string dup = kRecord + k1Original + "\r\n";
  const struct {
    const char* name;
    std::string record;
    int32_t mission;
    std::string line;
    LineOwner owner;
    std::optional<std::string> original;
  } cases[] = {
      {"the launcher's line", kRecord, 1, k58, LineOwner::launcher, kLine3},
      {"the original put back by the game", kRecord, 1, kLine3, LineOwner::other, kLine3},
      {"the launcher's form, never written here", kRecord, 1, k10, LineOwner::other, kLine3},
      {"a mission never changed", kRecord, 3, k58, LineOwner::other, std::nullopt},
      {"the line before the last written one",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58, k5Written1, kEnd5}), 1,
       k58, LineOwner::launcher, kLine3},
      {"an empty record", "", 1, k58, LineOwner::other, std::nullopt},
      {"a line there twice byte for byte", dup, 1, k58, LineOwner::launcher, kLine3},
      {"lines moved", lines({kEnd4, k4Written58, k2Written58, kComment, k3Original, k1Original}), 1,
       k58, LineOwner::launcher, kLine3},
      {"LF line breaks",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58, kEnd4}, "\n"), 2, k58,
       LineOwner::launcher, kLine1},
      {"CR line breaks",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58, kEnd4}, "\r"), 2, k58,
       LineOwner::launcher, kLine1},
      // Damage: the launcher's form is then of no known owner, any other line still is not
      // the launcher's.
      {"the written line deleted", lines({kComment, k1Original, k3Original, k4Written58, kEnd4}), 1,
       k58, LineOwner::unknown, kLine3},
      {"the last lines deleted", lines({kComment, k1Original, k2Written58}), 1, k58,
       LineOwner::unknown, kLine3},
      {"the end line cut",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58}) + "end\t4\t~f3a1", 2,
       k58, LineOwner::unknown, kLine1},
      {"a line edited by hand",
       lines({kComment, "sn01_.pst\t1\toriginal\tint PlayerWeapon2 = 4; // x\t~d1fcf938",
              k2Written58, k3Original, k4Written58, kEnd4}),
       1, k58, LineOwner::unknown, std::nullopt},
      {"another mission's line edited",
       lines({kComment, "sn01_.pst\t1\toriginal\tint PlayerWeapon2 = 4; // x\t~d1fcf938",
              k2Written58, k3Original, k4Written58, kEnd4}),
       2, k58, LineOwner::launcher, kLine1},
      {"blanks at a line's end",
       lines({kComment, k1Original + " ", k2Written58, k3Original, k4Written58, kEnd4}), 1, k58,
       LineOwner::unknown, std::nullopt},
      {"a damaged line of no mission",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58, kEnd4, "sn0"}), 2, k58,
       LineOwner::unknown, kLine1},
      {"a damaged line, the line of another form", lines({kComment, k1Original + "x", kEnd4}), 1,
       kLine3, LineOwner::other, std::nullopt},
      {"an original recorded after the damage",
       lines({kComment, k1Original + "x", k2Written58, k3Original, k4Written58, kEnd4,
              "sn01_.pst\t5\toriginal\tint PlayerWeapon2 = 7;\t~766b0121",
              "sn01_.pst\t6\twritten\tint PlayerWeapon2 = 10;\t~f924586c", "end\t6\t~1dafc23c"}),
       1, k10, LineOwner::launcher, "int PlayerWeapon2 = 7;"},
      {"two entries of one number",
       lines({kComment, k1Original, k2Written58, k3Original, k4Written58,
              "sn02_.pst\t4\twritten\tint PlayerWeapon2 = 1;\t~ee61bbe7", kEnd4}),
       2, k58, LineOwner::unknown, kLine1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const OriginalWeapons record = readOriginalWeapons(c.record);
    EXPECT_EQ(record.owner(c.mission, c.line), c.owner);
    const std::string* original = record.original(c.mission);
    EXPECT_EQ(original ? std::optional<std::string>(*original) : std::nullopt, c.original);
  }
}

// Records of the older forms: lines without a check, with a version mark or without.
TEST(OriginalWeapons, OlderRecordsReadAsBefore) {
  const std::string plain = lines({kComment, "sn01_.pst\t" + kLine3, "sn02_.pst\t" + kLine1});
  const std::string marked = lines({kComment, "sn01_.pst\t#0123456789abcdef-153\t" + kLine3,
                                    "sn01_.pst\t#0123456789abcde0-153\tint PlayerWeapon2 = 7;"});
  const struct {
    const char* name;
    std::string record;
    int32_t mission;
    std::string line;
    LineOwner owner;
    std::optional<std::string> original;
  } cases[] = {
      {"unmarked, the launcher's form", plain, 1, k58, LineOwner::launcher, kLine3},
      {"unmarked, another line", plain, 2, "int PlayerWeapon2 = 9; // z", LineOwner::other, kLine1},
      {"a second marked line with another mark supersedes", marked, 1, k58, LineOwner::launcher,
       "int PlayerWeapon2 = 7;"},
      {"two unmarked lines", plain + "sn01_.pst\t" + kLine1 + "\r\n", 1, k58, LineOwner::unknown,
       kLine3},
      {"an older line beside entries is damaged", kRecord + "sn03_.pst\t" + kLine1 + "\r\n", 3, k58,
       LineOwner::unknown, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const OriginalWeapons record = readOriginalWeapons(c.record);
    EXPECT_EQ(record.owner(c.mission, c.line), c.owner);
    const std::string* original = record.original(c.mission);
    EXPECT_EQ(original ? std::optional<std::string>(*original) : std::nullopt, c.original);
  }
}

TEST(OriginalWeapons, DamagedAndMissingLinesByNumber) {
  const OriginalWeapons record = readOriginalWeapons(
      lines({kComment, k1Original + "x", k2Written58, "junk", k4Written58, kEnd4}));
  ASSERT_EQ(record.damagedLines().size(), 2U);
  EXPECT_EQ(record.damagedLines()[0].number, 2);
  EXPECT_EQ(record.damagedLines()[0].mission, 1);
  EXPECT_EQ(record.damagedLines()[1].number, 4);
  EXPECT_EQ(record.damagedLines()[1].mission, 0);
  EXPECT_TRUE(record.linesMissing());  // entry 3 is not there; entry 1 is, damaged
  EXPECT_FALSE(record.sound());
  EXPECT_TRUE(readOriginalWeapons(kRecord).sound());
  EXPECT_FALSE(readOriginalWeapons(kRecord).linesMissing());
}

}  // namespace
