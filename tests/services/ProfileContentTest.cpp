// The byte-level profile code on its own (natively and under Wine): the answers Windows
// gives in the platform's conformance tests of its profile functions, and the rules that
// the differential test compares with the platform, one strong case each.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "services/ProfileContent.h"

namespace {

using namespace std::string_literals;
using profile::readValue;
using profile::writeValue;

struct ReadCase {
  const char* name;
  std::string content;
  std::string section, key, defaultText;
  size_t bufferSize;
  std::string expected;
};

void checkReads(const std::vector<ReadCase>& cases) {
  for (const ReadCase& c : cases) {
    EXPECT_EQ(readValue(c.content, c.section, c.key, c.defaultText, c.bufferSize), c.expected)
        << c.name;
  }
}

// Windows' answers for GetPrivateProfileStringA, for a file with CR LF and one with CR only.
TEST(ProfileContentWindows, Reads) {
  for (const std::string& eol : {"\r\n"s, "\r"s}) {
    const std::string content = "[section1]" + eol + "name1=val1" + eol + "name2=\"val2\"" + eol +
                                "name3" + eol + "name4=a" + eol + "[section2]" + eol;
    SCOPED_TRACE(eol.size() == 2 ? "CR LF" : "CR");
    checkReads({
        {"empty section name", content, "", "name1", "default", 260, "default"},
        {"missing section", content, "notasection", "name1", "default", 260, "default"},
        {"no default", content, "", "name1", "", 260, ""},
        {"default's trailing blanks", content, "", "name1", "default  ", 260, "default"},
        {"default's inner blank", content, "", "name1", "one two  ", 260, "one two"},
        {"default as it is", content, "", "name1", "one two", 260, "one two"},
        {"empty key name", content, "section1", "", "default", 260, "default"},
        {"missing key", content, "section1", "notakey", "default", 260, "default"},
        {"empty key, trailing blanks", content, "section1", "", "default  ", 260, "default"},
        {"buffer of 0", content, "section1", "name1", "default", 0, ""},
        {"exact size", content, "section1", "name1", "default", 4, "val"},
        {"room for the zero", content, "section1", "name1", "default", 5, "val1"},
        {"one character", content, "section1", "name4", "default", 260, "a"},
        {"one character, no room", content, "section1", "name4", "default", 1, ""},
        {"quotation marks", content, "section1", "name2", "default", 260, "val2"},
        {"case", content, "section1", "NaMe1", "default", 260, "val1"},
        {"plain", content, "section1", "name1", "default", 260, "val1"},
        {"section without keys", content, "section2", "DoesntExist", "", 260, ""},
    });
  }
  const std::string noSection =
      "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n";
  checkReads({
      // Windows reads the "[]" section here; the platform under test reads the lines before
      // the first section (one of its known differences): left out of the comparison.
      {"section []", noSection, "", "key", "", 100, "val_e_section"},
      {"empty key", noSection, "s", "", "", 100, "val_no_key"},
      {"=value only", "[section3]\r\n=val5\r\n", "section3", "", "", 100, "val5"},
      {"LF only", "[Test]\nProfileInt=123\n", "Test", "ProfileInt", "0", 100, "123"},
  });
}

// Windows' files after WritePrivateProfileStringA, step by step.
TEST(ProfileContentWindows, Writes) {
  // Deleting from a file without the section changes nothing: Windows leaves an empty file
  // empty (the platform under test writes the section: left out of the comparison).
  EXPECT_EQ(writeValue("", "App", std::nullopt, "string"), std::nullopt);
  EXPECT_EQ(writeValue("", "App", "key", std::nullopt), std::nullopt);
  EXPECT_EQ(writeValue("", "App", "key", ""), "[App]\r\nkey=\r\n");

  std::string file;
  for (const char* step : {"1", "2", "3"}) {
    file = writeValue(file, "App1", "key"s + step, "string"s + step).value();
  }
  file = writeValue(file, "App2", "key4", "string4").value();
  struct Step {
    const char* section;
    std::optional<std::string> key, value;
    std::optional<std::string> after;  // no value: the file is not written
  } steps[] = {
      {"App3", "key5", "string5",
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
       "[App3]\r\nkey5=string5\r\n"},
      {"App1", "key2", std::nullopt,
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
       "key5=string5\r\n"},
      {"App1", "key2", std::nullopt, std::nullopt},  // deleted already
      {"App1", std::nullopt, "string1", "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n"},
      {"App2", std::nullopt, std::nullopt, "[App3]\r\nkey5=string5\r\n"},
      {"App3", "key5", std::nullopt, "[App3]\r\n"},
  };
  for (const Step& s : steps) {
    std::optional<std::string_view> key, value;
    if (s.key) key = *s.key;
    if (s.value) value = *s.value;
    std::optional<std::string> after = writeValue(file, s.section, key, value);
    EXPECT_EQ(after, s.after) << s.section << " " << s.key.value_or("(none)");
    if (after) file = *after;
  }

  // Zero bytes before the first section are kept (the platform under test drops what
  // follows them on its line: left out of the comparison).
  const std::string data = "Data \0 before \0 first \0 section"s;
  EXPECT_EQ(writeValue(data, "section1", "key1", "string1"),
            data + "\r\n[section1]\r\nkey1=string1\r\n");

  // A file whose keys were read can be written: the new key after the others.
  const std::string keys = "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n"s;
  std::string added = writeValue(keys, "s", "name5", "val5").value();
  EXPECT_EQ(readValue(added, "s", "name5", "d"), "val5");
  EXPECT_EQ(readValue(added, "s", "name2", "d"), "");
  EXPECT_EQ(readValue(added, "s", "name3", "d"), "d");  // no "=": not a value
  EXPECT_EQ(writeValue("[s]\r\nkey=616261637573006F\r\n", "s", "key", std::nullopt), "[s]\r\n");
}

// The rules, as the differential test finds the platform doing them under code page 936.
TEST(ProfileContentRules, ReadsAndWrites) {
  const std::string gbkSection = "\xCE\xD2\xB5\xC4\xC9\xE8\xD6\xC3";  // 我的设置
  checkReads({
      {"blanks around names and values", " [ a ] x\r\n\t k \t=\t v \x0b\r\n", "a", "k", "d", 99,
       "v"},
      {"names given with blanks", "[a]\r\nk=1\r\n", " a \t", "\tk ", "d", 99, "1"},
      {"first of duplicate sections", "[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "a", "j", "d", 99,
       "d"},
      {"first of duplicate keys", "[a]\r\nk=1\r\nK=2\r\n", "a", "K", "d", 99, "1"},
      {"full-width letters keep their case", "[\xA3\xC1]\r\nk=1\r\n", "\xA3\xE1", "k", "d", 99,
       "d"},
      {"trail bytes are not letters", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k", "d", 99, "d"},
      {"trail byte ]", "[\x81\x5D]\r\nk=1\r\n", "\x81\x5D", "k", "d", 99, "1"},
      {"last ] ends the name", "[b]c] x\r\nk=1\r\n", "b]c", "k", "d", 99, "1"},
      {"no ]: a key line", "[a\r\nk=1\r\n", "a", "k", "d", 99, "d"},
      {"half-quoted", "[a]\r\nk=\"v\r\n", "a", "k", "d", 99, "\"v"},
      {"lone quotation mark", "[a]\r\nk=\"\r\n", "a", "k", "d", 99, "\""},
      {"invalid bytes read as ?", "[a]\r\nk=\x80\xff\x81 \xa1\r\n", "a", "k", "d", 99,
       "\x80\xff??"},
      {"lead byte swallows CR", "[a]\r\nk=\x81\r\nj=1\r\n", "a", "k", "d", 99, "?"},
      {"LF only, no final break", "[a]\nk=1\nj=2", "a", "j", "d", 99, "2"},
      {"GBK names", "[" + gbkSection + "]\r\nk=1\r\n", gbkSection, "K", "d", 99, "1"},
      {"cut to whole characters", "[a]\r\nk=x\xCE\xD2\xCE\xD2\r\n", "a", "k", "d", 5, "x\xCE\xD2"},
  });
  const std::string value10240(10240, 'v');
  EXPECT_EQ(readValue("[a]\r\nk=" + value10240 + "\r\n", "a", "k", "d"), value10240.substr(1));

  struct WriteCase {
    const char* name;
    std::string content, section, key, value;
    std::optional<std::string> after;
  } writes[] = {
      {"same value: not written", "[a]\r\n k = v \r\n", "a", "k", "v", std::nullopt},
      {"only the key's line changes", "\r\n; c\r\n[ a ]\r\n\r\n k = v \r\nflag\r\n", "a", "k", "w",
       "\r\n; c\r\n[ a ]\r\n\r\nk=w\r\nflag\r\n"},
      {"new key at the end of its section", "[a]\r\nk=1\r\n[b]\r\n", "a", "n", "2",
       "[a]\r\nk=1\r\nn=2\r\n[b]\r\n"},
      {"name kept as it was", "[a]\r\nKey=1\r\n", "A", "key", "2", "[a]\r\nKey=2\r\n"},
      {"new names keep trailing blanks", "", " a\t", " k ", " v ", "[a\t]\r\nk =v \r\n"},
      {"key without = gets its value", "[a]\r\nflag\r\n", "a", "flag", "1", "[a]\r\nflag=1\r\n"},
      {"quoted value that differs", "[a]\r\nk=\"v\"\r\n", "a", "k", "w", "[a]\r\nk=w\r\n"},
      {"other lines keep invalid bytes", "x=\x81\r\n", "a", "k", "v\x81",
       "x=\x81\r\n[a]\r\nk=v\r\n"},
      {"CR only", "[a]\rk=1\r", "a", "j", "2", "[a]\rk=1\rj=2\r\n"},
  };
  for (const WriteCase& w : writes) {
    EXPECT_EQ(writeValue(w.content, w.section, w.key, w.value), w.after) << w.name;
  }
}

// A save changes only the lines of the keys whose values change; every other line keeps its
// bytes, its blanks, its comments and its own line break.
TEST(ProfileContentRules, OnlyTheChangedKeysLinesChange) {
  // GBK: ; 玩家设置 / [其他] / name = 张三 / [我的设置] ; 注释 / 副武器选择 = 5 / 副武器属性=1 /
  // 分辨率选择=0 / 是否窗口化=假 / [尾部], as a player's file may hold them.
  const std::string mine = "\xCE\xD2\xB5\xC4\xC9\xE8\xD6\xC3";
  const std::string weapon = "\xB8\xB1\xCE\xE4\xC6\xF7\xD1\xA1\xD4\xF1";
  const std::string attribute = "\xB8\xB1\xCE\xE4\xC6\xF7\xCA\xF4\xD0\xD4";
  const std::string resolution = "\xB7\xD6\xB1\xE6\xC2\xCA\xD1\xA1\xD4\xF1";
  const std::string windowed = "\xCA\xC7\xB7\xF1\xB4\xB0\xBF\xDA\xBB\xAF";
  const std::string yes = "\xD5\xE6", no = "\xBC\xD9";
  const std::string head =
      "; \xCD\xE6\xBC\xD2\xC9\xE8\xD6\xC3\r\n\r\n[\xC6\xE4\xCB\xFB]\r\n"
      "  name = \xD5\xC5\xC8\xFD   \r\nflag\r\n\r\n[" +
      mine + "] ; \xD7\xA2\xCA\xCD\r\n" + weapon + " = 5\r\n" + attribute + "=1\r\n\r\n";
  const std::string tail = "\r\n[\xCE\xB2\xB2\xBF]\r\nx=1\r\n";
  const std::string player = head + resolution + "=0\r\n" + windowed + "=" + no + "\r\n" + tail;

  struct Case {
    const char* name;
    std::string content, section, key, value;
    std::optional<std::string> after;  // none: nothing changes, the file is not written
  } cases[] = {
      // clang-format off
      {"a player's file, the box ticked", player, mine, windowed, yes,
       head + resolution + "=0\r\n" + windowed + "=" + yes + "\r\n" + tail},
      {"a value already right, padded with blanks", player, mine, weapon, "5", std::nullopt},
      {"the same value written with blanks", "[a]\r\n\tk = v \r\n", "a", "k", " v", std::nullopt},
      {"a quoted value that reads as the value", "[" + mine + "]\r\n" + weapon + "=\"1\"\r\n", mine, weapon, "1", std::nullopt},
      {"LF line ends stay LF", "[a]\nk=1\nj=2\n", "a", "k", "3", "[a]\nk=3\nj=2\n"},
      {"the last line keeps having no break", "[a]\r\nk=1", "a", "k", "2", "[a]\r\nk=2"},
      {"a key twice: the first changes", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\nk=2\r\n"},
      {"a section twice: the first changes", "[a]\r\nk=1\r\n[a]\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\n[a]\r\nk=2\r\n"},
      {"a missing key before a blank line and another section", "[a]\r\nk=1\r\n\r\n[b]\r\n", "a", "j", "2", "[a]\r\nk=1\r\nj=2\r\n\r\n[b]\r\n"},
      {"a missing key after a comment line", "[a] ; c\r\n; note\r\n\r\n", "a", "j", "2", "[a] ; c\r\n; note\r\nj=2\r\n\r\n"},
      {"a missing key in a section without a break", "[a]", "a", "j", "2", "[a]\r\nj=2\r\n"},
      {"a missing key at the end, no final break", "[a]\r\nk=1", "a", "j", "2", "[a]\r\nk=1\r\nj=2\r\n"},
      {"a missing section after a last line without a break", "; c\r\nx=1", "a", "k", "1", "; c\r\nx=1\r\n[a]\r\nk=1\r\n"},
      {"a missing section after a final break", "x=1\n\n", "a", "k", "1", "x=1\n\n[a]\r\nk=1\r\n"},
      {"a missing section in an empty file", "", "a", "k", "1", "[a]\r\nk=1\r\n"},
      {"a missing section after a lead byte that takes the last LF along", "x=\xF2\n", "a", "k", "1", "x=\xF2\n\r\n[a]\r\nk=1\r\n"},
      {"a lead byte before CR LF takes the CR along", "[a]\r\nj=\x81\r\nk=1\r\n", "a", "k", "2", "[a]\r\nj=\x81\r\nk=2\r\n"},
      {"a lead byte before a lone CR joins two lines", "[a]\r\nj=\x81\rk=1\r\n", "a", "k", "2", "[a]\r\nj=\x81\rk=1\r\nk=2\r\n"},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(writeValue(c.content, c.section, c.key, c.value), c.after) << c.name;
  }
}

TEST(ProfileContentRules, ByteOrderMarks) {
  EXPECT_TRUE(profile::hasByteOrderMark("\xEF\xBB\xBF[a]\r\n"));
  EXPECT_TRUE(profile::hasByteOrderMark("\xFF\xFE[\0a\0]\0"s));
  EXPECT_TRUE(profile::hasByteOrderMark("\xFE\xFF\0[\0a"s));
  EXPECT_FALSE(profile::hasByteOrderMark("[a]\r\n\xEF\xBB\xBF"));
  EXPECT_FALSE(profile::hasByteOrderMark("\xFF\xFD"));
  EXPECT_FALSE(profile::hasByteOrderMark(""));
}

}  // namespace
