// The weapon line searched piece by piece finds what findWeaponLine finds in the whole
// content: the same line start and end, whatever the pieces, on contents made to put
// prefixes, CR LF pairs and runs of two-byte characters across the pieces' borders.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "launcher/MissionContent.h"
#include "launcher/WeaponLineSearch.h"
#include "tests/support/MissionOracle.h"

namespace {

struct Found {
  bool any = false;
  LineSpan line;
  std::string head;
};

Found inPieces(const std::string& content, const std::vector<size_t>& sizes, size_t keep) {
  WeaponLineSearch search;
  search.keepHead(keep);
  size_t at = 0;
  for (size_t i = 0; at < content.size(); ++i) {
    const size_t size = std::min(sizes[i % sizes.size()], content.size() - at);
    const bool whole = search.take(std::string_view(content).substr(at, size));
    at += size;
    if (whole) break;
  }
  search.finish();
  Found found;
  if (search.line()) found = {true, *search.line(), search.head()};
  return found;
}

Found inWhole(const std::string& content, size_t keep) {
  Found found;
  if (const std::optional<LineSpan> line = findWeaponLine(content)) {
    found = {true, *line, content.substr(line->begin, std::min(keep, line->end - line->begin))};
  }
  return found;
}

void expectSame(const std::string& content, const std::vector<size_t>& sizes, size_t keep) {
  const Found expected = inWhole(content, keep);
  const Found actual = inPieces(content, sizes, keep);
  ASSERT_EQ(actual.any, expected.any) << testing::PrintToString(content);
  if (!expected.any) return;
  EXPECT_EQ(actual.line.begin, expected.line.begin) << testing::PrintToString(content);
  EXPECT_EQ(actual.line.end, expected.line.end) << testing::PrintToString(content);
  EXPECT_EQ(actual.line.separated, expected.line.separated) << testing::PrintToString(content);
  EXPECT_EQ(actual.head, expected.head) << testing::PrintToString(content);
}

TEST(WeaponLineSearch, ChosenContents) {
  const std::string prefix = "int PlayerWeapon2";
  const std::string high(7, '\x81');
  struct Case {
    const char* name;
    std::string content;
  } cases[] = {
      {"empty", ""},
      {"first line", prefix + " = 1;\r\nrest\r\n"},
      {"only the prefix", prefix},
      {"after a line", "x\r\n" + prefix + " = 2;\r\n"},
      {"no line break after it", "x\r\n" + prefix + " = 2;"},
      {"a CR alone after it", "x\r\n" + prefix + " = 2;\r"},
      {"not at a line start", "x " + prefix + " = 2;\r\n"},
      {"after a lead byte and CR LF", "\x81\r\n" + prefix + "\r\n"},
      {"after two-byte characters", "\x81\x82\r\n" + prefix + "\r\n"},
      {"after an odd run", high + "\r\n" + prefix + "\r\n" + prefix + "\r\n"},
      {"second one", "a\r\n" + prefix + "9\r\n" + prefix + "\r\n"},
      {"cut short", "a\r\n" + prefix.substr(0, 16) + "\r\n"},
      {"line end after a lead byte", prefix + "\x81\r\n\r\nx\r\n"},
      {"long line", prefix + std::string(5000, 'W') + "\r\nx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t size : {1, 2, 3, 7, 17, 18, 19, 64, 100000}) {
      for (size_t keep : {0, 5, 25}) expectSame(c.content, {size}, keep);
    }
  }
}

TEST(WeaponLineSearch, MadeContentsInRandomPieces) {
  const std::vector<std::string> parts = {"int PlayerWeapon2",
                                          "int PlayerWeapon",
                                          "W",
                                          "\r\n",
                                          "\r",
                                          "\n",
                                          "\x81",
                                          "\x82\x83",
                                          "a",
                                          " = 58;",
                                          "int PlayerWeapon2 = 1;\r\n",
                                          "\xff\r\n",
                                          "\r\r\n"};
  std::mt19937 random(20261210);
  for (int round = 0; round < 20000; ++round) {
    std::string content;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) content += parts[random() % parts.size()];
    std::vector<size_t> sizes;
    for (int i = 0; i < 8; ++i) sizes.push_back(1 + random() % 64);
    expectSame(content, sizes, random() % 30);
    if (testing::Test::HasFailure()) return;
  }
}

}  // namespace
