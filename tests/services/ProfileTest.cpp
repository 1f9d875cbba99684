// Profile items on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

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
    EXPECT_EQ(
        readProfileItem(Path(widePath(c.file)), Text(c.section), Text(c.key), c.defaultText).str(),
        c.expected)
        << "[" << c.section << "] " << c.key;
  }
}

TEST_F(ProfileTest, FirstWriteCreatesFileWithSectionAndKey) {
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), Text(weaponKey), Text("2")));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=2\r\n");
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), Text(windowedKey),
                               Text(gbk::logicalTrue)));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=2\r\n" + windowedKey + "=" +
                                 gbk::logicalTrue + "\r\n");
}

TEST_F(ProfileTest, WriteReplacesInPlaceAndKeepsOtherLines) {
  writeBytes(file, "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=3\r\ny=4\r\n");
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), Text(weaponKey), Text("5")));
  EXPECT_EQ(readBytes(file), "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=5\r\ny=4\r\n");
  EXPECT_EQ(readProfileItem(Path(widePath(file)), Text(section), Text(weaponKey)).str(), "5");
}

TEST_F(ProfileTest, EmptyValueAbsentValueAndAbsentKey) {
  writeBytes(file, "[" + section + "]\r\n" + weaponKey + "=3\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), Text(weaponKey), Text("")));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\n" + weaponKey + "=\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), Text(weaponKey), std::nullopt));
  EXPECT_EQ(readBytes(file), "[" + section + "]\r\ny=4\r\n[b]\r\nz=1\r\n");
  EXPECT_TRUE(writeProfileItem(Path(widePath(file)), Text(section), std::nullopt, std::nullopt));
  EXPECT_EQ(readBytes(file), "[b]\r\nz=1\r\n");
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(writeProfileItem(Path(widePath(temp / "no\\wdpz.ini")), Text(section),
                                Text(weaponKey), Text("1")));
  EXPECT_FALSE(pathExists(temp / "no"));
}

// Several items in one replacement of the file: all of them stored, or the file unchanged
// byte for byte, and nothing left beside it.
TEST_F(ProfileTest, WriteItemsReplacesTheWholeFileOrNothing) {
  const std::string old = "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=3\r\ny=4\r\n";
  const std::string updated = "[a]\r\nx=1\r\n[" + section + "]\r\n" + weaponKey + "=5\r\ny=4\r\n" +
                              windowedKey + "=" + gbk::logicalTrue + "\r\n";
  enum class Fault { none, missing, readOnly, held, folder };
  struct Case {
    const char* name;
    Fault fault;
    bool stored;
    std::string after;
  } cases[] = {
      {"existing file", Fault::none, true, updated},
      {"first write", Fault::missing, true,
       "[" + section + "]\r\n" + weaponKey + "=5\r\n" + windowedKey + "=" + gbk::logicalTrue +
           "\r\n"},
      {"read-only file", Fault::readOnly, false, old},
      {"file held by another program", Fault::held, false, old},
      {"folder of that name", Fault::folder, false, "<missing>"},
  };
  for (const Case& c : cases) {
    TempFolder folder("items");
    std::string path = folder / "wdpz.ini";
    if (c.fault == Fault::folder) {
      makeFolder(path);
    } else if (c.fault != Fault::missing) {
      writeBytes(path, old);
    }
    if (c.fault == Fault::readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = c.fault == Fault::held
                      ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)
                      : INVALID_HANDLE_VALUE;

    EXPECT_EQ(writeProfileItems(
                  Path(widePath(path)), Text(section),
                  {{Text(weaponKey), Text("5")}, {Text(windowedKey), Text(gbk::logicalTrue)}}),
              c.stored)
        << c.name;

    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readBytes(path), c.after) << c.name;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder / "*").c_str(), &entry);
    int entries = 0;
    do {
      entries += entry.cFileName[0] == '.' ? 0 : 1;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    EXPECT_EQ(entries, 1) << c.name << ": something was left beside the file";
  }
  EXPECT_FALSE(writeProfileItems(Path(widePath(temp / "no\\wdpz.ini")), Text(section),
                                 {{Text(weaponKey), Text("1")}}));
  EXPECT_FALSE(pathExists(temp / "no"));
}

// A file that starts with a byte-order mark is read as missing and never written: it keeps
// every byte, and the write says it did not store the values, and why.
TEST_F(ProfileTest, FileWithByteOrderMarkIsLeftUnchanged) {
  const std::string utf8Section = "[\xE6\x88\x91\xE7\x9A\x84\xE8\xAE\xBE\xE7\xBD\xAE]";  // UTF-8
  for (const std::string& content :
       {"\xEF\xBB\xBF" + utf8Section + "\r\nk=3\r\n", std::string("\xFF\xFE[\0a\0]\0", 8),
        std::string("\xFE\xFF\0[\0a\0]", 8)}) {
    writeBytes(file, content);
    EXPECT_EQ(readProfileItem(Path(widePath(file)), Text(section), Text("k"), Text("0")).str(),
              "0");
    FileFault fault = FileFault::none;
    EXPECT_FALSE(
        writeProfileItems(Path(widePath(file)), Text(section), {{Text("k"), Text("5")}}, &fault));
    EXPECT_EQ(fault, FileFault::byteOrderMark);
    EXPECT_EQ(readBytes(file), content);
  }
}

// A player's file saved with one value changed: only that key's line changes; comments,
// blank lines, blanks, other sections and LF line ends stay byte for byte.
TEST_F(ProfileTest, SavingChangesOnlyTheChangedKeysLine) {
  const std::string attributeKey = gbk::keyAttribute;
  const std::string resolutionKey = gbk::keyResolution;
  const std::string head = "; \xCD\xE6\xBC\xD2\r\n\r\n[x]\n  name = v   \nflag\n\n[" + section +
                           "] ; c\r\n" + weaponKey + " = 5\r\n" + attributeKey + "=1\r\n\r\n" +
                           resolutionKey + "=0\r\n";
  const std::string tail = "\r\n[y]\nx=1";
  writeBytes(file, head + windowedKey + "=" + gbk::logicalFalse + tail);
  EXPECT_TRUE(writeProfileItems(Path(widePath(file)), Text(section),
                                {{Text(weaponKey), Text("5")},
                                 {Text(attributeKey), Text("1")},
                                 {Text(resolutionKey), Text("0")},
                                 {Text(windowedKey), Text(gbk::logicalTrue)}}));
  EXPECT_EQ(readBytes(file), head + windowedKey + "=" + gbk::logicalTrue + tail);
}

// Values that are all there already: the file is not written at all (a read-only file too).
TEST_F(ProfileTest, SameValuesLeaveTheFileAsItIs) {
  const std::string old = "; mine\r\n[" + section + "]\r\n " + weaponKey + " = 3 \r\n";
  writeBytes(file, old);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(
      writeProfileItems(Path(widePath(file)), Text(section), {{Text(weaponKey), Text("3")}}));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readBytes(file), old);
}

}  // namespace
