// Line splitting of whole game files: every CR LF a separator, whatever byte comes before
// it, zero bytes kept, no empty line after a final CR LF.
#include "launcher/CrLfLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GbkTexts.h"

namespace {

using namespace std::string_literals;

struct Line {
  std::string text;
  bool separated;
  bool operator==(const Line&) const = default;
};

std::vector<Line> split(const std::string& content) {
  std::vector<Line> lines;
  CrLfLines split(content);
  LineSpan span;
  while (split.next(span)) {
    lines.push_back({content.substr(span.begin, span.end - span.begin), span.separated});
  }
  return lines;
}

// The splitting rule walked one byte at a time, without any shortcut.
std::vector<Line> splitByCharacters(const std::string& content) {
  std::vector<Line> lines;
  size_t start = 0;
  size_t p = 0;
  while (p + 2 <= content.size()) {
    if (content[p] == '\r' && content[p + 1] == '\n') {
      lines.push_back({content.substr(start, p - start), true});
      p += 2;
      start = p;
    } else {
      ++p;
    }
  }
  if (start < content.size()) lines.push_back({content.substr(start), false});
  return lines;
}

TEST(CrLfLines, SplitsAsTheGameFilesAreRead) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<Line> lines;
  };
  const Case cases[] = {
      {"empty", "", {}},
      {"one line", "a", {{"a", false}}},
      {"final break", "a\r\n", {{"a", true}}},
      {"two lines", "a\r\nb", {{"a", true}, {"b", false}}},
      {"blank line between", "a\r\n\r\nb", {{"a", true}, {"", true}, {"b", false}}},
      {"break first", "\r\na", {{"", true}, {"a", false}}},
      {"break alone", "\r\n", {{"", true}}},
      {"two final breaks", "a\r\n\r\n", {{"a", true}, {"", true}}},
      {"bare line feed", "a\nb", {{"a\nb", false}}},
      {"bare carriage return", "a\rb\r", {{"a\rb\r", false}}},
      {"zero bytes", "a\0b\r\n\0\r\nc\0"s, {{"a\0b"s, true}, {"\0"s, true}, {"c\0"s, false}}},
      {"chinese line",
       std::string(gbk::keyWeapon) + "\r\nb",
       {{gbk::keyWeapon, true}, {"b", false}}},
      {"lead byte before the CR LF", "\xB0\r\nb", {{"\xB0", true}, {"b", false}}},
      {"lead byte before a zero", "\xB0\0\r\nb"s, {{"\xB0\0"s, true}, {"b", false}}},
      {"lead byte last", "a\r\n\xB0", {{"a", true}, {"\xB0", false}}},
      {"long plain lines",
       "0123456789abcdef\r\n0123456789",
       {{"0123456789abcdef", true}, {"0123456789", false}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(split(c.content), c.lines) << c.name;
  }
}

// Every alignment of separators, lead bytes and zero bytes against the plain walk.
TEST(CrLfLines, MatchesTheByteWalkAtEveryAlignment) {
  const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\xB0', '\xA1', '\r', '\n', 'z'};
  uint32_t state = 12345;
  for (int round = 0; round < 4000; ++round) {
    std::string content;
    const size_t length = round % 70;
    for (size_t i = 0; i < length; ++i) {
      state = state * 1103515245u + 12345u;
      // Mostly plain bytes, so long runs cross the eight-byte steps.
      const uint32_t pick = (state >> 16) % 40;
      content += pick < sizeof alphabet ? alphabet[pick] : static_cast<char>('c' + pick % 20);
    }
    ASSERT_EQ(split(content), splitByCharacters(content)) << "round " << round;
  }
}

// Both byte searches against a plain loop, from every start offset, with the byte at every
// position of a block and next to bytes that differ from it only in the high bit.
TEST(FindByte, FirstOccurrenceFromEveryOffset) {
  uint32_t state = 777;
  for (int round = 0; round < 300; ++round) {
    std::string content;
    const size_t length = round % 50;
    for (size_t i = 0; i < length; ++i) {
      state = state * 1103515245u + 12345u;
      const char choices[] = {'W', '\xD7', 'V', 'X', '\0', '\x80', '\xFF', 'a'};
      content += choices[(state >> 16) % 8];
    }
    for (char byte : {'W', '\xD7', '\0', '\r'}) {
      for (size_t from = 0; from <= content.size(); ++from) {
        size_t expected = content.find(byte, from);
        ASSERT_EQ(findByte(content, from, byte), expected) << round << " " << from;
        ASSERT_EQ(findByteByWords(content, from, byte), expected) << round << " " << from;
      }
    }
  }
}

}  // namespace
