// Text values, byte buffers and text arrays: tables of cases with explicit expected bytes.
// Built natively and for Windows; the index rule's process end is checked natively here and
// through the real error box in the Windows fatal-report tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "services/Text.h"

namespace {

using Pieces = std::vector<std::string>;

Pieces piecesOf(const TextArray& array) {
  Pieces out;
  for (const Text& element : array.elements()) out.push_back(element.str());
  return out;
}

TEST(TextValue, KeepsBytesBeforeFirstZero) {
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)).str(), "ab");
  EXPECT_EQ(Text(std::string("\0x", 2)).str(), "");
  EXPECT_EQ(Text(std::string("abc")).str(), "abc");
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)).str(), "");
  EXPECT_EQ(Text(std::string_view()).str(), "");
  EXPECT_EQ(Text("\xc4\xe3").str(), "\xc4\xe3");
}

TEST(TextValue, ConcatJoinsInOrderAndSkipsEmptyParts) {
  EXPECT_EQ(concat(Text(), Text("")).str(), "");
  EXPECT_EQ(concat(Text("a"), Text(), Text("bc"), Text("")).str(), "abc");
  EXPECT_EQ(concat(Text("C:\\Games"), gbk::profileFileName).str(), "C:\\Games\\wdpz.ini");
  EXPECT_EQ(concat({std::string_view("x\0y", 3), "z"}).str(), "xz");
  EXPECT_EQ(concat({std::string_view(), "z", std::string_view()}).str(), "z");
}

TEST(TextValue, LengthCountsBytes) {
  EXPECT_EQ(textLength(Text()), 0);
  EXPECT_EQ(textLength(Text("abc")), 3);
  EXPECT_EQ(textLength(Text(gbk::logicalTrue)), 2);
}

TEST(TextValue, LeftPartCutsByBytes) {
  struct Case {
    const char* text;
    int32_t count;
    const char* expected;
  } cases[] = {
      {"int PlayerWeapon2 = 3;", 17, "int PlayerWeapon2"},
      {"abc", 17, "abc"},
      {"abc", 3, "abc"},
      {"abc", 0, ""},
      {"abc", -1, ""},
      {"abc", INT32_MIN, ""},
      {"", 5, ""},
      {"a\xc4\xe3z", 2, "a\xc4"},  // the lead byte of a character stays alone
  };
  for (const Case& c : cases) {
    EXPECT_EQ(leftPart(Text(c.text), c.count).str(), c.expected) << c.text << " " << c.count;
  }
}

TEST(TextValue, CompareUsesUnsignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int32_t expected;
  } cases[] = {
      {"", "", 0},
      {"a", "", 1},
      {"", "a", -1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"abc", "abd", -1},
      {"b", "a", 1},
      {"A", "a", -1},       // no case folding
      {"\x80", "\x7f", 1},  // bytes compare unsigned
      {"\xbc\xd9", "\xbc\xd9", 0},
      {"\xd5\xe6", "\xbc\xd9", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compareText(Text(c.a), Text(c.b)), c.expected) << c.a << " vs " << c.b;
  }
  EXPECT_EQ(compareText(Text(static_cast<const char*>(nullptr)), Text("")), 0);
}

TEST(TextValue, ToIntegerNormalisesAndWraps) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"12abc", 12},
      {"  -7", -7},
      {"+5", 5},
      {"- 5", 0},
      {"--5", 0},
      {"\t\n\v\f\r 9", 9},
      {"\xa3\xb0\xa3\xb3", 3},  // full-width 0 and 3
      {"\xa1\xa1"
       "12",
       12},                               // ideographic space
      {"\xa3\xad\xa3\xb4\xa3\xb2", -42},  // full-width minus, 4, 2
      {"\xa3\xab"
       "8",
       8},  // full-width plus
      {"1\xa3\xb2"
       "3",
       123},  // mixed widths
      {"4294967297", 1},
      {"2147483648", -2147483648},
      {"-2147483648", -2147483648},
      {"2147483647", 2147483647},
      {"99999999999", 1215752191},  // wraps modulo 2^32
      {"-4294967295", 1},
      {"007", 7},
      {"\xc4\xe3"
       "5",
       0},  // another two-byte character stops the number
      {"5\xc4\xe3"
       "5",
       5},
      {"\xa1\xab"
       "5",
       0},  // full-width tilde becomes "~"
      {"\xa1\xee"
       "5",
       0},           // star becomes "*"
      {"7\xa3", 7},  // lone lead byte at the end is dropped
      {"\xa3", 0},
      {"\xa3\xa0"
       "5",
       0},  // A3 A0 is not a full-width form
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toInteger(Text(c.text)), c.expected) << c.text;
  }
}

TEST(TextValue, ToIntegerFromDoubleTruncatesThrough64Bits) {
  struct Case {
    double value;
    int32_t expected;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {1.0, 1},
      {0.0, 0},
      {-0.5, 0},
      {2147483647.9, 2147483647},
      {2147483648.0, -2147483648},
      {4294967297.5, 1},
      {-4294967297.0, -1},
      {9007199254740993.0, 0},      // 2^53 + 1 rounds to 2^53: low 32 bits 0
      {9223372036854775808.0, 0},   // 2^63: outside the 64-bit range
      {-9223372036854775808.0, 0},  // -2^63: inside, low 32 bits 0
      {-9223372036854777856.0, 0},  // below -2^63
      {1e300, 0},
      {std::numeric_limits<double>::infinity(), 0},
      {-std::numeric_limits<double>::infinity(), 0},
      {std::nan(""), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toInteger(c.value), c.expected) << c.value;
  }
  EXPECT_EQ(toInteger(4294967296.0 * 3 + 5.5), 5);
}

TEST(TextValue, ToText) {
  struct Case {
    int32_t value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {-1, "-1"},
      {7, "7"},
      {1920, "1920"},
      {INT32_MAX, "2147483647"},
      {INT32_MIN, "-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(toText(c.value).str(), c.expected);
  EXPECT_EQ(toText(true).str(), "\xd5\xe6");   // 真
  EXPECT_EQ(toText(false).str(), "\xbc\xd9");  // 假
  EXPECT_EQ(toText(ByteBuffer{std::string("ab\0cd", 5)}).str(), "ab");
  EXPECT_EQ(toText(ByteBuffer{}).str(), "");
  EXPECT_EQ(toText(ByteBuffer{"a\r\nb"}).str(), "a\r\nb");
}

TEST(TextValue, ToByteBuffer) {
  EXPECT_EQ(toByteBuffer(Text()).bytes, "");
  EXPECT_EQ(toByteBuffer(Text("a\r\n\xc4\xe3")).bytes, "a\r\n\xc4\xe3");
}

TEST(TextSplit, ByLineBreaks) {
  struct Case {
    const char* text;
    Pieces expected;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\na", {"", "a"}},
      {"\r\n", {""}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\nb", {"a\nb"}},
      {"a\r", {"a\r"}},
      {"\r\n\r\n\r\n", {"", "", ""}},
      // The second byte of a two-byte character is never the start of a delimiter: here
      // 0x81 0x0D is one character, so its 0x0D does not begin "\r\n".
      {"x\x81\r\ny", {"x\x81\r\ny"}},
      {"\xc4\xe3\r\n\xba\xc3", {"\xc4\xe3", "\xba\xc3"}},
      {"a\r\nb\xc4", {"a", "b\xc4"}},  // a lone lead byte at the end stays in the last piece
  };
  for (const Case& c : cases) {
    EXPECT_EQ(piecesOf(splitText(Text(c.text), Text("\r\n"))), c.expected) << c.text;
  }
}

TEST(TextSplit, DelimiterAndMaximumCount) {
  struct Case {
    const char* text;
    std::optional<Text> delimiter;
    std::optional<int32_t> maxCount;
    Pieces expected;
  } cases[] = {
      {"a,b", std::nullopt, std::nullopt, {"a", "b"}},
      {"a,b", Text(""), std::nullopt, {"a,b"}},
      {"a,b,c", Text(","), 2, Pieces{"a", "b"}},
      {"a,b,c", Text(","), 3, Pieces{"a", "b", "c"}},
      {"a,b,c", Text(","), 5, Pieces{"a", "b", "c"}},
      {"a,b,c", Text(","), 0, Pieces{}},
      {"a,b,c", Text(","), -1, Pieces{}},
      {"a,b,c", Text(","), 1, Pieces{"a"}},
      {"a,b,", Text(","), 2, Pieces{"a", "b"}},
      {"a,b", Text(""), 0, Pieces{}},
      {"", Text(""), std::nullopt, Pieces{}},
      {"a,,b", std::nullopt, std::nullopt, {"a", "", "b"}},
      {",a", std::nullopt, std::nullopt, {"", "a"}},
      {"aXXbXXXc", Text("XX"), std::nullopt, {"a", "b", "Xc"}},
      {"abc", Text("abcd"), std::nullopt, {"abc"}},
      {"abc", Text("abc"), std::nullopt, {""}},
      {"AbA", Text("a"), std::nullopt, {"AbA"}},  // matching is case-sensitive
      {"\xc4\xe3,\xba\xc3", std::nullopt, std::nullopt, {"\xc4\xe3", "\xba\xc3"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(piecesOf(splitText(Text(c.text), c.delimiter, c.maxCount)), c.expected)
        << c.text << " max " << c.maxCount.value_or(-99);
  }
}

TEST(TextSplit, LargeTextIsSplitInOnePass) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "line " + std::to_string(i) + "\r\n";
  TextArray lines = splitText(Text(std::move(text)), Text("\r\n"));
  ASSERT_EQ(elementCount(lines), 100000);
  EXPECT_EQ(lines.at(1).str(), "line 0");
  EXPECT_EQ(lines.at(100000).str(), "line 99999");
}

TEST(TextArrayIndex, ReadsAndReplacesInsideTheRange) {
  TextArray array = splitText(Text("a,b,c"));
  EXPECT_EQ(elementCount(array), 3);
  EXPECT_EQ(array.at(1).str(), "a");
  EXPECT_EQ(array.at(3).str(), "c");
  array.set(2, Text("x"));
  EXPECT_EQ(piecesOf(array), (Pieces{"a", "x", "c"}));
  EXPECT_EQ(elementCount(TextArray()), 0);
}

TEST(FatalBoxText, Layout) {
  const std::string heading = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n";  // 运行时出错!
  const std::string codeLabel = "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba";     // 错误代码：
  const std::string messageLabel = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba";  // 错误信息：
  struct Case {
    std::string message;
    int32_t code;
    std::string expected;
  } cases[] = {
      {"", 0, heading},
      {"", -5, heading + codeLabel + "-5\r\n\r\n"},
      {"", INT32_MIN, heading + codeLabel + "-2147483648\r\n\r\n"},
      {fatalErrorMessage(1), 1,
       heading + codeLabel + "1\r\n\r\n" + messageLabel + gbk::indexError1 + "\r\n"},
      {fatalErrorMessage(4), 4,
       heading + codeLabel + "4\r\n\r\n" + messageLabel + gbk::indexError4 + "\r\n"},
      {gbk::startupWindowFailed, 0, heading + messageLabel + gbk::startupWindowFailed + "\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fatalErrorBoxText(c.message, c.code), c.expected) << c.code;
  }
}

TEST(FatalBoxText, CutToFitAndZeroEnded) {
  char out[8];
  std::memset(out, 'z', sizeof out);
  EXPECT_EQ(formatFatalErrorBox(out, sizeof out, "message", 4), 7u);
  EXPECT_EQ(std::string(out), std::string(gbk::fatalHeading).substr(0, 7));
  char one[1] = {'z'};
  EXPECT_EQ(formatFatalErrorBox(one, 1, "m", 1), 0u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(formatFatalErrorBox(nullptr, 0, "m", 1), 0u);
}

TEST(FatalBoxText, NumberedMessages) {
  EXPECT_STREQ(fatalErrorMessage(1), gbk::indexError1);
  EXPECT_STREQ(fatalErrorMessage(4), gbk::indexError4);
  EXPECT_STREQ(fatalErrorMessage(11), gbk::indexError11);
  EXPECT_STREQ(fatalErrorMessage(0), "");
  EXPECT_STREQ(fatalErrorMessage(12), "");
}

#ifndef _WIN32
// The portable build's report writes the box text to stderr and ends with 255; the Windows
// report (box, exit code 0xFFFFFFFF) is checked from outside in the Windows tests. The
// text, spelled out: the heading, the code, the numbered message.
testing::Matcher<const std::string&> boxOf(const char* code, const char* message) {
  return testing::Eq(std::string(gbk::fatalHeading) + gbk::fatalCodeLabel + code + "\r\n\r\n" +
                     gbk::fatalMessageLabel + message + "\r\n");
}

// The fatal report as start-up installs it.
class TextArrayIndexDeathTest : public testing::Test {
 protected:
  void SetUp() override { installFatalReport(); }
  void TearDown() override { setIndexErrorHandler(nullptr); }
};

TEST_F(TextArrayIndexDeathTest, BelowOneEndsWithCode4) {
  TextArray array = splitText(Text("a,b"));
  EXPECT_EXIT(array.at(0), testing::ExitedWithCode(255), boxOf("4", gbk::indexError4));
  EXPECT_EXIT(array.at(INT32_MIN), testing::ExitedWithCode(255), boxOf("4", gbk::indexError4));
  EXPECT_EXIT(array.set(-1, Text("x")), testing::ExitedWithCode(255), boxOf("4", gbk::indexError4));
  EXPECT_EXIT(TextArray().at(0), testing::ExitedWithCode(255), boxOf("4", gbk::indexError4));
}

TEST_F(TextArrayIndexDeathTest, AboveCountEndsWithCode1) {
  TextArray array = splitText(Text("a,b"));
  EXPECT_EXIT(array.at(3), testing::ExitedWithCode(255), boxOf("1", gbk::indexError1));
  EXPECT_EXIT(array.set(3, Text("x")), testing::ExitedWithCode(255), boxOf("1", gbk::indexError1));
  EXPECT_EXIT(TextArray().at(1), testing::ExitedWithCode(255), boxOf("1", gbk::indexError1));
  EXPECT_EXIT(array.at(INT32_MAX), testing::ExitedWithCode(255), boxOf("1", gbk::indexError1));
}

TEST(TextArrayIndexWithoutHandlerDeathTest, Aborts) {
  TextArray array = splitText(Text("a,b"));
  EXPECT_EXIT(array.at(3), testing::KilledBySignal(SIGABRT), "");
  EXPECT_EXIT(array.set(0, Text("x")), testing::KilledBySignal(SIGABRT), "");
}
#endif

}  // namespace
