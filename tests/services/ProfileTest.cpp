// Profile items on real files in a temporary folder.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "GbkTexts.h"
#include "services/Profile.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string section = gbk::settingsSection;  // 我的设置
const std::string weaponKey = gbk::keyWeapon;      // 副武器选择
const std::string windowedKey = gbk::keyWindowed;  // 是否窗口化

class ProfileTest : public testing::Test {
 protected:
  TempFolder temp{"profile"};
  std::string file = temp / "wdpz.ini";
};

TEST_F(ProfileTest, ReadReturnsValueOrDefault) {
  writeBytes(file, "[" + section + "]\r\n" + weaponKey + "=3\r\n" + windowedKey +
                       "=\r\nspaced =  7  \r\n[other]\r\nkey=9\r\n");
  struct Case {
    std::string file;
    std::string section;
    std::string key;
    std::optional<Text> defaultText;
    std::string expected;
  } cases[] = {
      {file, section, weaponKey, Text("0"), "3"},
      {file, section, weaponKey, std::nullopt, "3"},
      {file, " " + section, weaponKey, Text("0"), "3"},             // leading blank skipped
      {file, "\t\r\n" + section, " " + weaponKey, Text("0"), "3"},  // control bytes too
      {"  " + file, section, weaponKey, Text("0"), "3"},
      {file, section, windowedKey, Text(gbk::logicalFalse), ""},  // present, empty value
      {file, section, "spaced", Text("0"), "7"},                  // blanks around trimmed
      {file, section, "SPACED", Text("0"), "7"},                  // names match without case
      {file, "OTHER", "key", std::nullopt, "9"},
      {file, section, "missing", Text("0"), "0"},
      {file, section, "missing", std::nullopt, ""},
      {file, "missing", weaponKey, Text(gbk::logicalFalse), gbk::logicalFalse},
      {temp / "missing.ini", section, weaponKey, Text("0"), "0"},
      {temp / "missing.ini", section, weaponKey, std::nullopt, ""},
      {file, section, "", Text("0"), ""},  // empty key: nothing read, not even the default
      {file, section, "   ", Text("0"), ""},
      {file, "", weaponKey, Text("0"), ""},
      {"", section, weaponKey, Text("0"), ""},
      {" \t", section, weaponKey, Text("0"), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readProfileItem(Text(c.file), Text(c.section), Text(c.key), c.defaultText).str(),
              c.expected)
        << "[" << c.section << "] " << c.key;
  }
}

TEST_F(ProfileTest, FirstWriteCreatesFileWithSectionAndKey) {
  EXPECT_TRUE(writeProfileItem(Text(file), Text(section), Text(weaponKey), Text("2")));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=2\r\n");
  EXPECT_TRUE(
      writeProfileItem(Text(file), Text(section), Text(windowedKey), Text(gbk::logicalTrue)));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=2\r\n" + windowedKey + "=" +
                                 gbk::logicalTrue + "\r\n");
}

TEST_F(ProfileTest, WriteReplacesInPlaceAndKeepsOtherLines) {
  writeBytes(file, "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=3\r\ny=4\r\n");
  EXPECT_TRUE(writeProfileItem(Text(file), Text(section), Text(weaponKey), Text("5")));
  EXPECT_EQ(readBytes(file), "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=5\r\ny=4\r\n");
  EXPECT_EQ(readProfileItem(Text(file), Text(section), Text(weaponKey)).str(), "5");
}

TEST_F(ProfileTest, EmptyValueAbsentValueAndAbsentKey) {
  writeBytes(file, "[" + section + "]\r\n" + weaponKey + "=3\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Text(file), Text(section), Text(weaponKey), Text("")));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Text(file), Text(section), Text(weaponKey), std::nullopt));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Text(file), Text(section), std::nullopt, std::nullopt));
  EXPECT_EQ(readBytes(file), "[b]\r\nz=1\r\n");
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(
      writeProfileItem(Text(temp / "no\\wdpz.ini"), Text(section), Text(weaponKey), Text("1")));
  EXPECT_FALSE(pathExists(temp / "no"));
}

}  // namespace
