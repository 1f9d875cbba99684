// The mission weapon rewrite apart from files: weapon numbers, mission file names and the
// new content of one mission file.
#include "launcher/MissionContent.h"
#include "launcher/WeaponLineSearch.h"
#include "tests/support/MissionOracle.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "GbkTexts.h"
#include "tests/support/PlainLauncherControls.h"
#include "tests/support/WeaponNumbers.h"

namespace {

using namespace std::string_literals;

int32_t numberForSelections(int32_t weapon, int32_t attribute) {
  PlainLauncherControls controls;
  controls.setSelection(LauncherList::weapon, weapon);
  controls.setSelection(LauncherList::attribute, attribute);
  return weaponNumber(
      controls.itemValue(LauncherList::weapon, controls.selection(LauncherList::weapon)),
      controls.itemValue(LauncherList::attribute, controls.selection(LauncherList::attribute)));
}

TEST(WeaponNumber, EveryChoiceOfTheTwoLists) {
  for (int32_t weapon = 0; weapon < 12; ++weapon) {
    for (int32_t attribute = 0; attribute < 4; ++attribute) {
      EXPECT_EQ(numberForSelections(weapon, attribute), kWeaponNumbers[weapon][attribute])
          << "weapon " << weapon << " attribute " << attribute;
    }
  }
}

TEST(WeaponNumber, ListsWithoutSelection) {
  for (const WeaponChoice& c : kWeaponNumbersWithoutSelection) {
    EXPECT_EQ(numberForSelections(c.weapon, c.attribute), c.number)
        << "weapon " << c.weapon << " attribute " << c.attribute;
  }
}

TEST(WeaponNumber, ItemValuesOutsideTheTemplate) {
  EXPECT_EQ(weaponNumber(9, 1), 9);
  EXPECT_EQ(weaponNumber(10, 1), 10);  // above 9: A + B - 1
  EXPECT_EQ(weaponNumber(0, 0), -9);
  EXPECT_EQ(weaponNumber(-5, 3), 13);
  // Wraps as the double-to-integer conversion does (low 32 bits of the 64-bit value).
  EXPECT_EQ(weaponNumber(1, INT32_MIN), static_cast<int32_t>(1 + 9 * 2147483647ll));
  EXPECT_EQ(weaponNumber(INT32_MAX, INT32_MAX), static_cast<int32_t>(4294967293ll));
}

TEST(MissionFileName, TwoDigitNumbersFromOneToTwenty) {
  const std::string prefix = gbk::missionFilePrefix;  // "\Level\sn"
  EXPECT_EQ(missionFileName(1).str(), prefix + "01_.pst");
  EXPECT_EQ(missionFileName(9).str(), prefix + "09_.pst");
  EXPECT_EQ(missionFileName(10).str(), prefix + "10_.pst");
  EXPECT_EQ(missionFileName(20).str(), prefix + "20_.pst");
  EXPECT_EQ(prefix, "\\Level\\sn");
}

TEST(WeaponLine, ExactText) {
  EXPECT_EQ(weaponLine(28).str(), "int PlayerWeapon2 = 28;");
  EXPECT_EQ(weaponLine(0).str(), "int PlayerWeapon2 = 0;");
  EXPECT_EQ(weaponLine(-19).str(), "int PlayerWeapon2 = -19;");
}

// The new content of a mission: the program's search (in pieces of three bytes) gives the
// line that is replaced; the expected contents are written out, and the reference agrees.
std::optional<std::string> patchedInPieces(const std::string& content, int32_t number) {
  WeaponLineSearch search;
  for (size_t at = 0; at < content.size(); at += 3) {
    if (search.take(std::string_view(content).substr(at, 3))) break;
  }
  search.finish();
  const std::optional<WeaponLineSpan> line = search.line();
  if (!line || line->loneCr) return std::nullopt;
  return content.substr(0, line->begin) + weaponLine(number).str() + content.substr(line->end);
}

TEST(PatchMissionContent, ReplacesTheFirstWeaponLineAndKeepsEveryOtherByte) {
  struct Case {
    const char* name;
    std::string content;
    int32_t number;
    std::optional<std::string> patched;  // none: left untouched
  };
  const std::string comment = "// "s + gbk::keyWeapon;  // a GBK comment line
  const Case cases[] = {
      {"line in the middle", "void main()\r\nint PlayerWeapon2 = 3;\r\nint Life = 5;\r\n", 28,
       "void main()\r\nint PlayerWeapon2 = 28;\r\nint Life = 5;\r\n"},
      {"first line, no final break", "int PlayerWeapon2 = 3;\r\nx", 55,
       "int PlayerWeapon2 = 55;\r\nx"},
      {"last line, no final break", "x\r\nint PlayerWeapon2 = 3;", 10,
       "x\r\nint PlayerWeapon2 = 10;"},
      {"two final breaks stay two", "int PlayerWeapon2 = 3;\r\n\r\n", 1,
       "int PlayerWeapon2 = 1;\r\n\r\n"},
      {"chinese lines around it", comment + "\r\nint PlayerWeapon2 = 3;\r\n" + comment, 4,
       comment + "\r\nint PlayerWeapon2 = 4;\r\n" + comment},
      {"trailing comment goes", "a\r\nint PlayerWeapon2 = 3; // old\r\nb", 12,
       "a\r\nint PlayerWeapon2 = 12;\r\nb"},
      {"further digit matches", "int PlayerWeapon22 = 7;\r\n", 5, "int PlayerWeapon2 = 5;\r\n"},
      {"further letter matches", "int PlayerWeapon2x\r\n", 5, "int PlayerWeapon2 = 5;\r\n"},
      {"prefix alone matches", "a\r\nint PlayerWeapon2\r\nb", 5,
       "a\r\nint PlayerWeapon2 = 5;\r\nb"},
      {"only the first of two", "int PlayerWeapon2 = 1;\r\nint PlayerWeapon2 = 2;\r\n", 9,
       "int PlayerWeapon2 = 9;\r\nint PlayerWeapon2 = 2;\r\n"},
      {"first match after others", " int PlayerWeapon2 = 1;\r\nint PlayerWeapon2 = 2;", 9,
       " int PlayerWeapon2 = 1;\r\nint PlayerWeapon2 = 9;"},
      {"negative number", "int PlayerWeapon2 = 1;", -19, "int PlayerWeapon2 = -19;"},
      {"zero bytes elsewhere survive", "a\0b\r\nint PlayerWeapon2 = 1;\r\nc\0d\r\n"s, 2,
       "a\0b\r\nint PlayerWeapon2 = 2;\r\nc\0d\r\n"s},
      {"zero byte after the prefix", "int PlayerWeapon2\0 = 1;\r\n\0"s, 2,
       "int PlayerWeapon2 = 2;\r\n\0"s},
      {"LF line breaks stay", "a\nint PlayerWeapon2 = 1;\nb\n", 2,
       "a\nint PlayerWeapon2 = 2;\nb\n"},
      {"the line's own LF stays", "a\r\nint PlayerWeapon2 = 1;\nb\r\n", 2,
       "a\r\nint PlayerWeapon2 = 2;\nb\r\n"},
      {"a lead byte before the CR LF", "int PlayerWeapon2 = 6; // \xA9\r\nint E = 12;\r\n", 55,
       "int PlayerWeapon2 = 55;\r\nint E = 12;\r\n"},
      {"UTF-8 comment before the CR LF",
       "int PlayerWeapon2 = 6; // \xe6\x95\xb0\r\nint EnemyCount = 12;\r\n", 55,
       "int PlayerWeapon2 = 55;\r\nint EnemyCount = 12;\r\n"},
      {"CR LF after a lead byte", "\xB0\r\nint PlayerWeapon2 = 1;\r\n", 1,
       "\xB0\r\nint PlayerWeapon2 = 1;\r\n"},
      {"CR LF after three lead bytes", "\xB0\xA1\xB0\r\nint PlayerWeapon2 = 1;", 4,
       "\xB0\xA1\xB0\r\nint PlayerWeapon2 = 4;"},
      {"after a CR alone: left", "a\rint PlayerWeapon2 = 1;\rb", 2, std::nullopt},
      {"ends at a CR alone: left", "int PlayerWeapon2 = 1;\rb\r\n", 2, std::nullopt},
      {"empty file", "", 1, std::nullopt},
      {"no weapon line", "int Life = 5;\r\nint PlayerWeapon1 = 2;\r\n", 1, std::nullopt},
      {"blank before", " int PlayerWeapon2 = 1;\r\n", 1, std::nullopt},
      {"tab before", "\tint PlayerWeapon2 = 1;\r\n", 1, std::nullopt},
      {"other case", "int playerWeapon2 = 1;\r\nINT PlayerWeapon2 = 1;\r\n", 1, std::nullopt},
      {"shorter than the prefix", "int PlayerWeapon\r\n", 1, std::nullopt},
      {"other W bytes first", "W\r\nWeapon = 1;\r\nint Player\r\nint PlayerWeapon2;\r\nW", 4,
       "W\r\nWeapon = 1;\r\nint Player\r\nint PlayerWeapon2 = 4;\r\nW"},
      {"zero byte inside the prefix", "int Player\0Weapon2 = 1;\r\n"s, 1, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(patchedInPieces(c.content, c.number), c.patched) << c.name;
    EXPECT_EQ(patchMissionContent(c.content, c.number), c.patched) << c.name << " (reference)";
  }
}

TEST(PatchMissionContent, LargeContentKeepsEveryByte) {
  std::string before;
  for (int i = 0; i < 20000; ++i) before += "int Enemy" + std::to_string(i) + " = 1;\r\n";
  std::string after = "\r\n" + before;
  const std::string content = before + "int PlayerWeapon2 = 3;" + after;
  EXPECT_EQ(patchedInPieces(content, 47), before + "int PlayerWeapon2 = 47;" + after);
}

}  // namespace
