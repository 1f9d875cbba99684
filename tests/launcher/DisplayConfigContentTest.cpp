// The display configuration rewrite apart from files: lines 2 and 3 become the width and
// the height of the chosen resolution, every line ends with CR LF.
#include "launcher/DisplayConfigContent.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

TEST(PatchDisplayConfigContent, ReplacesLinesTwoAndThree) {
  struct Case {
    const char* name;
    std::string content;
    int32_t selection;
    std::optional<std::string> patched;  // none: fewer than three lines
  };
  const Case cases[] = {
      {"800 by 600", "[Display]\r\nWidth 1024\r\nHeight 768\r\nBpp 32\r\n", 0,
       "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n"},
      {"1024 by 768", "[Display]\r\nWidth 800\r\nHeight 600\r\nBpp 32\r\n", 1,
       "[Display]\r\nWidth 1024\r\nHeight 768\r\nBpp 32\r\n"},
      {"no selection", "a\r\nb\r\nc\r\n", -1, "a\r\nWidth 1024\r\nHeight 768\r\n"},
      {"other selection", "a\r\nb\r\nc\r\n", 7, "a\r\nWidth 1024\r\nHeight 768\r\n"},
      {"whatever the lines held", "x\r\nfoo\r\nbar = 1\r\n", 0, "x\r\nWidth 800\r\nHeight 600\r\n"},
      {"final break added", "a\r\nb\r\nc", 0, "a\r\nWidth 800\r\nHeight 600\r\n"},
      {"empty third line", "a\r\nb\r\n\r\n", 0, "a\r\nWidth 800\r\nHeight 600\r\n"},
      {"empty lines kept", "\r\nb\r\nc\r\n\r\nd", 1, "\r\nWidth 1024\r\nHeight 768\r\n\r\nd\r\n"},
      {"two final breaks", "a\r\nb\r\nc\r\nd\r\n\r\n", 0,
       "a\r\nWidth 800\r\nHeight 600\r\nd\r\n\r\n"},
      {"zero bytes survive", "a\0x\r\nb\0\r\nc\r\nd\0e\r\n\0"s, 0,
       "a\0x\r\nWidth 800\r\nHeight 600\r\nd\0e\r\n\0\r\n"s},
      {"bare line feeds kept inside", "a\r\nb\r\nc\r\nd\ne", 0,
       "a\r\nWidth 800\r\nHeight 600\r\nd\ne\r\n"},
      {"empty", "", 0, std::nullopt},
      {"one line", "a\r\n", 0, std::nullopt},
      {"two lines", "a\r\nb\r\n", 0, std::nullopt},
      {"two lines without final break", "a\r\nb", 1, std::nullopt},
      {"bare line feeds", "a\nb\nc\nd\n", 0, std::nullopt},
      {"a lead byte before a break", "a\r\n\xB0\r\nc\r\n", 0, "a\r\nWidth 800\r\nHeight 600\r\n"},
      {"lone lead byte ends the file", "a\r\nb\r\nc\r\nd\xB0", 0,
       "a\r\nWidth 800\r\nHeight 600\r\nd\xB0"},
      {"lone lead byte ends line 3", "a\r\nb\r\nc\xB0", 1, "a\r\nWidth 1024\r\nHeight 768\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(patchDisplayConfigContent(c.content, c.selection), c.patched) << c.name;
  }
}

TEST(PatchDisplayConfigContent, PatchingTwiceEqualsPatchingOnce) {
  const std::string contents[] = {
      "[Display]\r\nWidth 1024\r\nHeight 768\r\nBpp 32\r\n",
      "a\r\nb\r\nc",
      "a\r\nb\r\nc\r\n\r\n",
      "a\0\r\nb\r\nc\r\nd\0"s,
      "a\r\nb\r\nc\r\nd\xB0",
      "a\r\nb\r\nc\r\n\xB0\r\n\xC4",
  };
  for (const std::string& content : contents) {
    std::optional<std::string> once = patchDisplayConfigContent(content, 0);
    ASSERT_TRUE(once.has_value()) << content;
    EXPECT_EQ(patchDisplayConfigContent(*once, 0), once) << content;
  }
}

}  // namespace
