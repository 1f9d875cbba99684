// The byte-level profile code against the platform's own profile functions, run under code
// page 936 on the same inputs: a table of cases, one for each rule, and some thousands of
// generated files. For each file every read must give the same text, and after every write
// every key of the file must read the same. The written bytes are not compared: Wine's
// WritePrivateProfileStringA rewrites the whole file (blank lines dropped, blanks around
// names and values trimmed, LF turned into CR LF), where this program, as Windows does,
// changes only the line of the key it writes (ProfileContentTest holds those rules).
//
// Left out of the generated files: zero bytes and "[]" headers (where the platform and
// Windows differ; the Windows answers are checked in ProfileContentTest), byte-order marks
// (such files are never written), and deletions (the launcher never deletes).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "services/ProfileContent.h"
#include "tests/support/TempFolder.h"

// GCC 12 warns wrongly about literal + string concatenations (its bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"

namespace {

struct Operation {
  bool write;
  std::string section;
  std::string key;
  std::string text;  // the value written, or the default of a read
};

struct Sample {
  std::string name;
  std::string content;  // "<none>": no file
  std::vector<Operation> operations;
};

Operation read(std::string section, std::string key, std::string defaultText = "d") {
  return {false, std::move(section), std::move(key), std::move(defaultText)};
}
Operation write(std::string section, std::string key, std::string value) {
  return {true, std::move(section), std::move(key), std::move(value)};
}

// GBK: 我的设置, 副武器选择, 是否窗口化, 真, 假; full-width A and a; Greek Alpha and alpha;
// Cyrillic De and de; two characters whose trail bytes are "A" and "a", and one whose trail
// byte is "]".
const std::string kSection = "\xCE\xD2\xB5\xC4\xC9\xE8\xD6\xC3";
const std::string kWeapon = "\xB8\xB1\xCE\xE4\xC6\xF7\xD1\xA1\xD4\xF1";
const std::string kWindowed = "\xCA\xC7\xB7\xF1\xB4\xB0\xBF\xDA\xBB\xAF";
const std::string kTrue = "\xD5\xE6";
const std::string kFalse = "\xBC\xD9";
const std::string kWideA = "\xA3\xC1", kWideSmallA = "\xA3\xE1";
const std::string kAlpha = "\xA6\xA1", kSmallAlpha = "\xA6\xC1";
const std::string kDe = "\xA7\xA5", kSmallDe = "\xA7\xD5";
const std::string kTrailA = "\x81\x41", kTrailSmallA = "\x81\x61", kTrailBracket = "\x81\x5D";

std::vector<Sample> ruleSamples() {
  const std::string s = "[" + kSection + "]\r\n";
  return {
      {"new file", "<none>", {write(kSection, kWeapon, "3"), write(kSection, kWindowed, kTrue)}},
      {"empty file", "", {read(kSection, kWeapon), write(kSection, kWeapon, "3")}},
      {"key replaced in its line",
       s + kWeapon + "=1\r\nz=2\r\n",
       {read(kSection, kWeapon), write(kSection, kWeapon, "7")}},
      {"same value: file untouched",
       s + "  " + kWeapon + " = 7 \r\n",
       {write(kSection, kWeapon, "7")}},
      {"new key at the end of its section",
       s + "a=1\r\n[next]\r\nb=2\r\n",
       {write(kSection, kWeapon, "0")}},
      {"new section at the end", "[x]\r\na=1\r\n", {write(kSection, kWeapon, "0")}},
      {"case of A..Z", "[App]\r\nKey=1\r\n", {read("app", "KEY"), write("APP", "key", "2")}},
      {"case of two-byte letters",
       "[" + kWideA + "]\r\n" + kAlpha + "=1\r\n" + kDe + "=2\r\n",
       {read(kWideSmallA, kAlpha), read(kWideA, kSmallAlpha), read(kWideA, kSmallDe),
        write(kWideA, kSmallAlpha, "3")}},
      {"trail bytes that look like letters",
       "[" + kTrailA + "]\r\n" + kTrailA + "=1\r\n",
       {read(kTrailSmallA, kTrailA), read(kTrailA, kTrailSmallA),
        write(kTrailA, kTrailSmallA, "2")}},
      {"trail byte ]", "[" + kTrailBracket + "]\r\nk=1\r\n", {read(kTrailBracket, "k")}},
      {"blanks around names and values",
       " \t[ App ] tail\r\n\t key \t=\t value \x0b\x0c\r\n",
       {read("App", "key"), read(" App ", " key "), write("App", "other", " \tv \t")}},
      {"quotation marks on reading",
       "[a]\r\nq=\"v\"\r\nh=\"v\r\nt=v\"\r\ne=\"\"\r\no=\"\r\ns= \" x \" \r\n",
       {read("a", "q"), read("a", "h"), read("a", "t"), read("a", "e"), read("a", "o"),
        read("a", "s"), write("a", "q", "v")}},
      {"comments and other lines kept",
       "; note\r\nbefore\r\n[a]\r\n# hash\r\nplain line\r\n;k=1\r\nk=2\r\n",
       {read("a", ";k"), read("a", "plain line"), read("a", "k"), write("a", "k", "3")}},
      {"duplicate sections and keys",
       "[a]\r\nk=1\r\nk=2\r\n[b]\r\n[A]\r\nk=3\r\nj=4\r\n",
       {read("a", "k"), read("a", "j"), write("a", "k", "5"), write("a", "j", "6")}},
      {"key without =", "[a]\r\nflag\r\n", {read("a", "flag"), write("a", "flag", "1")}},
      {"LF only, no final line break", "[a]\nk=1\nj=2", {read("a", "j"), write("a", "n", "3")}},
      {"CR only", "[a]\rk=1\r", {read("a", "k"), write("a", "k", "2")}},
      {"blank lines dropped on writing", "\r\n[a]\r\n\r\nk=1\r\n\r\n", {write("a", "k", "2")}},
      {"header without ]",
       "[a\r\nk=1\r\n[b]c]\r\nk=2\r\n",
       {read("a", "k"), read("b]c", "k"), write("b]c", "k", "3")}},
      {"invalid GBK bytes",
       "[a]\r\nx=\x80\xff\x81 \xa1\r\ny=\x81\r\nk=1\r\n",
       {read("a", "x"), read("a", "y"), write("a", "k", "2")}},
      {"default without trailing spaces",
       "[a]\r\n",
       {read("a", "k", "  d  "), read("a", "k", "\td\t"), read("a", "k", "")}},
      {"value of 10239 bytes and longer",
       "[a]\r\nk=" + std::string(10239, 'x') + "\r\nj=" + std::string(10300, 'y') + "\r\n",
       {read("a", "k"), read("a", "j")}},
      {"two-byte character across the read limit",
       "[a]\r\nk=x" +
           [] {
             std::string v;
             for (int i = 0; i < 5120; ++i) v += "\xCE\xD2";
             return v;
           }() +
           "\r\n",
       {read("a", "k")}},
      {"the launcher's four keys",
       s + kWeapon + "=11\r\n",
       {write(kSection, kWeapon, "5"),
        write(kSection, "\xB8\xB1\xCE\xE4\xC6\xF7\xCA\xF4\xD0\xD4", "1"),
        write(kSection, "\xB7\xD6\xB1\xE6\xC2\xCA\xD1\xA1\xD4\xF1", "0"),
        write(kSection, kWindowed, kFalse)}},
  };
}

// ---------------------------------------------------------------- generated files

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  Sample sample(int index) {
    Sample sample;
    sample.name = "generated " + std::to_string(index);
    int lines = pick(0, 14);
    for (int i = 0; i < lines; ++i) {
      sample.content += line();
      if (i + 1 < lines || chance(4)) sample.content += lineBreak();
    }
    if (sample.content.empty() && chance(3)) sample.content = "<none>";
    int reads = pick(1, 4);
    for (int i = 0; i < reads; ++i)
      sample.operations.push_back(read(section(), key(), defaultText()));
    int writes = pick(1, 4);
    for (int i = 0; i < writes; ++i) sample.operations.push_back(write(section(), key(), value()));
    for (int i = 0; i < 2; ++i) sample.operations.push_back(read(section(), key(), defaultText()));
    return sample;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int oneIn) { return pick(1, oneIn) == 1; }
  template <class T>
  const T& oneOf(const std::vector<T>& items) {
    return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
  }

  std::string blanks() {
    static const std::vector<std::string> kinds = {"",   "",     "",     " ",   "  ",
                                                   "\t", " \t ", "\x0b", "\x0c"};
    return oneOf(kinds);
  }
  std::string lineBreak() {
    static const std::vector<std::string> kinds = {"\r\n", "\r\n", "\n", "\r", "\r\n\r\n", "\n\n"};
    return oneOf(kinds);
  }
  std::string names() {
    static const std::vector<std::string> pool = {
        "a",       "A",          "b",           "App",  "app",       kSection, kWeapon,
        kWindowed, kWideA,       kWideSmallA,   kAlpha, kSmallAlpha, kDe,      kSmallDe,
        kTrailA,   kTrailSmallA, kTrailBracket, "k",    "K",         "key x",  "x" + kSection};
    return oneOf(pool);
  }
  std::string invalid() {
    static const std::vector<std::string> pool = {"\x81", "\x81 ",    "\xFE=",    "\x80",
                                                  "\xFF", "\xA1\x30", "\xCE\x7F", "\x81\xFF"};
    return oneOf(pool);
  }
  std::string valueText() {
    switch (pick(0, 11)) {
      case 0:
        return "";
      case 1:
        return std::to_string(pick(-20, 2000));
      case 2:
        return kTrue;
      case 3:
        return kFalse;
      case 4:
        return "\"" + names() + "\"";
      case 5:
        return "\"" + names();
      case 6:
        return names() + " " + names();
      case 7:
        return "x=" + names();
      case 8:
        return names() + invalid();
      case 9:
        return std::string(static_cast<size_t>(pick(10200, 10260)), 'v');
      case 10: {
        std::string v(static_cast<size_t>(pick(0, 1)), 'v');
        while (v.size() < 10236) v += "\xC9\xE8";
        return v + (chance(2) ? "\"" : "");
      }
      default:
        return "[" + names() + "]";
    }
  }
  std::string line() {
    switch (pick(0, 12)) {
      case 0:
      case 1:
      case 2:
        return blanks() + "[" + blanks() + names() + blanks() + "]" + blanks();
      case 3:
        return blanks() + "[" + names();  // no closing bracket
      case 4:
        return "[" + names() + "]" + names() + "]";  // last "]" counts
      case 5:
        return ";" + names() + "=" + valueText();  // comment
      case 6:
        return blanks();  // blank line
      case 7:
        return blanks() + names();  // key without "="
      case 8:
        return invalid() + names() + "=" + invalid();
      default:
        return blanks() + names() + blanks() + "=" + blanks() + valueText() + blanks();
    }
  }
  std::string section() {
    std::string name = chance(5) ? names() + invalid() : names();
    return chance(4) ? blanks() + name + blanks() : name;
  }
  std::string key() {
    std::string name = chance(8) ? names() + invalid() : names();
    return chance(4) ? blanks() + name + blanks() : name;
  }
  std::string defaultText() {
    static const std::vector<std::string> pool = {"0", kFalse, "", "d  ", " d", "\td\t"};
    return oneOf(pool);
  }
  std::string value() {
    std::string v = valueText();
    return chance(4) ? blanks() + v + blanks() : v;
  }

  std::mt19937 random_;
};

// ---------------------------------------------------------------- comparison

std::string shown(const std::string& bytes, size_t from = 0) {
  std::string out = from > 0 ? "(from byte " + std::to_string(from) + ") " : "";
  for (unsigned char c : bytes.substr(from, 200)) {
    char hex[8];
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return bytes.size() > from + 200 ? out + "... (" + std::to_string(bytes.size()) + " bytes)" : out;
}

// Both texts shown from a little before their first difference.
std::string contrast(const std::string& theirs, const std::string& mine) {
  size_t at = 0;
  while (at < theirs.size() && at < mine.size() && theirs[at] == mine[at]) ++at;
  size_t from = at > 40 ? at - 40 : 0;
  return "\n  platform: " + shown(theirs, from) + "\n  ours:     " + shown(mine, from);
}

// Every key of every section as the platform reads the file, against the byte-level code
// reading `ours`: the first difference, or the empty text.
std::string differentReads(const std::string& file, const std::string& ours) {
  std::string sections(1 << 16, '\0');
  GetPrivateProfileSectionNamesA(sections.data(), static_cast<DWORD>(sections.size()),
                                 file.c_str());
  for (const char* section = sections.c_str(); *section != '\0';
       section += std::strlen(section) + 1) {
    std::string keys(1 << 16, '\0');
    GetPrivateProfileStringA(section, nullptr, "", keys.data(), static_cast<DWORD>(keys.size()),
                             file.c_str());
    for (const char* key = keys.c_str(); *key != '\0'; key += std::strlen(key) + 1) {
      std::string buffer(profile::readBufferSize, '\0');
      GetPrivateProfileStringA(section, key, "<default>", buffer.data(),
                               static_cast<DWORD>(buffer.size()), file.c_str());
      const std::string theirs = buffer.c_str();
      const std::string mine = profile::readValue(ours, section, key, "<default>");
      if (theirs != mine) {
        return "read [" + shown(section) + "] " + shown(key) + " after it" + contrast(theirs, mine);
      }
    }
  }
  return std::string();
}

// Runs the sample through the platform and through the byte-level code; the first
// difference, or the empty text when they agree.
std::string difference(const Sample& sample, const std::string& file) {
  DeleteFileA(file.c_str());
  bool exists = sample.content != "<none>";
  std::string ours = exists ? sample.content : "";
  if (exists) writeBytes(file, sample.content);
  for (const Operation& op : sample.operations) {
    std::string what = (op.write ? "write [" : "read [") + shown(op.section) + "] " +
                       shown(op.key) + " " + shown(op.text);
    if (op.write) {
      BOOL platform = WritePrivateProfileStringA(op.section.c_str(), op.key.c_str(),
                                                 op.text.c_str(), file.c_str());
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
      std::optional<std::string> changed = profile::writeValue(ours, op.section, op.key, op.text);
      if (changed) {
        ours = *changed;
        exists = true;
      }
      if (!platform) return what + ": the platform failed";
      if (!exists) return what + ": ours wrote nothing";
      if (std::string different = differentReads(file, ours); !different.empty()) {
        return what + ", then " + different;
      }
    } else {
      std::string buffer(profile::readBufferSize, '\0');
      GetPrivateProfileStringA(op.section.c_str(), op.key.c_str(), op.text.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer.size()), file.c_str());
      std::string theirs = buffer.c_str();
      std::string mine = profile::readValue(ours, op.section, op.key, op.text);
      if (theirs != mine) {
        return what + contrast(theirs, mine);
      }
    }
  }
  DeleteFileA(file.c_str());
  return std::string();
}

class ProfileDifferentialTest : public testing::Test {
 protected:
  void SetUp() override {
    // The platform reads a profile in the system's code page: the comparison holds only
    // under 936 (ctest runs this program under zh_CN), and it is never taken as passed
    // where it cannot be made.
    ASSERT_EQ(GetACP(), 936u) << "the platform's profile functions read code page 936 only "
                                 "under a Simplified Chinese locale (LANG=zh_CN.UTF-8)";
  }
  TempFolder temp{"profile-diff"};
  int files = 0;
  std::string nextFile() { return temp / ("p" + std::to_string(files++) + ".ini"); }
};

TEST_F(ProfileDifferentialTest, RuleCasesAgree) {
  int agreed = 0;
  std::vector<Sample> samples = ruleSamples();
  for (const Sample& sample : samples) {
    std::string diff = difference(sample, nextFile());
    EXPECT_EQ(diff, "") << sample.name << "\n  content: " << shown(sample.content);
    if (diff.empty()) ++agreed;
  }
  printf("profile rule cases: %d of %zu agreed with the platform\n", agreed, samples.size());
}

TEST_F(ProfileDifferentialTest, GeneratedFilesAgree) {
  const int count = 3000;
  Generator generator(20261210);
  int agreed = 0;
  int reported = 0;
  for (int i = 0; i < count; ++i) {
    Sample sample = generator.sample(i);
    std::string diff = difference(sample, nextFile());
    if (diff.empty()) {
      ++agreed;
    } else if (reported++ < 10) {
      ADD_FAILURE() << sample.name << ": " << diff << "\n  content: " << shown(sample.content);
    }
  }
  printf("profile generated files: %d of %d agreed with the platform\n", agreed, count);
  EXPECT_EQ(agreed, count);
}

}  // namespace
