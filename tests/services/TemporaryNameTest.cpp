// The names of the temporary files of whole-file writes, and the writer read back from them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "services/TemporaryName.h"

namespace {

TEST(TemporaryName, WrittenInLowerCaseHexadecimalWithTheTargetsName) {
  EXPECT_EQ(temporaryName(0x1c, 1, L"sn01_.pst"), L"~wr1c-1.sn01_.pst.tmp");
  EXPECT_EQ(temporaryName(0, 0xff, L"wdpz.ini"), L"~wr0-ff.wdpz.ini.tmp");
  EXPECT_EQ(temporaryName(0xFFFFFFFF, 0x10, L"原版副武器.txt"),
            L"~wrffffffff-10.原版副武器.txt.tmp");
}

// A target's name too long to be carried whole: its first characters, never half of a pair
// of surrogates, so that the name fits the 255 characters of a file name.
TEST(TemporaryName, LongTargetNameCutToFit) {
  const std::wstring full(255, L'n');
  const std::wstring longest = temporaryName(0xFFFFFFFF, 0xFFFFFFFF, full);
  EXPECT_EQ(longest, L"~wrffffffff-ffffffff." + std::wstring(230, L'n') + L".tmp");
  EXPECT_EQ(longest.size(), 255u);
  std::wstring split(229, L'n');
  split += static_cast<wchar_t>(0xD83D);  // a pair of surrogates across the cut
  split += static_cast<wchar_t>(0xDE00);
  EXPECT_EQ(temporaryName(1, 1, split), L"~wr1-1." + std::wstring(229, L'n') + L".tmp");
  EXPECT_EQ(temporaryName(1, 1, std::wstring(230, L'n')),
            L"~wr1-1." + std::wstring(230, L'n') + L".tmp");
}

TEST(TemporaryName, WriterReadBackOnlyFromTheWritersOwnForm) {
  struct Case {
    std::wstring name;
    std::optional<uint32_t> writer;
  } cases[] = {
      {temporaryName(0x1c, 1, L"sn01_.pst"), 0x1c},
      {temporaryName(0, 7, L"x"), 0},
      {temporaryName(0xFFFFFFFF, 0xFFFFFFFF, std::wstring(300, L'n')), 0xFFFFFFFF},
      {L"~wr1c-1.原版副武器.txt.tmp", 0x1c},
      {L"~wr1c-1.tmp", std::nullopt},  // the form without the target's name
      {L"~wr2a-7.tmp", std::nullopt},
      {L"~wr1c-1..tmp", std::nullopt},  // an empty target's name
      {L"~wr1c-1x.tmp", std::nullopt},
      {L"~wr1C-1.x.tmp", std::nullopt},  // upper case
      {L"~WR1c-1.x.tmp", std::nullopt},
      {L"~wr01c-1.x.tmp", std::nullopt},  // leading zero
      {L"~wr1c-01.x.tmp", std::nullopt},
      {L"~wr100000000-1.x.tmp", std::nullopt},  // past 32 bits
      {L"~wr-1.x.tmp", std::nullopt},
      {L"~wr1c-.x.tmp", std::nullopt},
      {L"~wr1c.x.tmp", std::nullopt},
      {L"~wr1c-1-2.x.tmp", std::nullopt},
      {L"~wr1c-1.x.tmp.bak", std::nullopt},
      {L"x~wr1c-1.x.tmp", std::nullopt},
      {L"~wr1c-1.x.TMP", std::nullopt},
      {L"~wrzz-1.x.tmp", std::nullopt},
      {L"~wr.tmp", std::nullopt},
      {L"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(writerOfTemporaryName(c.name), c.writer) << c.name;
  }
}

}  // namespace
