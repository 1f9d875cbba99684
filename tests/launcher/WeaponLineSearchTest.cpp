// The weapon line searched piece by piece: the expected line of chosen contents written out,
// and on made contents the same line as the byte-by-byte reference (tests/support/
// MissionOracle), whatever the pieces, with prefixes, CR, LF and two-byte characters across
// the pieces' borders.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "launcher/WeaponLineSearch.h"
#include "tests/support/MissionOracle.h"

namespace {

using namespace std::string_literals;

struct Found {
  bool any = false;
  uint64_t begin = 0;
  uint64_t end = 0;
  bool loneCr = false;
  std::string text;
  bool operator==(const Found&) const = default;
  friend void PrintTo(const Found& f, std::ostream* out) {
    *out << (f.any ? "line " : "none ") << f.begin << ".." << f.end
         << (f.loneCr ? " lone CR " : " ") << testing::PrintToString(f.text);
  }
};

Found inPieces(const std::string& content, const std::vector<size_t>& sizes) {
  WeaponLineSearch search;
  size_t at = 0;
  for (size_t i = 0; at < content.size(); ++i) {
    const size_t size = std::min(sizes[i % sizes.size()], content.size() - at);
    const bool whole = search.take(std::string_view(content).substr(at, size));
    at += size;
    if (whole) break;
  }
  search.finish();
  Found found;
  if (const std::optional<WeaponLineSpan> line = search.line()) {
    found = {true, line->begin, line->end, line->loneCr, search.text()};
  }
  return found;
}

Found inReference(const std::string& content) {
  Found found;
  if (const std::optional<ReferenceLine> line = referenceWeaponLine(content)) {
    found = {true, line->begin, line->end, line->loneCr,
             content.substr(line->begin, line->end - line->begin)};
  }
  return found;
}

TEST(WeaponLineSearch, ChosenContents) {
  const std::string p = "int PlayerWeapon2";
  const struct {
    const char* name;
    std::string content;
    Found expected;
  } cases[] = {
      {"empty", "", {}},
      {"first line", p + " = 1;\r\nrest\r\n", {true, 0, 22, false, p + " = 1;"}},
      {"only the prefix", p, {true, 0, 17, false, p}},
      {"after a line", "x\r\n" + p + " = 2;\r\n", {true, 3, 25, false, p + " = 2;"}},
      {"no line break after it", "x\r\n" + p + " = 2;", {true, 3, 25, false, p + " = 2;"}},
      {"a CR alone after it", "x\r\n" + p + " = 2;\ry", {true, 3, 25, true, p + " = 2;"}},
      {"a CR as the last byte", "x\r\n" + p + " = 2;\r", {true, 3, 25, true, p + " = 2;"}},
      {"after a CR alone", "x\r" + p + " = 2;\r\n", {true, 2, 24, true, p + " = 2;"}},
      {"LF line breaks", "x\n" + p + " = 2;\ny\n", {true, 2, 24, false, p + " = 2;"}},
      {"ends at its LF", "x\r\n" + p + " = 2;\nb\r\n", {true, 3, 25, false, p + " = 2;"}},
      {"not at a line start", "x " + p + " = 2;\r\n", {}},
      {"blank before", " " + p + "\r\n", {}},
      {"after a lead byte and CR LF", "\x81\r\n" + p + "\r\n", {true, 3, 20, false, p}},
      {"after three lead bytes", "\xB0\xA1\xB0\r\n" + p, {true, 5, 22, false, p}},
      {"a lead byte before its CR LF",
       p + " = 6; // \xA9\r\nint E = 1;",
       {true, 0, 27, false, p + " = 6; // \xA9"}},
      {"UTF-8 before its CR LF",
       p + " = 6; // \xe6\x95\xb0\r\nx",
       {true, 0, 29, false, p + " = 6; // \xe6\x95\xb0"}},
      {"second one", "a\r\n" + p + "9\r\n" + p + "\r\n", {true, 3, 21, false, p + "9"}},
      {"cut short", "a\r\n" + p.substr(0, 16) + "\r\n", {}},
      {"zero byte inside", "a\r\n" + p + "\0 = 1;\r\n"s, {true, 3, 26, false, p + "\0 = 1;"s}},
      {"long line",
       p + std::string(5000, 'W') + "\r\nx",
       {true, 0, 5017, false, p + std::string(5000, 'W')}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t size : {1, 2, 3, 7, 16, 17, 18, 19, 64, 100000}) {
      EXPECT_EQ(inPieces(c.content, {size}), c.expected) << size;
    }
    EXPECT_EQ(inReference(c.content), c.expected);
  }
}

TEST(WeaponLineSearch, MadeContentsInRandomPiecesFindTheReferenceLine) {
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
    ASSERT_EQ(inPieces(content, sizes), inReference(content)) << testing::PrintToString(content);
  }
}

}  // namespace
